#include "platform/posix/strftime_pattern.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scoped_env.h"

namespace {

// What %x, %Ex and %r stand for in these tests.
const StrftimeComposites kComposites{"%d.%m.%Y", "%EC%Ey", "%I:%M %p"};

StrftimeFormat Expanded(const char* format) {
  return ExpandStrftime(ScanStrftime(format), kComposites);
}

TEST(StrftimeToPattern, TranslatesConversionsAndKeepsLiteralsLiteral) {
  ScopedLocale locale;
  locale.Use("C");
  const struct {
    const char* format;
    const char* pattern;
  } cases[] = {
      {"%Y/%m/%d", "yyyy/MM/dd"},
      {"%y-%-m-%-d", "yy-M-d"},
      {"%e %_m %_d", "d M d"},
      {"%0e", "dd"},
      {"%Od.%Om.%Oy", "dd.MM.yy"},
      {"%a %A %b %h %B", "ddd dddd MMM MMM MMMM"},
      {"%^b %#B %10Y", "MMM MMMM yyyy"},  // case flags and widths change no field
      {"%D", "MM/dd/yy"},
      {"%F", "yyyy-MM-dd"},
      {"%EC%Ey.%EY", "ggyy.ggyy"},
      {"%Em", "MM"},                     // E means nothing to the month
      {"%x|%Ex", "dd.MM.yyyy|ggyy"},     // the locale's formats, expanded
      {"%Y%%%m", "yyyy%MM"},
      {"%j %C %U %n %t %Q", "     "},    // no counterpart: dropped, the blanks stay
      {"%Y年%m月%d日", "yyyy年MM月dd日"},  // multi-byte text is copied
      {"%d de %B", "dd\" de \"MMMM"},     // text with letters is quoted
      {"%d'%m", "dd\"'\"MM"},             // so is an apostrophe
      {"%d\"%m", "dd'\"'MM"},             // a double quote goes in apostrophes
      {"a\"b", "\"a\"'\"'\"b\""},
      {"%m%d%d%e", "MMdd\"\"dd\"\"d"},    // runs of one letter kept apart
      {"%m%n%m", "MM\"\"MM"},
      {"%Y-%", "yyyy-"},                  // a conversion cut by the end
      {"%-", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrftimeToPattern(Expanded(c.format)), c.pattern) << c.format;
  }
}

TEST(StrftimeToPattern, NeverTakesATrailByteForALetter) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.SJIS"));
  // 年 is 0x94 0x4E and 曜 0x97 0x6A: trail bytes that are the ASCII N and j.
  EXPECT_EQ(StrftimeToPattern(Expanded("%Y\x94N%m")), "yyyy\x94NMM");
  EXPECT_EQ(StrftimeToPattern(Expanded("%d\x97j")), "dd\x97j");
  EXPECT_EQ(StrftimeToPattern(Expanded("%d\x97jx")), "dd\"\x97jx\"");
}

TEST(DateSeparatorText, IsTheLiteralBetweenTheFirstTwoNumericFields) {
  ScopedLocale locale;
  locale.Use("C");
  const struct {
    const char* format;
    const char* separator;  // nullptr: no answer
  } cases[] = {
      {"%m/%d/%Y", "/"},
      {"%d.%m.%Y", "."},
      {"%D", "/"},
      {"%F", "-"},
      {"%x", "."},
      {"%A, %e %B", nullptr},   // one numeric field only
      {"%Y%m%d", ""},
      {"%EC%Ey%m", ""},         // the era year counts, the era name does not
      {"%Y\xE5\xB9\xB4%m", "\xE5\xB9\xB4"},
      {"%d %b %Y", nullptr},    // a month name between
      {"%Y. %m. %d", ". "},
  };
  for (const auto& c : cases) {
    const auto text = DateSeparatorText(Expanded(c.format));
    ASSERT_EQ(text.has_value(), c.separator != nullptr) << c.format;
    if (text) {
      EXPECT_EQ(*text, c.separator) << c.format;
    }
  }
}

