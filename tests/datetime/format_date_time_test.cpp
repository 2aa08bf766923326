#include "datetime/format_date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "datetime/date_time_value.h"
#include "locale/format_settings.h"
#include "support/scoped_env.h"
#include "text/mbchar.h"

namespace {


const double Worked = EncodeDateTime(2003, 6, 19, 9, 5);  // a Thursday

struct Case {
  std::string pattern;
  double value;
  std::string expected;
};

void ExpectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDateTime(c.pattern, c.value), c.expected) << "pattern [" << c.pattern << "]";
  }
}

void SetEnglishNames() {
  ShortMonthNames = {"", "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  LongMonthNames = {"",     "January", "February",  "March",   "April",    "May",     "June",
                    "July", "August",  "September", "October", "November", "December"};
  ShortDayNames = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  LongDayNames = {"",         "Sunday",   "Monday", "Tuesday",
                  "Wednesday", "Thursday", "Friday", "Saturday"};
}

// The locale every pattern example is stated in, set directly.
void SetWorkedExampleLocale() {
  ShortDateFormat = "yyyy/MM/dd";
  LongDateFormat = "dddd, mmmm d, yyyy";
  ShortTimeFormat = "h:mm";
  LongTimeFormat = "h:mm:ss";
  DateSeparator = '/';
  TimeSeparator = ':';
  TimeAMString = "am";
  TimePMString = "pm";
  SetEnglishNames();
  SysLocale = TSysLocale{};
  OptionalCalendar = 1;
}

class FormatDateTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    locale_.Use("C");
    LeadBytes.reset();
    SetWorkedExampleLocale();
  }

  ScopedLocale locale_;
};

TEST_F(FormatDateTimeTest, WorkedExamples) {
  ExpectCases({
      {"yyyy/mm/dd hh:nn", Worked, "2003/06/19 09:05"},
      {"yyyy-m-d h:nn:ss.zzz", Worked, "2003-6-19 9:05:00.000"},
      {"dd.mm.yy", Worked, "19.06.03"},
      {"y yyy yyyyy", Worked, "03 2003 2003"},
      {"hh mm", Worked, "09 05"},
      {"hhmmm", Worked, "0905"},
      {"hh x mm", Worked, "09 x 06"},
      {"hh nn mm", Worked, "09 05 06"},
      {"hh'h'mm", Worked, "09h05"},
      {"Dd", Worked, "1919"},
      {"aaa, d mmm yyyy", Worked, "Thu, 19 Jun 2003"},
      {"dddd", Worked, "Thursday"},
      {"h:nn am/pm", Worked, "9:05 am"},
      {"h:nn AM/PM", Worked, "9:05 AM"},
      {"h:nn a/p", Worked, "9:05 a"},
      {"hh:nn am", Worked, "09:05 a6"},
      {"'hh:nn' hh:nn", Worked, "hh:nn 09:05"},
      {"c", Worked, "2003/06/19 9:05:00"},
      {"", Worked, "2003/06/19 9:05:00"},
      {"ddddd", Worked, "2003/06/19"},
      {"t", Worked, "9:05"},
      {"tt", Worked, "9:05:00"},
  });
}

TEST_F(FormatDateTimeTest, TwelveHourExamples) {
  ExpectCases({
      {"h:nn am/pm", EncodeDateTime(2003, 6, 19, 0, 30), "12:30 am"},
      {"h:nn am/pm", EncodeDateTime(2003, 6, 19, 11, 30), "11:30 am"},
      {"h:nn am/pm", EncodeDateTime(2003, 6, 19, 12, 30), "12:30 pm"},
      {"h:nn am/pm", EncodeDateTime(2003, 6, 19, 13, 30), "1:30 pm"},
      {"h:nn am/pm", EncodeDateTime(2003, 6, 19, 23, 30), "11:30 pm"},
      // The h inside the quotes ends the look-ahead before the marker.
      {"hh 'oh' am/pm", EncodeDateTime(2003, 6, 19, 13, 30), "13 oh pm"},
      {"hh 'oh' am/pm", EncodeDateTime(2003, 6, 19, 0, 30), "00 oh am"},
      // A marker before the hour sets the flag for the rest of the pattern.
      {"am/pm hh", EncodeDateTime(2003, 6, 19, 0, 30), "am 12"},
      {"am/pm h h", EncodeDateTime(2003, 6, 19, 13, 30), "pm 1 1"},
  });
}

