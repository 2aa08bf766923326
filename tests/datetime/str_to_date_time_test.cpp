#include "datetime/str_to_date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>

#include "datetime/date_time_value.h"
#include "locale/format_settings.h"
#include "platform/clock.h"
#include "platform/exceptions.h"
#include "support/scoped_env.h"
#include "text/mbchar.h"

namespace {

const double kFails = std::numeric_limits<double>::quiet_NaN();

// The time of day as a share of the day.
double Time(int h, int n, int s = 0, int ms = 0) {
  return EncodeDateTime(0, ((h * 60 + n) * 60 + s) * 1000 + ms);
}


struct Case {
  const char* text;
  double expected;  // kFails: the text is no date-time
};

// Both forms of the reader agree on every case; a failure leaves the
// caller's value alone.
void ExpectReadings(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    double value = -7.25;
    const bool read = TryStrToDateTime(c.text, value);
    if (std::isnan(c.expected)) {
      EXPECT_FALSE(read);
      EXPECT_EQ(value, -7.25);
      EXPECT_THROW(StrToDateTime(c.text), EConvertError);
    } else {
      EXPECT_TRUE(read);
      EXPECT_DOUBLE_EQ(value, c.expected);
      EXPECT_DOUBLE_EQ(StrToDateTime(c.text), c.expected);
    }
  }
}

int32_t fixed_year = 2024;
int32_t FixedYear() { return fixed_year; }

// yyyy/MM/dd with "/", ":" and ".", markers am and pm, no eras, not
// far-eastern, read in 2024. Tests change what they need.
class StrToDateTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    locale_.Use("C");
    SetValues();
    fixed_year = 2024;
    previous_clock_ = SetYearSource(FixedYear);
  }
  void TearDown() override {
    SetYearSource(previous_clock_);
  }

  // Switches the charset (and with it LeadBytes) and sets the values again.
  void InLocale(const char* name) {
    ASSERT_TRUE(locale_.Use(name));
    ASSERT_TRUE(LeadBytes.any()) << name << " should have multi-byte characters";
    SetValues();
  }

  static void SetValues() {
    ShortDateFormat = "yyyy/MM/dd";
    DateSeparator = '/';
    TimeSeparator = ':';
    DecimalSeparator = '.';
    TimeAMString = "am";
    TimePMString = "pm";
    EraNames = {};
    EraYearOffsets = {};
    TwoDigitYearCenturyWindow = 50;
    SysLocale = TSysLocale{};
  }

  static void SetJapaneseEras() {
    SysLocale.PriLangID = LANG_JAPANESE;
    SysLocale.FarEast = true;
    EraNames = {"", "令和", "平成", "昭和", "大正", "明治", "", ""};
    EraYearOffsets = {0, 2019, 1989, 1926, 1912, 1868, -1, -1};
  }

 private:
  YearSource previous_clock_ = nullptr;
  ScopedLocale locale_;
};

TEST_F(StrToDateTimeTest, DateAndTimeInYearMonthDayOrder) {
  ExpectReadings({
      {"2003/06/19 9:05", EncodeDateTime(2003, 6, 19, 9, 5)},
      {"2003/06/19 12:00", 37791.5},
      {"2003/6/19 09:05:30", EncodeDateTime(2003, 6, 19, 9, 5, 30)},
      {"2003/06/19 9:05:30.250", EncodeDateTime(2003, 6, 19, 9, 5, 30, 250)},
      {"2003 / 06 / 19   9 : 05", EncodeDateTime(2003, 6, 19, 9, 5)},
      {"2003/06/19\t9:05", kFails},  // a TAB is no blank
      {"2003/06/19", 37791},
      {"2003/06/19   ", 37791},
      {"2003/06/19/ 9:05", EncodeDateTime(2003, 6, 19, 9, 5)},  // one separator after the date
      {"2003/06/19// 9:05", kFails},
      {"2003/06/19 9:05 Bought milk.", EncodeDateTime(2003, 6, 19, 9, 5)},  // rest not looked at
      {"2003/06/19 9:05\tx", EncodeDateTime(2003, 6, 19, 9, 5)},
      {"2003/06/19 9", EncodeDateTime(2003, 6, 19, 9, 0)},
      {"2003/06/19 9:", kFails},      // separator without a minute
      {"2003/06/19 9:05:", kFails},
      {"2003/06/19 9:05.", kFails},
      {"2003/06/19 9.5", EncodeDateTime(2003, 6, 19, 9, 0, 0, 5)},  // milliseconds right after the hour
      {"2003/06/19 23:59", EncodeDateTime(2003, 6, 19, 23, 59)},
      {"2003/06/19 24:00", kFails},
      {"2003/06/19 9:60", kFails},
      {"2003/06/19 9:05:60", kFails},
      {"2003/06/19 9:05:30.1000", kFails},
      {"2003/06/19 foo", kFails},  // neither a time after the date nor a time alone
      {"2003/06", kFails},
      {"2003/", kFails},
      {"/06/19", kFails},
      {"2003-06-19 9:05", kFails},  // not the date separator
      {"", kFails},
      {"   ", kFails},
  });
}

