#include "platform/era_writer.h"

#include <climits>
#include <string>

#include "platform/windows/win32.h"

std::size_t WriteEraDate(int32_t calendar, std::string_view picture, int year, int month, int day,
                         char* buf, std::size_t size) {
  if (picture != "gg" && picture != "yy" && picture != "yyyy") return 0;
  if (!IsEraCalendar(calendar) || size == 0) return 0;
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return 0;
  SYSTEMTIME date{};
  date.wYear = static_cast<WORD>(year);
  date.wMonth = static_cast<WORD>(month);
  date.wDay = static_cast<WORD>(day);
  const std::string format(picture);
  const int n = GetDateFormatA(GetThreadLocale(), DATE_USE_ALT_CALENDAR, &date, format.c_str(), buf,
                               size > INT_MAX ? INT_MAX : static_cast<int>(size));
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}