TEST_F(FormatDateTimeTest, LookAheadStopsAndQuoting) {
  const double afternoon = EncodeDateTime(2003, 6, 19, 13, 30);
  ExpectCases({
      // An unquoted a that begins no marker ends the look-ahead.
      {"h ax am/pm", afternoon, "13 ax pm"},
      {"h am", afternoon, "13 a6"},
      {"h aaa am/pm", afternoon, "13 Thu pm"},
      // An a inside quotes is stepped over; an H inside quotes stops it.
      {"h \"a\" am/pm", afternoon, "1 a pm"},
      {"h:nn \"H\" am/pm", afternoon, "13:30 H pm"},
      // Both quote characters toggle one state without pairing: the look-ahead
      // sees the marker outside quotes although the writer copies it as text.
      {"h 'x\" am/pm'", afternoon, "1 x\" am/pm"},
      {"h a/p", afternoon, "1 p"},
      {"h ampm", afternoon, "1 pm"},
      {"hh a/p", EncodeDateTime(2003, 6, 19, 12, 0), "12 p"},
      {"hh a/p", EncodeDateTime(2003, 6, 19, 0, 0), "12 a"},
  });
}

TEST_F(FormatDateTimeTest, RunLengths) {
  const double early = EncodeDateTime(5, 3, 4, 7, 8, 9, 5);  // 0005-03-04, a Friday
  ExpectCases({
      {"y|yy|yyy|yyyy|yyyyy", Worked, "03|03|2003|2003|2003"},
      {"y|yy|yyyy", early, "05|05|0005"},
      {"m|mm|mmm|mmmm|mmmmm", early, "3|03|Mar|March|March"},
      {"d|dd|ddd|dddd", early, "4|04|Fri|Friday"},
      {"dddddd|ddddddd", Worked, "Thursday, June 19, 2003|Thursday, June 19, 2003"},
      {"h|hh|hhh", early, "7|07|07"},
      {"n|nn|nnn", early, "8|08|08"},
      {"s|ss|sss", early, "9|09|09"},
      {"z|zz|zzz|zzzz", early, "5|05|005|005"},
      {"z|zz", EncodeDateTime(2003, 6, 19, 0, 0, 0, 50), "50|50"},
      {"z|zz", EncodeDateTime(2003, 6, 19, 0, 0, 0, 123), "123|123"},
      {"t|tt|ttt", Worked, "9:05|9:05:00|9:05:00"},
      // Case splits runs but never changes what is written.
      {"Dd", Worked, "1919"},
      {"yYyY", Worked, "03030303"},
      {"YYYY/MM/DD HH:NN:SS", Worked, "2003/06/19 09:05:00"},
      // Letters that are no token, digits and punctuation are copied.
      {"bfijklopqruvwx 0123,.-_!", Worked, "bfijklopqruvwx 0123,.-_!"},
  });
}

TEST_F(FormatDateTimeTest, NamesAtBothEndsOfTheirLists) {
  ExpectCases({
      {"ddd dddd aaa aaaa", EncodeDateTime(2003, 6, 15), "Sun Sunday Sun Sunday"},
      {"ddd dddd aaa aaaa", EncodeDateTime(2003, 6, 21), "Sat Saturday Sat Saturday"},
      {"mmm mmmm", EncodeDateTime(2003, 1, 1), "Jan January"},
      {"mmm mmmm", EncodeDateTime(2003, 12, 31), "Dec December"},
  });
}

TEST_F(FormatDateTimeTest, MinutesOrMonth) {
  ExpectCases({
      // Minutes: only bytes that are no letters, or quoted text, in between.
      {"h:mm", Worked, "9:05"},
      {"h/m", Worked, "9/5"},
      {"hh'x'mm", Worked, "09x05"},
      {"hh''mm", Worked, "0905"},
      {"hhmmmm", Worked, "0905"},
      // Month: at the start, or after any other letter read.
      {"mm", Worked, "06"},
      {"'hh'mm", Worked, "hh06"},
      {"hh:nn mm", Worked, "09:05 06"},
      {"hh:mm:mm", Worked, "09:05:06"},
      {"hh:nn am/pm mm", Worked, "09:05 am 06"},
  });
}