TEST_F(StrToDateTimeTest, Markers) {
  ExpectReadings({
      {"2003/06/19 9:05 PM", EncodeDateTime(2003, 6, 19, 21, 5)},
      {"2003/06/19 9:05PM", EncodeDateTime(2003, 6, 19, 21, 5)},
      {"2003/06/19 12:30 AM", EncodeDateTime(2003, 6, 19, 0, 30)},
      {"2003/06/19 12:30 pm", EncodeDateTime(2003, 6, 19, 12, 30)},
      {"2003/06/19 12:30 Am", EncodeDateTime(2003, 6, 19, 0, 30)},
      {"2003/06/19 PM 1:00", EncodeDateTime(2003, 6, 19, 13, 0)},
      {"2003/06/19 pm1:00", EncodeDateTime(2003, 6, 19, 13, 0)},
      {"2003/06/19 PM 1:00 AM", EncodeDateTime(2003, 6, 19, 13, 0)},  // a second marker is rest
      {"2003/06/19 0:30 AM", kFails},
      {"2003/06/19 13:00 PM", kFails},
      {"2003/06/19 P 1:00", kFails},
      {"2003/06/19 PM", kFails},
  });
}

TEST_F(StrToDateTimeTest, DaysAtTheEdgesOfTheCalendar) {
  ExpectReadings({
      {"2003/02/29", kFails},
      {"2004/02/29", EncodeDateTime(2004, 2, 29)},
      {"1900/02/29", kFails},
      {"2000/02/29", EncodeDateTime(2000, 2, 29)},
      {"2003/04/31", kFails},
      {"2003/13/01", kFails},
      {"2003/00/10", kFails},
      {"2003/06/00", kFails},
      {"0000/01/01", kFails},  // year 0 written with four digits
      {"0001/01/01", -693593},
      {"9999/12/31 23:59:59.999", EncodeDateTime(9999, 12, 31, 23, 59, 59, 999)},
      {"1899/12/29 12:00", -1.5},
      {"1899/12/30 12:00", 0.5},
      {"1800/01/01 6:00", EncodeDateTime(1800, 1, 1, 6, 0)},
      {"02003/06/19", 37791},          // leading zeros
      {"0000002003/06/19", 37791},
      {"20030/06/19", kFails},         // the fifth digit stays unread
      {"2003/0000006/019", 37791},
      {"2003/06/19 0000009:05", EncodeDateTime(2003, 6, 19, 9, 5)},
  });
}

TEST_F(StrToDateTimeTest, TimeAlone) {
  ExpectReadings({
      {"9:05", Time(9, 5)},
      {"  9:05  ", Time(9, 5)},
      {"9:05 PM", Time(21, 5)},
      {"PM 9:05", Time(21, 5)},
      {"12:00 AM", 0.0},
      {"9:05 word", kFails},       // a time alone must fill the text
      {"9:05 PM word", kFails},
      {"9:05\t", kFails},
      {"9", Time(9, 0)},
      {"9.5", Time(9, 0, 0, 5)},
      {"9:05.5", Time(9, 5, 0, 5)},
      {"9:05:30.5", Time(9, 5, 30, 5)},
      {"9:05:30.50", Time(9, 5, 30, 50)},
      {"9:05:30.500", Time(9, 5, 30, 500)},
      {"23:59:59.999", Time(23, 59, 59, 999)},
      {"24:00", kFails},
      {"-1:00", kFails},
      {":05", kFails},
  });
}

