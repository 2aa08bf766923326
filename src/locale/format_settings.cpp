#include "locale/format_settings.h"

#include <optional>
#include <string_view>

#include "platform/era_writer.h"
#include "platform/locale_source.h"
#include "text/mbchar.h"

std::string ShortDateFormat;
std::string LongDateFormat;
std::string ShortTimeFormat;
std::string LongTimeFormat;
char DateSeparator = 0;
char TimeSeparator = 0;
char DecimalSeparator = 0;
std::string TimeAMString;
std::string TimePMString;
std::array<std::string, 13> ShortMonthNames;
std::array<std::string, 13> LongMonthNames;
std::array<std::string, 8> ShortDayNames;
std::array<std::string, 8> LongDayNames;
std::array<std::string, 8> EraNames;
std::array<int32_t, 8> EraYearOffsets{};
uint16_t TwoDigitYearCenturyWindow = 50;
TSysLocale SysLocale;
int32_t OptionalCalendar = 1;

namespace {

// A locale value longer than this counts as no answer.
constexpr std::size_t kMaxItemLength = 255;

constexpr const char* kShortMonthNames[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kLongMonthNames[13] = {
    "",     "January", "February",  "March",   "April",    "May",     "June",
    "July", "August",  "September", "October", "November", "December"};
constexpr const char* kShortDayNames[8] = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kLongDayNames[8] = {"",         "Sunday",   "Monday", "Tuesday",
                                          "Wednesday", "Thursday", "Friday", "Saturday"};

// A text item: the locale's answer, also an empty one; the fallback when
// there is none.
std::string TextItem(const std::optional<std::string>& answer, std::string_view fallback) {
  if (!answer || answer->size() > kMaxItemLength) return std::string(fallback);
  return *answer;
}

// A one-byte item: an answer of at most one byte gives that byte (an empty
// one the byte 0); a longer answer or none gives the fallback.
char OneByteItem(const std::optional<std::string>& answer, char fallback) {
  if (!answer || answer->size() > 1) return fallback;
  return answer->empty() ? '\0' : answer->front();
}

// A month or day name: the English name stands in for an empty one.
std::string NameItem(const std::optional<std::string>& answer, const char* english) {
  return !answer || answer->empty() || answer->size() > kMaxItemLength ? std::string(english)
                                                                       : *answer;
}

// A whole signed decimal number in int32 range, or nullopt.
std::optional<int32_t> ParseInt(std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  std::size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + negative) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

// A numeric item: its text read as an integer, or the fallback.
int32_t NumberItem(LocaleItem item, int32_t fallback) {
  const std::optional<std::string> answer = LocaleText(item);
  if (!answer) return fallback;
  return ParseInt(*answer).value_or(fallback);
}

void FillLanguageAndLeadBytes() {
  SysLocale = TSysLocale{};
  const uint32_t id = ThreadLocaleId();
  if ((id & 0xFFFF) != 0) {
    SysLocale.PriLangID = static_cast<uint16_t>(id & 0x3FF);
    SysLocale.SubLangID = static_cast<uint16_t>((id >> 10) & 0x3F);
  }
  SysLocale.FarEast = DoubleByteSystem();
  LeadBytes = SysLocale.FarEast ? AnsiLeadBytes() : std::bitset<256>();
}

// Index 1 of the day names is Sunday, the system's day 7.
void FillNames() {
  for (int i = 1; i <= 12; ++i) {
    ShortMonthNames[i] = NameItem(MonthName(i, true), kShortMonthNames[i]);
    LongMonthNames[i] = NameItem(MonthName(i, false), kLongMonthNames[i]);
  }
  for (int i = 1; i <= 7; ++i) {
    const int day = (i + 5) % 7 + 1;
    ShortDayNames[i] = NameItem(DayName(day, true), kShortDayNames[i]);
    LongDayNames[i] = NameItem(DayName(day, false), kLongDayNames[i]);
  }
}

// The eras of the optional calendar, seven at most: each name into the first
// empty slot, then each offset into the first slot still at -1.
void FillEras() {
  EraNames.fill(std::string());
  EraYearOffsets.fill(0);
  if (!SysLocale.FarEast || !IsEraCalendar(OptionalCalendar)) return;
  for (const std::string& name : CalendarInfo(OptionalCalendar, CalendarItem::EraName)) {
    std::size_t slot = 1;
    while (slot <= 7 && !EraNames[slot].empty()) ++slot;
    if (slot > 7) break;
    EraNames[slot] = name;
  }
  EraYearOffsets.fill(-1);
  std::size_t slot = 1;
  for (const std::string& offset : CalendarInfo(OptionalCalendar, CalendarItem::YearOffset)) {
    if (slot > 7) break;
    EraYearOffsets[slot++] = ParseInt(offset).value_or(0);
  }
}

// The locale's date pattern as the pattern writer and reader want it: under
// an era calendar the years become era years (yyyy eeee, gg ggg); otherwise a
// far-eastern language loses its era letters.
std::string TranslateDatePattern(const std::string& pattern, int32_t calendarType) {
  std::string out;
  const char* p = pattern.data();
  const char* const end = p + pattern.size();
  const bool eraYears = IsEraCalendar(calendarType);
  const uint16_t lang = SysLocale.PriLangID;
  const bool dropEraLetters = lang == LANG_CHINESE || lang == LANG_JAPANESE || lang == LANG_KOREAN;
  if (!eraYears && !dropEraLetters) return pattern;
  const auto isLetter = [&](std::size_t k, char lower) {
    return p + k < end && (p[k] == lower || p[k] == lower - 'a' + 'A');
  };
  while (p < end) {
    const std::size_t n = CharLen(p, end);
    if (n > 1) {
      out.append(p, n);
      p += n;
    } else if (!eraYears) {
      if (*p != 'g' && *p != 'G') out += *p;
      ++p;
    } else if (isLetter(0, 'g') && isLetter(1, 'g')) {
      out += "ggg";
      p += 2;
    } else if (isLetter(0, 'y') && isLetter(1, 'y') && isLetter(2, 'y') && isLetter(3, 'y')) {
      out += "eeee";
      p += 4;
    } else if (isLetter(0, 'y') && isLetter(1, 'y')) {
      out += "ee";
      p += 2;
    } else if (isLetter(0, 'y')) {
      out += 'e';
      ++p;
    } else {
      out += *p++;
    }
  }
  return out;
}

// The time patterns from how the locale writes the hour; no answer reads as
// h, 12-hour clock, marker after.
void FillTimeFormats() {
  const bool leadingZero = NumberItem(LocaleItem::HourLeadingZero, 0) != 0;
  const bool clock24 = NumberItem(LocaleItem::Clock24, 0) != 0;
  const bool markerFirst = NumberItem(LocaleItem::MarkerFirst, 0) != 0;
  const std::string hour = leadingZero ? "hh" : "h";
  const std::string prefix = !clock24 && markerFirst ? "AMPM " : "";
  const std::string suffix = !clock24 && !markerFirst ? " AMPM" : "";
  ShortTimeFormat = prefix + hour + ":mm" + suffix;
  LongTimeFormat = prefix + hour + ":mm:ss" + suffix;
}

}  // namespace

void GetFormatSettings() {
  FillLanguageAndLeadBytes();
  FillNames();
  OptionalCalendar = NumberItem(LocaleItem::OptionalCalendar, CAL_GREGORIAN);
  FillEras();

  DecimalSeparator = OneByteItem(LocaleText(LocaleItem::DecimalSeparator), '.');
  DateSeparator = OneByteItem(LocaleText(LocaleItem::DateSeparator), '/');
  const int32_t calendarType = NumberItem(LocaleItem::CalendarType, CAL_GREGORIAN);
  ShortDateFormat =
      TranslateDatePattern(TextItem(LocaleText(LocaleItem::ShortDate), "m/d/yy"), calendarType);
  LongDateFormat =
      TranslateDatePattern(TextItem(LocaleText(LocaleItem::LongDate), "mmmm d, yyyy"), calendarType);
  TimeSeparator = OneByteItem(LocaleText(LocaleItem::TimeSeparator), ':');
  TimeAMString = TextItem(LocaleText(LocaleItem::AMString), "am");
  TimePMString = TextItem(LocaleText(LocaleItem::PMString), "pm");
  FillTimeFormats();
}
