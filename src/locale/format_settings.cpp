#include "locale/format_settings.h"

#include <optional>
#include <string_view>

#include "locale/locale_name.h"
#include "locale/strftime_pattern.h"
#include "platform/era_writer.h"
#include "platform/posix/posix_locale.h"
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

// Windows primary language numbers by language code.
struct Language {
  std::string_view code;
  uint16_t id;
};
constexpr Language kLanguages[] = {
    {"ar", 1},  {"bg", 2},  {"ca", 3},  {"zh", LANG_CHINESE}, {"cs", 5},  {"da", 6},
    {"de", 7},  {"el", 8},  {"en", LANG_ENGLISH},  {"es", 10}, {"fi", 11}, {"fr", 12},
    {"he", 13}, {"hu", 14}, {"is", 15}, {"it", 16}, {"ja", LANG_JAPANESE},
    {"ko", LANG_KOREAN},    {"nl", 19}, {"nb", 20}, {"nn", 20}, {"no", 20}, {"pl", 21},
    {"pt", 22}, {"ro", 24}, {"ru", 25}, {"hr", 26}, {"sk", 27}, {"sq", 28}, {"sv", 29},
    {"th", 30}, {"tr", 31}, {"ur", 32}, {"id", 33}, {"uk", 34}, {"be", 35}, {"sl", 36},
    {"et", 37}, {"lv", 38}, {"lt", 39},
};

