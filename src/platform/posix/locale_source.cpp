// The Windows locale items answered from the POSIX locale: nl_langinfo's
// strftime formats translated into date pictures, the language number from
// the locale's name, the charset's lead bytes, the LC_TIME era list.
#include "platform/locale_source.h"

#include "platform/era_writer.h"
#include "platform/posix/locale_name.h"
#include "platform/posix/posix_locale.h"
#include "platform/posix/strftime_pattern.h"

namespace {

// Windows primary language numbers by language code.
struct Language {
  std::string_view code;
  uint16_t id;
};
constexpr Language kLanguages[] = {
    {"ar", 1},  {"bg", 2},  {"ca", 3},  {"zh", 4},  {"cs", 5},  {"da", 6},  {"de", 7},
    {"el", 8},  {"en", 9},  {"es", 10}, {"fi", 11}, {"fr", 12}, {"he", 13}, {"hu", 14},
    {"is", 15}, {"it", 16}, {"ja", 17}, {"ko", 18}, {"nl", 19}, {"nb", 20}, {"nn", 20},
    {"no", 20}, {"pl", 21}, {"pt", 22}, {"ro", 24}, {"ru", 25}, {"hr", 26}, {"sk", 27},
    {"sq", 28}, {"sv", 29}, {"th", 30}, {"tr", 31}, {"ur", 32}, {"id", 33}, {"uk", 34},
    {"be", 35}, {"sl", 36}, {"et", 37}, {"lv", 38}, {"lt", 39},
};
constexpr uint16_t kEnglish = 9;
constexpr uint16_t kSublangDefault = 1;  // also traditional Chinese
constexpr uint16_t kSublangChineseSimplified = 2;

// nl_langinfo numbers its days from Sunday.
constexpr nl_item kShortMonthItems[13] = {0,        ABMON_1, ABMON_2,  ABMON_3,  ABMON_4,
                                          ABMON_5,  ABMON_6, ABMON_7,  ABMON_8,  ABMON_9,
                                          ABMON_10, ABMON_11, ABMON_12};
constexpr nl_item kLongMonthItems[13] = {0,     MON_1,  MON_2,  MON_3,  MON_4,  MON_5, MON_6,
                                         MON_7, MON_8,  MON_9,  MON_10, MON_11, MON_12};
constexpr nl_item kShortDayItems[8] = {0, ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
constexpr nl_item kLongDayItems[8] = {0, DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};

StrftimeComposites Composites() {
  return {LangInfo(D_FMT), LangInfo(ERA_D_FMT), LangInfo(T_FMT_AMPM)};
}

StrftimeFormat ExpandedItem(nl_item item) {
  return ExpandStrftime(ScanStrftime(LangInfo(item)), Composites());
}

int32_t OptionalCalendarOf(const LocaleName& name) {
  if (LangInfo(ERA).empty()) return CAL_GREGORIAN;
  if (name.language == "ja") return CAL_JAPAN;
  if (name.language == "zh" && name.territory == "TW") return CAL_TAIWAN;
  if (name.language == "ko") return CAL_KOREA;
  return CAL_GREGORIAN;
}

std::optional<std::string> Flag(const std::optional<HourStyle>& style, bool HourStyle::*field) {
  if (!style) return std::nullopt;
  return (*style).*field ? "1" : "0";
}

// The eras that count forward and have a name, each name once, in the order
// the locale lists them.
std::vector<EraEntry> ListedEras() {
  std::vector<EraEntry> listed;
  for (EraEntry& era : LocaleEras()) {
    if (!era.CountsForward() || era.name.empty()) continue;
    bool seen = false;
    for (const EraEntry& other : listed) seen = seen || other.name == era.name;
    if (!seen) listed.push_back(std::move(era));
  }
  return listed;
}

}  // namespace

std::optional<std::string> LocaleText(LocaleItem item) {
  switch (item) {
    case LocaleItem::ShortDate:
      return StrftimeToPattern(ExpandedItem(D_FMT));
    case LocaleItem::LongDate: {
      std::string pattern =
          StrftimeToPattern(DatePartOf(ScanStrftime(LangInfo(D_T_FMT)), Composites()));
      if (pattern.empty()) return std::nullopt;
      return pattern;
    }
    case LocaleItem::DateSeparator:
      return DateSeparatorText(ExpandedItem(D_FMT));
    case LocaleItem::TimeSeparator:
      return TimeSeparatorText(ExpandedItem(T_FMT));
    case LocaleItem::DecimalSeparator:
      return LangInfo(RADIXCHAR);
    case LocaleItem::AMString:
      return LangInfo(AM_STR);
    case LocaleItem::PMString:
      return LangInfo(PM_STR);
    // How the locale's time format writes the hour; a format without an hour
    // answers none of the three.
    case LocaleItem::HourLeadingZero:
      return Flag(FindHourStyle(ExpandedItem(T_FMT)), &HourStyle::leadingZero);
    case LocaleItem::Clock24:
      return Flag(FindHourStyle(ExpandedItem(T_FMT)), &HourStyle::clock24);
    case LocaleItem::MarkerFirst:
      return Flag(FindHourStyle(ExpandedItem(T_FMT)), &HourStyle::markerFirst);
    // Dates are written in the era calendar when the short date uses era
    // conversions.
    case LocaleItem::CalendarType: {
      const bool era = UsesEraConversion(ScanStrftime(LangInfo(D_FMT)));
      const int32_t calendar =
          era ? OptionalCalendarOf(ParseLocaleName(TimeLocaleName())) : CAL_GREGORIAN;
      return std::to_string(calendar);
    }
    case LocaleItem::OptionalCalendar:
      return std::to_string(OptionalCalendarOf(ParseLocaleName(TimeLocaleName())));
  }
  return std::nullopt;
}

std::optional<std::string> MonthName(int month, bool abbreviated) {
  if (month < 1 || month > 12) return std::nullopt;
  return LangInfo(abbreviated ? kShortMonthItems[month] : kLongMonthItems[month]);
}

std::optional<std::string> DayName(int day, bool abbreviated) {
  if (day < 1 || day > 7) return std::nullopt;
  const int sundayFirst = day % 7 + 1;
  return LangInfo(abbreviated ? kShortDayItems[sundayFirst] : kLongDayItems[sundayFirst]);
}

// English (US) where the language is unknown.
uint32_t ThreadLocaleId() {
  const LocaleName name = ParseLocaleName(TimeLocaleName());
  uint16_t language = kEnglish;
  uint16_t sublanguage = kSublangDefault;
  for (const Language& known : kLanguages) {
    if (name.language == known.code) language = known.id;
  }
  if (name.language == "zh") {
    const std::string& t = name.territory;
    if (t == "CN" || t == "SG") sublanguage = kSublangChineseSimplified;
  }
  return static_cast<uint32_t>(sublanguage) << 10 | language;
}

bool DoubleByteSystem() { return CharsetIsMultiByte(); }

std::bitset<256> AnsiLeadBytes() { return CharsetLeadBytes(); }

// The offset of an era is the Gregorian year of its year 1.
std::vector<std::string> CalendarInfo(int32_t calendar, CalendarItem item) {
  std::vector<std::string> answers;
  if (!IsEraCalendar(calendar)) return answers;
  for (const EraEntry& era : ListedEras()) {
    if (item == CalendarItem::EraName) {
      answers.push_back(era.name);
    } else {
      const int64_t firstYear = era.FirstYear();
      answers.push_back(std::to_string(firstYear < INT32_MIN || firstYear > INT32_MAX ? 0 : firstYear));
    }
  }
  return answers;
}