TEST_F(StrToDateTimeTest, TwoNumberDatesTakeTheCurrentYear) {
  ExpectReadings({
      {"06/19 9:05", EncodeDateTime(2024, 6, 19, 9, 5)},
      {"6/19", EncodeDateTime(2024, 6, 19)},
      {"02/29", EncodeDateTime(2024, 2, 29)},
      {"19/06", kFails},  // month first outside day-month-year order
  });
  fixed_year = 2023;
  ExpectReadings({{"02/29", kFails}, {"02/28", EncodeDateTime(2023, 2, 28)}});
}

TEST_F(StrToDateTimeTest, MonthDayYearOrder) {
  ShortDateFormat = "M/d/yyyy";
  ExpectReadings({
      {"06/19/2003 9:05", EncodeDateTime(2003, 6, 19, 9, 5)},
      {"2003/06/19 9:05", kFails},  // month 2003
      {"6/19/03", EncodeDateTime(2003, 6, 19)},
      {"06/19/20039", EncodeDateTime(2003, 6, 19, 9, 0)},  // the fifth digit stays unread: a time
      {"6/19", EncodeDateTime(2024, 6, 19)},
      {"19/6", kFails},
  });
}

TEST_F(StrToDateTimeTest, DayMonthYearOrder) {
  ShortDateFormat = "dd.MM.yyyy";
  DateSeparator = '.';
  DecimalSeparator = ',';
  ExpectReadings({
      {"19.06.2003 9:05", EncodeDateTime(2003, 6, 19, 9, 5)},
      {"19.06.2003. 9:05:30,250", EncodeDateTime(2003, 6, 19, 9, 5, 30, 250)},
      {"19.06.03", EncodeDateTime(2003, 6, 19)},
      {"19.06 9:05", EncodeDateTime(2024, 6, 19, 9, 5)},
      {"06.19.2003", kFails},
      {"19/06/2003", kFails},
      {"9.05", EncodeDateTime(2024, 5, 9)},  // 9 May, not a time
  });
}

TEST_F(StrToDateTimeTest, DateOrderIsTheFirstOrderLetterOfTheShortDatePattern) {
  struct OrderCase {
    const char* format;
    const char* text;
    double expected;
  };
  const OrderCase cases[] = {
      {"", "06/19/2003", EncodeDateTime(2003, 6, 19)},  // no letters: month-day-year
      {"", "19/06/2003", kFails},
      {"'/' -", "06/19/2003", EncodeDateTime(2003, 6, 19)},
      {"YYYY/MM/DD", "2003/06/19", EncodeDateTime(2003, 6, 19)},  // either case
      {"DD/MM/YYYY", "19/06/2003", EncodeDateTime(2003, 6, 19)},
      {"Mm/dd/yy", "06/19/2003", EncodeDateTime(2003, 6, 19)},
      {"eeee/MM/dd", "2003/06/19", EncodeDateTime(2003, 6, 19)},  // era years with offset 0
      {"gg d/M/y", "19/06/2003", EncodeDateTime(2003, 6, 19)},    // g does not count
      {"ggyy/MM/dd", "2003/06/19", EncodeDateTime(2003, 6, 19)},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.format);
    ShortDateFormat = c.format;
    ExpectReadings({{c.text, c.expected}});
  }
}