constexpr const char* kShortMonthNames[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kLongMonthNames[13] = {
    "",     "January", "February",  "March",   "April",    "May",     "June",
    "July", "August",  "September", "October", "November", "December"};
constexpr const char* kShortDayNames[8] = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kLongDayNames[8] = {"",         "Sunday",   "Monday", "Tuesday",
                                          "Wednesday", "Thursday", "Friday", "Saturday"};

// nl_langinfo numbers its days from Sunday, as the name arrays do.
constexpr nl_item kShortMonthItems[13] = {0,        ABMON_1, ABMON_2,  ABMON_3,  ABMON_4,
                                          ABMON_5,  ABMON_6, ABMON_7,  ABMON_8,  ABMON_9,
                                          ABMON_10, ABMON_11, ABMON_12};
constexpr nl_item kLongMonthItems[13] = {0,     MON_1,  MON_2,  MON_3,  MON_4,  MON_5, MON_6,
                                         MON_7, MON_8,  MON_9,  MON_10, MON_11, MON_12};
constexpr nl_item kShortDayItems[8] = {0, ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
constexpr nl_item kLongDayItems[8] = {0, DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};

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
std::string NameItem(const std::string& answer, const char* english) {
  return answer.empty() || answer.size() > kMaxItemLength ? std::string(english) : answer;
}

void FillLanguageAndLeadBytes(const LocaleName& name) {
  SysLocale = TSysLocale{};  // English (US) where the language is unknown
  for (const Language& language : kLanguages) {
    if (name.language == language.code) SysLocale.PriLangID = language.id;
  }
  if (name.language == "zh") {
    const std::string& t = name.territory;
    if (t == "TW" || t == "HK" || t == "MO") SysLocale.SubLangID = SUBLANG_CHINESE_TRADITIONAL;
    if (t == "CN" || t == "SG") SysLocale.SubLangID = 2;  // simplified
  }
  SysLocale.FarEast = CharsetIsMultiByte();
  LeadBytes = SysLocale.FarEast ? CharsetLeadBytes() : std::bitset<256>();
}

void FillNames() {
  for (int i = 1; i <= 12; ++i) {
    ShortMonthNames[i] = NameItem(LangInfo(kShortMonthItems[i]), kShortMonthNames[i]);
    LongMonthNames[i] = NameItem(LangInfo(kLongMonthItems[i]), kLongMonthNames[i]);
  }
  for (int i = 1; i <= 7; ++i) {
    ShortDayNames[i] = NameItem(LangInfo(kShortDayItems[i]), kShortDayNames[i]);
    LongDayNames[i] = NameItem(LangInfo(kLongDayItems[i]), kLongDayNames[i]);
  }
}

int32_t OptionalCalendarOf(const LocaleName& name) {
  if (LangInfo(ERA).empty()) return CAL_GREGORIAN;
  if (name.language == "ja") return CAL_JAPAN;
  if (name.language == "zh" && name.territory == "TW") return CAL_TAIWAN;
  if (name.language == "ko") return CAL_KOREA;
  return CAL_GREGORIAN;
}

// The eras of the optional calendar: each name once, in the order the locale
// lists them, with the Gregorian year of its year 1, seven at most. Eras that
// count back from their start (the years before year 1) and eras without a
// name are not listed.
void FillEras() {
  EraNames.fill(std::string());
  EraYearOffsets.fill(0);
  if (!SysLocale.FarEast || !IsEraCalendar(OptionalCalendar)) return;
  EraYearOffsets.fill(-1);
  std::size_t count = 0;
  for (const EraEntry& era : LocaleEras()) {
    if (count == 7) break;
    if (!era.CountsForward() || era.name.empty()) continue;
    bool listed = false;
    for (std::size_t i = 1; i <= count; ++i) listed = listed || EraNames[i] == era.name;
    if (listed) continue;
    const int64_t firstYear = era.FirstYear();
    ++count;
    EraNames[count] = era.name;
    EraYearOffsets[count] =
        firstYear < INT32_MIN || firstYear > INT32_MAX ? 0 : static_cast<int32_t>(firstYear);
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

// The time patterns from how the locale writes the hour; a format without an
// hour tells nothing, which reads as h, 12-hour clock, marker after.
void FillTimeFormats(const std::optional<HourStyle>& answer) {
  const HourStyle style = answer.value_or(HourStyle{});
  const std::string hour = style.leadingZero ? "hh" : "h";
  const std::string prefix = !style.clock24 && style.markerFirst ? "AMPM " : "";
  const std::string suffix = !style.clock24 && !style.markerFirst ? " AMPM" : "";
  ShortTimeFormat = prefix + hour + ":mm" + suffix;
  LongTimeFormat = prefix + hour + ":mm:ss" + suffix;
}

}  // namespace

void GetFormatSettings() {
  const LocaleName name = ParseLocaleName(TimeLocaleName());
  FillLanguageAndLeadBytes(name);
  FillNames();
  OptionalCalendar = OptionalCalendarOf(name);
  FillEras();

  DecimalSeparator = OneByteItem(LangInfo(RADIXCHAR), '.');

  const StrftimeComposites composites{LangInfo(D_FMT), LangInfo(ERA_D_FMT), LangInfo(T_FMT_AMPM)};
  const StrftimeFormat dateFormat = ScanStrftime(composites.date);
  const StrftimeFormat date = ExpandStrftime(dateFormat, composites);
  DateSeparator = OneByteItem(DateSeparatorText(date), '/');
  // The calendar the dates are written in: the era calendar when the short
  // date uses era conversions.
  const int32_t calendarType = UsesEraConversion(dateFormat) ? OptionalCalendar : CAL_GREGORIAN;
  ShortDateFormat = TranslateDatePattern(TextItem(StrftimeToPattern(date), "m/d/yy"), calendarType);
  std::optional<std::string> longDate =
      StrftimeToPattern(DatePartOf(ScanStrftime(LangInfo(D_T_FMT)), composites));
  if (longDate->empty()) longDate.reset();
  LongDateFormat = TranslateDatePattern(TextItem(longDate, "mmmm d, yyyy"), calendarType);

  const StrftimeFormat time = ExpandStrftime(ScanStrftime(LangInfo(T_FMT)), composites);
  TimeSeparator = OneByteItem(TimeSeparatorText(time), ':');
  TimeAMString = TextItem(LangInfo(AM_STR), "am");
  TimePMString = TextItem(LangInfo(PM_STR), "pm");
  FillTimeFormats(FindHourStyle(time));
}