TEST_F(FormatDateTimeTest, Markers) {
  const double morning = EncodeDateTime(2003, 6, 19, 9, 5);
  const double afternoon = EncodeDateTime(2003, 6, 19, 13, 30);
  ExpectCases({
      {"Am/pM", morning, "Am"},
      {"Am/pM", afternoon, "pM"},
      {"A/p", morning, "A"},
      {"A/p", afternoon, "p"},
      {"aMpM", morning, "am"},
      {"AMPM", afternoon, "pm"},
      {"AaAa", morning, "Thursday"},
      {"aAa", morning, "Thu"},
      // An a that begins no marker is written, and is a letter for m after it.
      {"a", morning, "a"},
      {"am", morning, "a6"},
      {"ap", morning, "ap"},
      {"am/p", morning, "a6/p"},
      {"a/pm", afternoon, "p6"},
      {"aaaaa", morning, "Thursdaya"},
  });
  TimeAMString = "";
  TimePMString = "PM";
  ExpectCases({{"[ampm]", morning, "[]"}, {"[ampm]", afternoon, "[PM]"}});
}

TEST_F(FormatDateTimeTest, QuotedText) {
  ExpectCases({
      {"'abc", Worked, "abc"},
      {"yy'", Worked, "03"},
      {"''|\"\"", Worked, "|"},
      {"\"it's\"", Worked, "it's"},
      {"'say \"hi\"'", Worked, "say \"hi\""},
      {"'yyyy'yyyy", Worked, "yyyy2003"},
      {"'/:'/:", Worked, "/:/:"},
  });
}

TEST_F(FormatDateTimeTest, EmptyPatternAndMidnight) {
  ExpectCases({
      {"", EncodeDateTime(2003, 6, 19), "2003/06/19"},
      {"c", EncodeDateTime(2003, 6, 19), "2003/06/19"},
      {"", EncodeDateTime(2003, 6, 19, 0, 0, 0, 500), "2003/06/19"},
      {"C", EncodeDateTime(2003, 6, 19, 0, 0, 0, 500), "2003/06/19"},
      {"", EncodeDateTime(2003, 6, 19, 0, 0, 1), "2003/06/19 0:00:01"},
      {"ccc", EncodeDateTime(2003, 6, 19, 0, 1), "2003/06/19 0:01:00"},
      {"   ", Worked, "   "},
      // The pattern ends at its first zero byte.
      {std::string("yy\0yy", 5), Worked, "03"},
      {std::string("\0yy", 3), Worked, "2003/06/19 9:05:00"},
  });
}

TEST_F(FormatDateTimeTest, LocaleFormatsAreOneLevelDeep) {
  // Composite tokens inside a locale format expand nothing; c still writes
  // its space when the time is not midnight.
  ShortDateFormat = "dd|c|t|tt|ddddd|dddddd|";
  ExpectCases({
      {"ddddd", Worked, "19| |||||"},
      {"ddddd", EncodeDateTime(2003, 6, 19), "19||||||"},
      {"c", Worked, "19| ||||| 9:05:00"},
  });

  SetWorkedExampleLocale();
  ShortTimeFormat = "mm";  // no hour before it inside its own expansion
  ExpectCases({{"hh t", Worked, "09 06"}});
  ShortTimeFormat = "AMPM";  // its marker does not reach the pattern's hour
  ExpectCases({{"hh t", EncodeDateTime(2003, 6, 19, 13, 30), "13 pm"}});
  ShortTimeFormat = "h:mm";  // nor does the pattern's flag reach the format
  ExpectCases({{"am/pm t", EncodeDateTime(2003, 6, 19, 13, 30), "pm 13:30"}});
  ShortTimeFormat = "h:mm AMPM";
  ExpectCases({{"t", EncodeDateTime(2003, 6, 19, 13, 30), "1:30 pm"}});

  LongTimeFormat = "";
  ExpectCases({{"tt", Worked, ""}, {"c", Worked, "2003/06/19 "}});
}

TEST_F(FormatDateTimeTest, Separators) {
  DateSeparator = '-';
  TimeSeparator = '.';
  ExpectCases({{"yyyy/mm/dd hh:nn", Worked, "2003-06-19 09.05"}});
  DateSeparator = 0;
  TimeSeparator = 0;
  ExpectCases({{"yyyy/mm/dd hh:nn", Worked, "20030619 0905"}});
}

TEST_F(FormatDateTimeTest, OutputStopsAt256Bytes) {
  std::string years;
  std::string written;
  for (int i = 0; i < 60; ++i) years += "yyyy-", written += "2003-";
  ExpectCases({
      {std::string(300, 'x'), Worked, std::string(256, 'x')},
      {years, Worked, written.substr(0, FormatDateTimeMaxLength)},
      // A number is cut where the limit falls; later output is dropped.
      {std::string(254, 'x') + "yyyyx", Worked, std::string(254, 'x') + "20"},
      {std::string(255, 'x') + "'abc'", Worked, std::string(255, 'x') + "a"},
      {std::string(250, 'x') + "dddd", Worked, std::string(250, 'x') + "Thursd"},
      {std::string(250, 'x') + "c", Worked, std::string(250, 'x') + "2003/0"},
  });
  std::string dates;
  for (int i = 0; i < 100; ++i) dates += "c|";
  char buf[FormatDateTimeMaxLength];
  EXPECT_EQ(FormatDateTimeTo(buf, dates, Worked), FormatDateTimeMaxLength);
}