TEST_F(StrToDateTimeTest, YearsOfTwoDigitsFallIntoTheCenturyWindow) {
  struct WindowCase {
    int32_t current_year;
    const char* text;
    double expected;
  };
  const WindowCase cases[] = {
      {2024, "03/06/19", EncodeDateTime(2003, 6, 19)},
      {2024, "99/06/19", EncodeDateTime(1999, 6, 19)},
      {2024, "74/01/01", EncodeDateTime(1974, 1, 1)},  // the window's first year
      {2024, "73/12/31", EncodeDateTime(2073, 12, 31)},  // its last
      {2024, "3/06/19", EncodeDateTime(2003, 6, 19)},
      {2024, "0/01/01", EncodeDateTime(2000, 1, 1)},
      {2024, "003/06/19", EncodeDateTime(3, 6, 19)},     // three digits: as written
      {2024, "0099/06/19", EncodeDateTime(99, 6, 19)},
      {2049, "99/01/01", EncodeDateTime(1999, 1, 1)},    // window 1999..2098
      {2049, "00/01/01", EncodeDateTime(2000, 1, 1)},
      {2049, "98/12/31", EncodeDateTime(2098, 12, 31)},
      {2050, "00/01/01", EncodeDateTime(2000, 1, 1)},    // window 2000..2099
      {2050, "99/12/31", EncodeDateTime(2099, 12, 31)},
      {2130, "80/01/01", EncodeDateTime(2080, 1, 1)},    // window 2080..2179
      {2130, "00/01/01", EncodeDateTime(2100, 1, 1)},
      {2130, "79/12/31", EncodeDateTime(2179, 12, 31)},
  };
  for (const WindowCase& c : cases) {
    SCOPED_TRACE(c.current_year);
    fixed_year = c.current_year;
    ExpectReadings({{c.text, c.expected}});
  }
}

TEST_F(StrToDateTimeTest, EraNameBeforeTheDigits) {
  InLocale("ja_JP.UTF-8");
  SetJapaneseEras();
  ShortDateFormat = "gggee/MM/dd";
  ExpectReadings({
      {"平成15/06/19 9:05", EncodeDateTime(2003, 6, 19, 9, 5)},
      {"令和6/01/01", EncodeDateTime(2024, 1, 1)},
      {"令和1/05/01", EncodeDateTime(2019, 5, 1)},
      {"昭和64/01/07", EncodeDateTime(1989, 1, 7)},
      {"平成16/02/29", EncodeDateTime(2004, 2, 29)},
      {"平成15/02/29", kFails},  // 2003 has no 29 February
      {"成15/06/19", EncodeDateTime(2003, 6, 19)},        // a part of an era name
      {"  平成 15/06/19", EncodeDateTime(2003, 6, 19)},  // blanks around the name
      {"令和9999/01/01", kFails},                // year 12017
      {"15/06/19", EncodeDateTime(2015, 6, 19)},          // no era: the window rule
      {"西暦2003/06/19", EncodeDateTime(2003, 6, 19)},    // names no era, still passed over
      {"平成6/19", EncodeDateTime(2024, 6, 19)},          // two numbers: the current year
      {"平成", kFails},
      {"PM 9:05", Time(21, 5)},                  // no date, but a time alone
  });

  // The search ends at the first empty name.
  EraNames[3] = "";
  ExpectReadings({
      {"平成15/06/19", EncodeDateTime(2003, 6, 19)},
      {"大正1/01/01", EncodeDateTime(2001, 1, 1)},
  });
}

TEST_F(StrToDateTimeTest, EraYearsWithoutAnEraNameCountInTheFirstEra) {
  InLocale("ja_JP.UTF-8");
  SetJapaneseEras();
  ShortDateFormat = "ee/MM/dd";
  ExpectReadings({
      {"6/05/01", EncodeDateTime(2024, 5, 1)},
      {"06/05/01", EncodeDateTime(2024, 5, 1)},  // no window rule for era years
      {"2003/06/19", EncodeDateTime(4021, 6, 19)},
      {"06/19", EncodeDateTime(2024, 6, 19)},
  });
  // Offsets that are not positive leave the years as they are.
  EraYearOffsets[1] = -1;
  ExpectReadings({{"03/06/19", EncodeDateTime(2003, 6, 19)}, {"2003/06/19", EncodeDateTime(2003, 6, 19)}});
}