TEST(HourStyle, FollowsTheFirstHourAndTheMinuteAfterIt) {
  ScopedLocale locale;
  locale.Use("C");
  const struct {
    const char* format;
    bool found;
    HourStyle style;
    const char* separator;  // nullptr: no answer
  } cases[] = {
      {"%H:%M:%S", true, {true, true, false}, ":"},
      {"%T", true, {true, true, false}, ":"},
      {"%R", true, {true, true, false}, ":"},
      {"%r", true, {true, false, false}, ":"},  // through T_FMT_AMPM
      {"%I.%M %p", true, {true, false, false}, "."},
      {"%p %I:%M", true, {true, false, true}, ":"},
      {"%P%l:%M", true, {false, false, true}, ":"},
      {"%k:%M", true, {false, true, false}, ":"},
      {"%l:%M", true, {false, false, false}, ":"},
      {"%-H:%M", true, {false, true, false}, ":"},
      {"%_I:%M", true, {false, false, false}, ":"},
      {"%0k:%M", true, {true, true, false}, ":"},
      {"%OH:%OM", true, {true, true, false}, ":"},
      {"%H\xE6\x99\x82%M\xE5\x88\x86", true, {true, true, false}, "\xE6\x99\x82"},
      {"%H%M", true, {true, true, false}, ""},
      {"%H h %S %M", true, {true, true, false}, nullptr},  // the second stands between
      {"%H", true, {true, true, false}, nullptr},
      {"%M:%S", false, {}, nullptr},
      {"%X", false, {}, nullptr},
  };
  for (const auto& c : cases) {
    const StrftimeFormat format = Expanded(c.format);
    const auto style = FindHourStyle(format);
    ASSERT_EQ(style.has_value(), c.found) << c.format;
    if (style) {
      EXPECT_EQ(style->leadingZero, c.style.leadingZero) << c.format;
      EXPECT_EQ(style->clock24, c.style.clock24) << c.format;
      EXPECT_EQ(style->markerFirst, c.style.markerFirst) << c.format;
    }
    const auto separator = TimeSeparatorText(format);
    ASSERT_EQ(separator.has_value(), c.separator != nullptr) << c.format;
    if (separator) {
      EXPECT_EQ(*separator, c.separator) << c.format;
    }
  }
}

TEST(DatePartOf, EndsBeforeTheFirstTimeConversion) {
  ScopedLocale locale;
  locale.Use("C");
  const struct {
    const char* dateTime;
    const char* pattern;
  } cases[] = {
      {"%a %d %b %Y %r %Z", "ddd dd MMM yyyy"},
      {"%a %b %e %H:%M:%S %Y", "ddd MMM d"},
      {"%Y-%m-%d, %T", "yyyy-MM-dd"},
      {"%x (%a) %r", "dd.MM.yyyy (ddd)"},
      {"%A, %B %e, %Y at %l:%M %P", "dddd, MMMM d, yyyy\" at\""},
      {"%d %b %Y ,, %n%Ok", "dd MMM yyyy"},  // a dropped conversion does not stop the trim
      {"%c", ""},
      {"%T %Z", ""},
      {"%z %Y", ""},
      {"%Ex %EX", "ggyy"},
      {"%d/%m/%Y %EH", "dd/MM/yyyy"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StrftimeToPattern(DatePartOf(ScanStrftime(c.dateTime), kComposites)), c.pattern)
        << c.dateTime;
  }
}

TEST(ExpandStrftime, ExpandsTheLocaleFormatsOneLevelWithStrftimeDefaults) {
  ScopedLocale locale;
  locale.Use("C");
  const StrftimeComposites selfNamed{"%d %x", "", ""};
  // A D_FMT that names itself keeps the inner %x, which translates to nothing;
  // %Ex without ERA_D_FMT is %x; %r without T_FMT_AMPM is %I:%M:%S %p.
  EXPECT_EQ(StrftimeToPattern(ExpandStrftime(ScanStrftime("%x|%Ex"), selfNamed)), "dd |dd ");
  const auto style = FindHourStyle(ExpandStrftime(ScanStrftime("%r"), selfNamed));
  ASSERT_TRUE(style.has_value());
  EXPECT_FALSE(style->clock24);
  EXPECT_EQ(StrftimeToPattern(ExpandStrftime(ScanStrftime("%x"), StrftimeComposites{})),
            "MM/dd/yy");
}

TEST(UsesEraConversion, SeesOnlyTheEraConversions) {
  ScopedLocale locale;
  locale.Use("C");
  EXPECT_TRUE(UsesEraConversion(ScanStrftime("%EC")));
  EXPECT_TRUE(UsesEraConversion(ScanStrftime("%Ey")));
  EXPECT_TRUE(UsesEraConversion(ScanStrftime("%EY")));
  EXPECT_TRUE(UsesEraConversion(ScanStrftime("%Ex")));
  EXPECT_FALSE(UsesEraConversion(ScanStrftime("%Y/%m/%d %Oy %C %x %EH")));
}

}  // namespace
