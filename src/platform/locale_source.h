// The user's locale as the system answers for it, item by item, each item
// carrying the meaning of the Windows locale item of the same name. No
// fallbacks here: nullopt is no answer, and what an answer means for the
// program (fallbacks, pattern translation) is decided by the caller. Texts
// are bytes in the user's charset.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class LocaleItem {
  ShortDate,         // LOCALE_SSHORTDATE, a date picture ("yyyy/M/d")
  LongDate,          // LOCALE_SLONGDATE
  DateSeparator,     // LOCALE_SDATE
  TimeSeparator,     // LOCALE_STIME
  DecimalSeparator,  // LOCALE_SDECIMAL
  AMString,          // LOCALE_S1159
  PMString,          // LOCALE_S2359
  HourLeadingZero,   // LOCALE_ITLZERO: "1" when hours have a leading zero
  Clock24,           // LOCALE_ITIME: "1" for the 24-hour clock
  MarkerFirst,       // LOCALE_ITIMEMARKPOSN: "1" when the am/pm marker comes first
  CalendarType,      // LOCALE_ICALENDARTYPE: the calendar dates are written in
  OptionalCalendar,  // LOCALE_IOPTIONALCALENDAR: the locale's alternative calendar
};

std::optional<std::string> LocaleText(LocaleItem item);

// Month 1 (January) to 12.
std::optional<std::string> MonthName(int month, bool abbreviated);

// Day 1 (Monday) to 7 (Sunday), numbered as the Windows day items are.
std::optional<std::string> DayName(int day, bool abbreviated);

// The locale identifier of the running thread: the primary language in bits
// 0-9, the sublanguage in bits 10-15.
uint32_t ThreadLocaleId();

// Whether the system works with double-byte characters (SM_DBCSENABLED).
bool DoubleByteSystem();

// The bytes that begin a double-byte character in the user's charset.
std::bitset<256> AnsiLeadBytes();

// The era names (CAL_SERASTRING) or the year offsets as texts
// (CAL_IYEAROFFSETRANGE) of an era calendar, in the order the system lists
// them.
enum class CalendarItem { EraName, YearOffset };
std::vector<std::string> CalendarInfo(int32_t calendar, CalendarItem item);