TEST_F(StrToDateTimeTest, KoreanEraYears) {
  InLocale("ko_KR.UTF-8");
  SysLocale.PriLangID = LANG_KOREAN;
  SysLocale.FarEast = true;
  EraNames[1] = "단기";
  EraYearOffsets = {0, 2333, -1, -1, -1, -1, -1, -1};
  ShortDateFormat = "gggee/MM/dd";
  struct KoreanCase {
    int32_t current_year;
    const char* text;
    double expected;
  };
  const KoreanCase cases[] = {
      {2024, "단기4357/01/01", EncodeDateTime(2024, 1, 1)},
      {2024, "단기57/01/01", EncodeDateTime(2024, 1, 1)},   // (2024 + 2333) div 100 = 43 hundreds
      {2024, "단기 057/06/19", EncodeDateTime(2024, 6, 19)},  // at most 99, whatever the digits
      {2024, "단기99/01/01", EncodeDateTime(2066, 1, 1)},
      {2024, "단기100/01/01", kFails},             // year 100 - 2333
      {2024, "57/01/01", EncodeDateTime(2057, 1, 1)},        // no era: the window rule
      {2099, "단기32/12/31", EncodeDateTime(2099, 12, 31)},  // 4432 - 2333
      {2099, "단기33/01/01", EncodeDateTime(2100, 1, 1)},
      {2099, "단기99/01/01", EncodeDateTime(2166, 1, 1)},
  };
  for (const KoreanCase& c : cases) {
    SCOPED_TRACE(c.current_year);
    fixed_year = c.current_year;
    ExpectReadings({{c.text, c.expected}});
  }
  // The same era list outside Korean counts years from the era's year 1.
  SysLocale.PriLangID = LANG_JAPANESE;
  fixed_year = 2024;
  ExpectReadings({{"단기57/01/01", EncodeDateTime(2389, 1, 1)}});
}

TEST_F(StrToDateTimeTest, JapaneseMarkers) {
  InLocale("ja_JP.UTF-8");
  TimeAMString = "午前";
  TimePMString = "午後";
  ExpectReadings({
      {"2003/06/19 午後 9:05", EncodeDateTime(2003, 6, 19, 21, 5)},
      {"2003/06/19 午後9:05", EncodeDateTime(2003, 6, 19, 21, 5)},
      {"2003/06/19 9:05 午後", EncodeDateTime(2003, 6, 19, 21, 5)},
      {"2003/06/19 午前 12:30", EncodeDateTime(2003, 6, 19, 0, 30)},
      {"2003/06/19 午前 9:05 午後", EncodeDateTime(2003, 6, 19, 9, 5)},
      {"2003/06/19 午後 0:30", kFails},
      {"2003/06/19 午 9:05", kFails},           // half a marker
      {"2003/06/19 9:05 PM", EncodeDateTime(2003, 6, 19, 21, 5)},  // the fixed markers stay
      {"2003/06/19 am 9:05", EncodeDateTime(2003, 6, 19, 9, 5)},
      {"午後 9:05", Time(21, 5)},
      {"9:05 午前", Time(9, 5)},
      {"9:05 午前中", kFails},
      {"午後", kFails},
  });
  // Multi-byte letters follow the locale's case rules.
  TimePMString = "ＰＭ";
  ExpectReadings({
      {"2003/06/19 9:05 ｐｍ", EncodeDateTime(2003, 6, 19, 21, 5)},
      {"2003/06/19 9:05 Ｐｍ", EncodeDateTime(2003, 6, 19, 21, 5)},
  });
}

TEST_F(StrToDateTimeTest, EmptyMarkersNeverMatch) {
  TimeAMString = "";
  TimePMString = "";
  ExpectReadings({
      {"2003/06/19 12:30", EncodeDateTime(2003, 6, 19, 12, 30)},  // a matched marker would make it 0:30
      {"2003/06/19 0:30", EncodeDateTime(2003, 6, 19, 0, 30)},    // ... or fail
      {"2003/06/19 9:05 PM", EncodeDateTime(2003, 6, 19, 21, 5)},
      {"12:30", Time(12, 30)},
      {"AM 12:30", Time(0, 30)},
  });
}

