// Proleptic Gregorian calendar arithmetic on day numbers, as short pure
// functions. Day 0 of the date-time value is 1899-12-30; years run 1..9999.
#pragma once

#include <cstdint>

struct CivilDate {
  int32_t year;   // [1, 9999] for values in the domain
  int32_t month;  // [1, 12]
  int32_t day;    // [1, 31]
};

constexpr bool IsLeapYear(int32_t y) {
  return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

constexpr int32_t DaysInMonth(int32_t y, int32_t m) {
  constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 1899-12-30 to y-m-d (negative before it). Howard Hinnant's
// days_from_civil, shifted from the 1970 epoch to the 1899 one.
constexpr int64_t DaysFromCivil(int32_t y, int32_t m, int32_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;                                  // [0, 399]
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;  // [0, 365]
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;          // [0, 146096]
  return era * 146097 + doe - 719468 + 25569;
}

// The date of a day counted from 1899-12-30. Howard Hinnant's
// civil_from_days, shifted the same way.
constexpr CivilDate CivilFromDays(int64_t z) {
  z += 719468 - 25569;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;                                  // [0, 146096]
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);           // [0, 365]
  const int64_t mp = (5 * doy + 2) / 153;                                // [0, 11]
  const int32_t d = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);  // [1, 31]
  const int32_t m = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);     // [1, 12]
  return {static_cast<int32_t>(yoe + era * 400 + (m <= 2)), m, d};
}

// 1 = Sunday .. 7 = Saturday; 1899-12-30 was a Saturday.
constexpr int32_t DayOfWeek(int64_t z) {
  const int64_t r = (z + 6) % 7;  // [-6, 6]
  return static_cast<int32_t>((r < 0 ? r + 7 : r) + 1);
}

static_assert(DaysFromCivil(1899, 12, 30) == 0);
static_assert(DaysFromCivil(2003, 6, 19) == 37791);
static_assert(DaysFromCivil(1, 1, 1) == -693593);
static_assert(DaysFromCivil(9999, 12, 31) == 2958465);
static_assert(DayOfWeek(37791) == 5);  // Thursday
static_assert(DayOfWeek(-693593) == 2);  // 0001-01-01, a Monday
