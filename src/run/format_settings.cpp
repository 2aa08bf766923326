#include "run/format_settings.h"

#include <cstdlib>
#include <cwchar>

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
std::bitset<256> LeadBytes;
int32_t OptionalCalendar = 1;

// Placeholder until the locale mapping lands: the fallbacks only.
void GetFormatSettings() {
  ShortDateFormat = "M/d/yy";
  LongDateFormat = "mmmm d, yyyy";
  ShortTimeFormat = "h:mm AMPM";
  LongTimeFormat = "h:mm:ss AMPM";
  DateSeparator = '/';
  TimeSeparator = ':';
  DecimalSeparator = '.';
  TimeAMString = "am";
  TimePMString = "pm";
  LeadBytes.reset();
  SysLocale.FarEast = MB_CUR_MAX > 1;
  if (SysLocale.FarEast) {
    for (int b = 0x80; b < 0x100; ++b) {
      std::mbstate_t state{};
      const char c = static_cast<char>(b);
      if (std::mbrlen(&c, 1, &state) == static_cast<std::size_t>(-2)) LeadBytes.set(b);
    }
  }
}