TEST_F(StrToDateTimeTest, FarEastDayNameAfterTheDate) {
  InLocale("ja_JP.UTF-8");
  SysLocale.FarEast = true;
  ShortDateFormat = "yyyy/MM/dd ddd";
  TimeAMString = "午前";
  TimePMString = "午後";
  ExpectReadings({
      {"2003/06/19 木 午後 9:05", EncodeDateTime(2003, 6, 19, 21, 5)},
      {"2003/06/19 木曜日 ほか 午前 9:05", EncodeDateTime(2003, 6, 19, 9, 5)},
      {"2003/06/19 木 9:05", 37791},         // a time without a marker is passed over
      {"2003/06/19 午後 9:05", 37791},       // the first word is always taken for the day name
      {"2003/06/19 木 PM 9:05", 37791},      // only the locale's markers stop the skipping
      {"2003/06/19 木", 37791},
      {"2003/06/19", 37791},
      {"06/19 木 午後 1:00", EncodeDateTime(2024, 6, 19, 13, 0)},
      {"2003/06/19 木 午後", kFails},
      {"2003/06/19 木 午後 9:05 more", EncodeDateTime(2003, 6, 19, 21, 5)},
  });

  // An empty marker stops the skipping right after the day name.
  TimeAMString = "";
  ExpectReadings({
      {"2003/06/19 木 9:05", EncodeDateTime(2003, 6, 19, 9, 5)},
      {"2003/06/19 木 x 9:05", kFails},
  });

  // Only on a far-eastern system.
  TimeAMString = "午前";
  SysLocale.FarEast = false;
  ExpectReadings({
      {"2003/06/19 木 午後 9:05", kFails},
      {"2003/06/19 9:05", EncodeDateTime(2003, 6, 19, 9, 5)},
  });
}

TEST_F(StrToDateTimeTest, ShiftJisCharactersAreNeverSplit) {
  InLocale("ja_JP.SJIS");
  // 嬰 (89 64) ends in the byte of d: the pattern still reads year first.
  ShortDateFormat = "\x89\x64yyyy/MM/dd";
  ExpectReadings({{"2003/06/19", 37791}});

  // 年 (94 4E) ends in the byte of N: N names no era.
  ShortDateFormat = "gggee/MM/dd";
  SysLocale.FarEast = true;
  EraNames[1] = "\x94\x4E";
  EraYearOffsets[1] = 2019;
  ExpectReadings({
      {"\x94\x4E" "6/01/01", EncodeDateTime(2024, 1, 1)},
      {"N6/01/01", EncodeDateTime(2006, 1, 1)},
  });

  // ＰＭ and ｐｍ.
  ShortDateFormat = "yyyy/MM/dd";
  TimePMString = "\x82\x6F\x82\x6C";
  ExpectReadings({
      {"2003/06/19 9:05 \x82\x90\x82\x8D", EncodeDateTime(2003, 6, 19, 21, 5)},
      {"9:05 \x82\x6F\x82\x6C", Time(21, 5)},
  });
}

TEST_F(StrToDateTimeTest, FailureNamesTheTextAsPassedIn) {
  const auto message_of = [](const std::string& text) {
    try {
      StrToDateTime(text);
    } catch (const EConvertError& e) {
      EXPECT_STREQ(e.ClassName(), "EConvertError");
      return e.Message;
    }
    ADD_FAILURE() << "no failure for " << text;
    return std::string();
  };
  InLocale("ja_JP.UTF-8");
  EXPECT_EQ(message_of("2003/13/19 9:05"), "'2003/13/19 9:05' は日付または時刻ではありません");
  EXPECT_EQ(message_of(" 2003/13/19\t"), "' 2003/13/19\t' は日付または時刻ではありません");

  // The fixed words in the user's charset, the text's own bytes untouched.
  InLocale("ja_JP.SJIS");
  const char raw[] = "\x95\xBD\x90\xAC 9:05 \xFF\0x";  // 平成, a stray byte, a NUL
  const std::string text(raw, sizeof raw - 1);
  EXPECT_EQ(message_of(text),
            "'" + text +
                "' \x82\xCD\x93\xFA\x95\x74\x82\xDC\x82\xBD\x82\xCD\x8E\x9E\x8D\x8F"
                "\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1");
}

}  // namespace
