#include "platform/posix/posix_locale.h"

#include "platform/charset.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <tuple>

namespace {

// A whole signed decimal number in int32 range, or nullopt.
std::optional<int32_t> ParseInt(std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  std::size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > INT32_MAX) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

// "yyyy/mm/dd" with an optional sign on the year; "-*" and "+*" only where
// an end date is read.
std::optional<EraDate> ParseEraDate(std::string_view text, bool end) {
  EraDate date;
  if (end && (text == "-*" || text == "+*")) {
    date.infinity = text[0] == '-' ? -1 : 1;
    return date;
  }
  const std::size_t slash1 = text.find('/', 1);  // past a sign
  if (slash1 == std::string_view::npos) return std::nullopt;
  const std::size_t slash2 = text.find('/', slash1 + 1);
  if (slash2 == std::string_view::npos) return std::nullopt;
  const auto year = ParseInt(text.substr(0, slash1));
  const auto month = ParseInt(text.substr(slash1 + 1, slash2 - slash1 - 1));
  const auto day = ParseInt(text.substr(slash2 + 1));
  if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 || *day > 31) {
    return std::nullopt;
  }
  date.year = *year;
  date.month = *month;
  date.day = *day;
  return date;
}

bool Before(const EraDate& a, const EraDate& b) {
  return std::tuple(a.infinity, a.year, a.month, a.day) <
         std::tuple(b.infinity, b.year, b.month, b.day);
}

}  // namespace

std::string LangInfo(nl_item item) {
  const char* value = nl_langinfo(item);
  return value ? std::string(value) : std::string();
}

std::string TimeLocaleName() {
  const char* name = std::setlocale(LC_TIME, nullptr);
  return name ? name : "C";
}

bool CharsetIsMultiByte() { return MB_CUR_MAX > 1; }

std::bitset<256> CharsetLeadBytes() {
  std::bitset<256> lead;
  // glibc's UTF-8 decoder also calls F5..FD incomplete, though no character
  // begins with them: UTF-8 ends at U+10FFFF, whose lead byte is F4.
  const int last = CharsetIsUtf8() ? 0xF4 : 0xFF;
  for (int b = 1; b <= last; ++b) {
    std::mbstate_t state{};
    const char c = static_cast<char>(b);
    if (std::mbrlen(&c, 1, &state) == static_cast<std::size_t>(-2)) lead.set(b);
  }
  return lead;
}

std::size_t LocaleCharLen(const char* p, const char* end) {
  // The lead bytes are found once per LC_CTYPE locale.
  static std::string charsetLocale;
  static std::bitset<256> lead;
  const char* current = std::setlocale(LC_CTYPE, nullptr);
  if (!current) current = "C";
  if (charsetLocale != current) {
    charsetLocale = current;
    lead = CharsetIsMultiByte() ? CharsetLeadBytes() : std::bitset<256>();
  }
  if (!lead[static_cast<unsigned char>(*p)]) return 1;
  const std::size_t n = CharacterLength(p, static_cast<std::size_t>(end - p));
  if (n == static_cast<std::size_t>(-2)) return static_cast<std::size_t>(end - p);
  if (n == static_cast<std::size_t>(-1) || n == 0) return 1;
  return n;
}

bool EraEntry::CountsForward() const {
  const bool endBeforeStart = Before(end, start);
  return (direction == '+') != endBeforeStart;
}

int64_t EraEntry::FirstYear() const { return int64_t{start.year} - offset + 1; }

std::optional<EraEntry> ParseEraEntry(std::string_view text) {
  std::string_view fields[5];
  for (auto& field : fields) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    field = text.substr(0, colon);
    text.remove_prefix(colon + 1);
  }
  EraEntry entry;
  if (fields[0] != "+" && fields[0] != "-") return std::nullopt;
  entry.direction = fields[0][0];
  const auto offset = ParseInt(fields[1]);
  const auto start = ParseEraDate(fields[2], false);
  const auto end = ParseEraDate(fields[3], true);
  if (!offset || !start || !end) return std::nullopt;
  entry.offset = *offset;
  entry.start = *start;
  entry.end = *end;
  entry.name = fields[4];
  entry.format = text;  // the rest; a format may hold colons
  return entry;
}

std::vector<EraEntry> LocaleEras() {
  std::vector<EraEntry> eras;
  const char* text = nl_langinfo(ERA);
  if (!text || !*text) return eras;
#ifdef __GLIBC__
  // glibc keeps the entries one after another, each ended by a zero byte,
  // and their number in a word item that nl_langinfo returns in place of a
  // pointer: the word is the first four bytes of that pointer's storage.
  const char* countItem = nl_langinfo(_NL_TIME_ERA_NUM_ENTRIES);
  uint32_t count = 0;
  std::memcpy(&count, &countItem, sizeof count);
  if (count > 1000) count = 1000;
  for (uint32_t i = 0; i < count; ++i) {
    const std::string_view entry(text);
    if (auto parsed = ParseEraEntry(entry)) eras.push_back(std::move(*parsed));
    text += entry.size() + 1;
  }
#else
  // POSIX: one string, the entries separated by semicolons.
  std::string_view rest(text);
  while (!rest.empty()) {
    const std::size_t semicolon = rest.find(';');
    if (auto parsed = ParseEraEntry(rest.substr(0, semicolon))) eras.push_back(std::move(*parsed));
    if (semicolon == std::string_view::npos) break;
    rest.remove_prefix(semicolon + 1);
  }
#endif
  return eras;
}
