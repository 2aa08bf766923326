// The era writer: a date written in the era calendar of the user's locale
// (the Japanese imperial eras, the Minguo calendar), as the system writes it:
// strftime's era conversions under LC_TIME, GetDateFormatA on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Calendar numbers of the system: the Gregorian calendar and the three era
// calendars.
constexpr int32_t CAL_GREGORIAN = 1;
constexpr int32_t CAL_JAPAN = 3;
constexpr int32_t CAL_TAIWAN = 4;
constexpr int32_t CAL_KOREA = 5;

constexpr bool IsEraCalendar(int32_t calendar) { return calendar >= CAL_JAPAN && calendar <= CAL_KOREA; }

// Writes the date year-month-day into buf in one of the pictures "gg" (the
// era name), "yy" (the year in the era, at least two digits) or "yyyy" (the
// year in the era without leading zeros), followed by a zero byte. Returns
// the number of bytes written, the zero byte included, or 0 on failure: an
// unknown picture, a buffer too small, a locale whose optional calendar is
// no era calendar (IsEraCalendar false), or a date that no era
// of the locale covers.
std::size_t WriteEraDate(int32_t calendar, std::string_view picture, int year, int month, int day,
                         char* buf, std::size_t size);
