// The user's locale as the date-time reader and writer see it: filled once
// by GetFormatSettings at start-up, only read afterwards. Text values are
// bytes in the locale's charset; the name arrays are indexed from 1.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

extern std::string ShortDateFormat;
extern std::string LongDateFormat;
extern std::string ShortTimeFormat;
extern std::string LongTimeFormat;
extern char DateSeparator;     // the byte 0 when the locale leaves it empty
extern char TimeSeparator;
extern char DecimalSeparator;
extern std::string TimeAMString;
extern std::string TimePMString;
extern std::array<std::string, 13> ShortMonthNames;  // [1] = January
extern std::array<std::string, 13> LongMonthNames;
extern std::array<std::string, 8> ShortDayNames;     // [1] = Sunday
extern std::array<std::string, 8> LongDayNames;
extern std::array<std::string, 8> EraNames;          // [1..7]
extern std::array<int32_t, 8> EraYearOffsets;        // paired with EraNames
extern uint16_t TwoDigitYearCenturyWindow;

constexpr uint16_t LANG_CHINESE = 4;
constexpr uint16_t LANG_ENGLISH = 9;
constexpr uint16_t LANG_JAPANESE = 17;
constexpr uint16_t LANG_KOREAN = 18;
constexpr uint16_t SUBLANG_CHINESE_TRADITIONAL = 1;

struct TSysLocale {
  uint16_t PriLangID = LANG_ENGLISH;
  uint16_t SubLangID = 1;
  bool FarEast = false;  // the charset has multi-byte characters
};
extern TSysLocale SysLocale;

// The locale's optional era calendar: 3 Japan, 4 Taiwan, 5 Korea, 1 none.
// The era tokens of the pattern writer write nothing unless it is 3, 4 or 5.
extern int32_t OptionalCalendar;

// Fills every value above, and LeadBytes (text/mbchar.h), from the user's
// locale as the system answers for it (platform/locale_source.h); never
// fails, never prints.
void GetFormatSettings();
