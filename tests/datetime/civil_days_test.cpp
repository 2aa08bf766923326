#include "datetime/civil_days.h"

#include <gtest/gtest.h>

namespace {

// Every day of the domain, walked one by one from 0001-01-01: the round trip,
// the step to the next day and the weekday cycle.
TEST(CivilDays, EveryDayOfTheDomainRoundTrips) {
  int64_t z = DaysFromCivil(1, 1, 1);
  int32_t y = 1, m = 1, d = 1, wd = 2;  // a Monday
  for (; y <= 9999; ++z) {
    ASSERT_EQ(DaysFromCivil(y, m, d), z);
    const CivilDate c = CivilFromDays(z);
    ASSERT_EQ(c.year, y);
    ASSERT_EQ(c.month, m);
    ASSERT_EQ(c.day, d);
    ASSERT_EQ(DayOfWeek(z), wd);
    wd = wd % 7 + 1;
    if (++d > DaysInMonth(y, m)) {
      d = 1;
      if (++m > 12) m = 1, ++y;
    }
  }
  EXPECT_EQ(z - 1, 2958465);
}

TEST(CivilDays, LeapYears) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2004));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2003));
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
}

}  // namespace
