#include "platform/era_writer.h"

#include <cstring>
#include <ctime>

std::size_t WriteEraDate(int32_t calendar, std::string_view picture, int year, int month, int day,
                         char* buf, std::size_t size) {
  const bool name = picture == "gg";
  const bool longYear = picture == "yyyy";
  if (!name && !longYear && picture != "yy") return 0;
  if (!IsEraCalendar(calendar) || size == 0) return 0;

  std::tm date{};
  date.tm_year = year - 1900;
  date.tm_mon = month - 1;
  date.tm_mday = day;

  // Where no era of the locale covers the date, glibc quietly writes %C for
  // %EC and %y for %Ey; an era name equal to the century tells that apart.
  char era[256];
  char century[16];
  const std::size_t eraLen = std::strftime(era, sizeof era, "%EC", &date);
  const std::size_t centuryLen = std::strftime(century, sizeof century, "%C", &date);
  if (eraLen == 0 || (eraLen == centuryLen && std::memcmp(era, century, eraLen) == 0)) {
    return 0;
  }

  const char* text = era;
  std::size_t len = eraLen;
  std::size_t pad = 0;
  char digits[16];
  if (!name) {
    len = std::strftime(digits, sizeof digits, "%Ey", &date);
    if (len == 0) return 0;
    text = digits;
    while (len > 1 && *text == '0') ++text, --len;  // the year without leading zeros
    if (!longYear && len == 1) pad = 1;             // "yy" keeps two digits
  }
  if (pad + len >= size) return 0;
  if (pad) buf[0] = '0';
  std::memcpy(buf + pad, text, len);
  len += pad;
  buf[len] = 0;
  return len + 1;
}
