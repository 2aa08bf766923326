// The date-time value: a double whose integer part counts days from
// 1899-12-30 (day 0), negative before it, and whose fraction is the time of
// day over 86400000 milliseconds, added to the day number from day 0 on and
// subtracted from it before day 0, so that the size of the fraction is always
// the time of day (1899-12-29 12:00 is -1.5).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "datetime/civil_days.h"

constexpr int64_t MsPerDay = 86400000;

// The value of a day number at a time of day in milliseconds, [0, MsPerDay).
constexpr double EncodeDateTime(int64_t days, int64_t msOfDay) {
  const double time = static_cast<double>(msOfDay) / static_cast<double>(MsPerDay);
  return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

// The value of y-m-d at h:n:s.ms.
constexpr double EncodeDateTime(int32_t y, int32_t m, int32_t d, int32_t h = 0, int32_t n = 0,
                                int32_t s = 0, int32_t ms = 0) {
  return EncodeDateTime(DaysFromCivil(y, m, d),
                        ((int64_t{h} * 60 + n) * 60 + s) * 1000 + ms);
}

struct DateTimeFields {
  int32_t year;         // [1, 9999]
  int32_t month;        // [1, 12]
  int32_t day;          // [1, 31]
  int32_t dayOfWeek;    // [1, 7], 1 = Sunday
  int32_t hour;         // [0, 23]
  int32_t minute;       // [0, 59]
  int32_t second;       // [0, 59]
  int32_t millisecond;  // [0, 999]
};

// The fields of a value. The value is rounded once to whole milliseconds
// (ties to even, the default rounding mode) and clamped to 0001-01-01 ..
// 9999-12-31 23:59:59.999 (NaN reads as 0); everything after that is integer
// arithmetic, so no field can show hour 24 or second 60.
inline DateTimeFields DecodeDateTime(double value) {
  // The millisecond counts of 0001-01-01 23:59:59.999 and 9999-12-31
  // 23:59:59.999. Below day 0 the count runs backwards by whole days while
  // the time of day stays positive, so the first is the lowest of the range.
  constexpr double MinMs = -(693594.0 * MsPerDay - 1);
  constexpr double MaxMs = 2958466.0 * MsPerDay - 1;
  double product = value * MsPerDay;
  if (std::isnan(product)) product = 0;
  const auto ms = static_cast<int64_t>(std::nearbyint(std::clamp(product, MinMs, MaxMs)));
  const int64_t days = ms / MsPerDay;  // truncated: before day 0 the fraction is subtracted
  const int64_t time = ms < 0 ? -(ms % MsPerDay) : ms % MsPerDay;  // [0, 86399999]
  const CivilDate date = CivilFromDays(days);
  const auto t = static_cast<int32_t>(time);
  return {date.year,   date.month,     date.day,         DayOfWeek(days),
          t / 3600000, t / 60000 % 60, t % 60000 / 1000, t % 1000};
}

static_assert(EncodeDateTime(2003, 6, 19, 9, 5) == 37791 + 545.0 / 1440);
static_assert(EncodeDateTime(1899, 12, 29, 12) == -1.5);