TEST_F(FormatDateTimeTest, DecodingTheValue) {
  const std::string p = "yyyy/mm/dd hh:nn:ss.zzz";
  ExpectCases({
      {"yyyy/mm/dd hh:nn", 0, "1899/12/30 00:00"},
      {"yyyy/mm/dd hh:nn", -1.25, "1899/12/29 06:00"},
      {"yyyy/mm/dd hh:nn", 37791.5, "2003/06/19 12:00"},
      // Between -1 and 0 the value is day 0 with its fraction as the time.
      {p, -0.5, "1899/12/30 12:00:00.000"},
      {p, EncodeDateTime(2003, 6, 19, 23, 59, 59, 999), "2003/06/19 23:59:59.999"},
      // Less than half a millisecond before midnight rounds to the next day.
      {p, 37791 + (MsPerDay - 0.4) / MsPerDay, "2003/06/20 00:00:00.000"},
      {p, EncodeDateTime(2000, 2, 29, 12), "2000/02/29 12:00:00.000"},
      {p, EncodeDateTime(1, 1, 1), "0001/01/01 00:00:00.000"},
      {p, EncodeDateTime(1, 1, 1, 23, 59, 59, 999), "0001/01/01 23:59:59.999"},
      {p, EncodeDateTime(9999, 12, 31, 23, 59, 59, 999), "9999/12/31 23:59:59.999"},
  });
}

TEST_F(FormatDateTimeTest, ExactHalfMillisecondsGoToTheEvenNeighbour) {
  const double half2 = 2.5 / MsPerDay;
  const double half3 = 3.5 / MsPerDay;
  ASSERT_EQ(half2 * MsPerDay, 2.5);
  ASSERT_EQ(half3 * MsPerDay, 3.5);
  ExpectCases({{"zzz", half2, "002"}, {"zzz", half3, "004"}, {"zzz", -half3, "004"}});
}

TEST_F(FormatDateTimeTest, ValuesOutsideTheDomainAreClamped) {
  const std::string p = "yyyy/mm/dd hh:nn:ss.zzz";
  ExpectCases({
      {p, 1e300, "9999/12/31 23:59:59.999"},
      {p, std::numeric_limits<double>::infinity(), "9999/12/31 23:59:59.999"},
      {p, EncodeDateTime(9999, 12, 31) + 0.9999999999, "9999/12/31 23:59:59.999"},
      {p, -1e300, "0001/01/01 23:59:59.999"},
      {p, std::nan(""), "1899/12/30 00:00:00.000"},
  });
}

// The multi-byte cases run once per charset: the same text in UTF-8 and in
// Shift_JIS, whose trail bytes include ASCII letters.
class FormatDateTimeJapaneseTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(locale_.Use(GetParam()));
    ASSERT_TRUE(LeadBytes.any());
    SetWorkedExampleLocale();
    // Set here rather than taken from the locale, so the era tests do not
    // depend on how the locale settings are read.
    OptionalCalendar = 3;
    SysLocale.PriLangID = LANG_JAPANESE;
    SysLocale.SubLangID = 1;
    SysLocale.FarEast = true;
  }

  bool Sjis() const { return std::string(GetParam()) == "ja_JP.SJIS"; }

  ScopedLocale locale_;
  // The text in this test's charset: UTF-8 or Shift_JIS bytes.
  std::string Text(const char* utf8, const char* sjis) const { return Sjis() ? sjis : utf8; }
};

TEST_P(FormatDateTimeJapaneseTest, DoubleByteTextIsNeverReadAsPatternLetters) {
  const std::string nen = Text("年", "\x94\x4E");  // Shift_JIS trail byte: N
  const std::string tsuki = Text("月", "\x8C\x8E");
  const std::string hi = Text("日", "\x93\xFA");
  const std::string ei = Text("栄", "\x89\x68");  // Shift_JIS trail byte: h
  const std::string wa = Text("和", "\x98\x61");  // Shift_JIS trail byte: a
  const double afternoon = EncodeDateTime(2003, 6, 19, 13, 30);
  ExpectCases({
      {"yyyy" + nen + "mm" + tsuki + "dd" + hi, Worked,
       "2003" + nen + "06" + tsuki + "19" + hi},
      {nen, Worked, nen},
      // Outside quotes the character is written and resets the last letter.
      {"h" + nen + "m", Worked, "9" + nen + "6"},
      {"h" + ei + "am/pm", afternoon, "1" + ei + "pm"},
      {wa + "mpm", Worked, wa + "6p6"},
      // Inside quotes it is written as it is.
      {"'" + nen + "'yyyy", Worked, nen + "2003"},
      {"\"" + ei + wa + "\"h", afternoon, ei + wa + "13"},
      // A lead byte the pattern ends after is not written, quoted or not.
      {"yyyy" + nen.substr(0, 1), Worked, "2003"},
      {"'ab" + nen.substr(0, 1), Worked, "ab"},
  });
}

TEST_P(FormatDateTimeJapaneseTest, CharacterCutByTheLimitIsDroppedWhole) {
  const std::string nen = Text("年", "\x94\x4E");
  const std::string room = std::string(FormatDateTimeMaxLength - 1, 'x');
  ExpectCases({
      {room + nen + "q", Worked, room},
      {room + "'" + nen + "q'", Worked, room},
      {std::string(FormatDateTimeMaxLength - nen.size(), 'x') + nen + "q", Worked,
       std::string(FormatDateTimeMaxLength - nen.size(), 'x') + nen},
  });
  TimeAMString = nen + nen;
  ExpectCases({{room.substr(nen.size()) + "ampmq", Worked, room.substr(nen.size()) + nen}});
}

TEST_P(FormatDateTimeJapaneseTest, EraTokens) {
  const std::string heisei = Text("平成", "\x95\xBD\x90\xAC");
  const std::string reiwa = Text("令和", "\x97\xDF\x98\x61");
  const std::string seireki = Text("西暦", "\x90\xBC\x97\xEF");
  const std::string nen = Text("年", "\x94\x4E");
  ExpectCases({
      {"gg|ggg|g", Worked, heisei + "|" + heisei + "|" + heisei.substr(0, heisei.size() / 2)},
      {"e|ee|eee", Worked, "15|15|15"},
      {"e|ee|eee|eeee", EncodeDateTime(1993, 1, 1), "5|05|5|5"},
      {"ggee" + nen, EncodeDateTime(2019, 5, 1), reiwa + "01" + nen},
      {"g", EncodeDateTime(2019, 5, 1), reiwa.substr(0, reiwa.size() / 2)},
      {"gg e|eee", EncodeDateTime(1872, 12, 31), seireki + " 1872|1872"},
      {"'g'", Worked, "g"},
  });
  LongDateFormat = "gggee" + nen;
  ExpectCases({{"dddddd", Worked, heisei + "15" + nen}});

  OptionalCalendar = 1;  // no era calendar: the tokens write nothing
  ExpectCases({{"gg|g|e|eee", Worked, "|||"}});
}

INSTANTIATE_TEST_SUITE_P(Charsets, FormatDateTimeJapaneseTest,
                         ::testing::Values("ja_JP.UTF-8", "ja_JP.SJIS"),
                         [](const auto& info) {
                           return std::string(info.param) == "ja_JP.SJIS" ? "ShiftJis" : "Utf8";
                         });

TEST(FormatDateTimeEra, TraditionalChineseShortensFourCharacterNames) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("zh_TW_minguo.UTF-8"));  // era 中華民國
  SetWorkedExampleLocale();
  OptionalCalendar = 4;
  SysLocale = {LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL, true};
  ExpectCases({
      {"g|gg|ee", Worked, "民國|中華民國|92"},
      {"g|gg|e", EncodeDateTime(1900, 1, 1), "||"},  // before the first era
  });
  SysLocale.SubLangID = 2;  // simplified Chinese: no shortening
  ExpectCases({{"g", Worked, "中華民國"}});

  ASSERT_TRUE(locale.Use("zh_TW.UTF-8"));  // era 民國: two characters, whole
  SetWorkedExampleLocale();
  OptionalCalendar = 4;
  SysLocale = {LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL, true};
  ExpectCases({{"g|e", Worked, "民國|92"}});
}

TEST(FormatDateTimeEra, LocaleWithoutErasWritesNothing) {
  ScopedLocale locale;
  // glibc would write the century and the two-digit year here.
  ASSERT_TRUE(locale.Use("en_US.UTF-8"));
  SetWorkedExampleLocale();
  OptionalCalendar = 3;
  ExpectCases({{"[gg|g|ee|eee]", Worked, "[|||]"}});
}

}  // namespace
