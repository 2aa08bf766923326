#include "convert/timestamp_rewriting.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "convert/globals.h"
#include "locale/format_settings.h"
#include "platform/expand_file_name.h"
#include "support/capture.h"
#include "support/scoped_env.h"
#include "text/ansi_pos.h"

namespace {

TEST(TimeDateStringToDateTimeString, SwapsAtTheFirstBlankAfterTrimming) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"9:05 2003/06/19", "2003/06/19 9:05"},
      {"10:30 2003/06/20", "2003/06/20 10:30"},
      {"9:05 2003/06/19 ", "2003/06/19 9:05"},
      {"\t9:05 2003/06/19", "2003/06/19 9:05"},
      {"12345", "12345 "},
      {"9:05 AM 6/19", "AM 6/19 9:05"},
      {" \x01\x1f ", " "},
      {"\x80 x\x80", "x\x80 \x80"},  // bytes from 0x80 up are never trimmed
  };
  for (const auto& c : cases) EXPECT_EQ(TimeDateStringToDateTimeString(c.in), c.out) << c.in;

  // The scan's form writes into a string it reuses, which may hold the text.
  std::string result = "a longer text from before";
  TimeDateStringToDateTimeString("9:05 2003/06/19", result);
  EXPECT_EQ(result, "2003/06/19 9:05");
  TimeDateStringToDateTimeString(result, result);
  EXPECT_EQ(result, "9:05 2003/06/19");
  result = "xx10:30 2003/06/20";
  TimeDateStringToDateTimeString(std::string_view(result).substr(2), result);
  EXPECT_EQ(result, "2003/06/20 10:30");
}

TEST(AnsiPos, NeverMatchesInsideAMultiByteCharacter) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.SJIS"));
  EXPECT_EQ(AnsiPos(" ", "\x93\xfa 1"), 3u);
  EXPECT_EQ(AnsiPos("\x5c", "\x95\x5c\x5c"), 3u) << "the 0x5C of 表 is no match";
  EXPECT_EQ(AnsiPos("N", "\x94\x4e"), 0u) << "the 0x4E of 年 is no match";
  EXPECT_EQ(AnsiPos("\x95\x5c", "a\x95\x5c"), 2u);
  EXPECT_EQ(AnsiPos("\x5c\x5c", "\x95\x5c\x5c"), 0u) << "starts inside 表";
  EXPECT_EQ(AnsiPos("ab", "aab"), 2u);
  EXPECT_EQ(AnsiPos("abc", "ab"), 0u);
  EXPECT_EQ(AnsiPos("", "ab"), 0u);
}

TEST(DateTimeStringToFormatedDateTimeString, RewritesOrReportsTheLine) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.UTF-8"));
  DateTimeFormat = "yyyy/mm/dd hh:nn";
  CurrentFileName = "diary.log";
  LineIndex = 4;
  CapturedOutput out;

  std::string s = "2003/06/19 9:05";
  EXPECT_TRUE(DateTimeStringToFormatedDateTimeString(s));
  EXPECT_EQ(s, "2003/06/19 09:05");
  s = "2003/12/31 23:59";
  EXPECT_TRUE(DateTimeStringToFormatedDateTimeString(s));
  EXPECT_EQ(s, "2003/12/31 23:59");
  EXPECT_TRUE(out.boxes.empty());

  s = "2003/13/19 9:05";
  EXPECT_FALSE(DateTimeStringToFormatedDateTimeString(s));
  EXPECT_EQ(s, "2003/13/19 9:05") << "unchanged after a failure";
  ASSERT_EQ(out.boxes.size(), 1u);
  EXPECT_EQ(out.boxes[0], (ShownBox{"日時変換エラー",
                                    ExpandFileName("diary.log") +
                                        "、旧5行目 での EConvertError\r\n'2003/13/19 9:05' "
                                        "は日付または時刻ではありません",
                                    0x10}));
}

// The rewriting prepares its fast path once for the pattern and locale
// values, and again whenever one of them changed between two stamps.
TEST(DateTimeStringToFormatedDateTimeString, FollowsChangedSettingsBetweenStamps) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.UTF-8"));
  CapturedOutput out;
  const struct {
    void (*change)();
    const char* stamp;
    const char* expected;  // nullptr: no date-time
  } steps[] = {
      {[] { DateTimeFormat = "yyyy/mm/dd hh:nn"; }, "2003/06/19 9:05", "2003/06/19 09:05"},
      {[] { DateTimeFormat = "dd.mm.yyyy"; }, "2003/06/19 9:05", "19.06.2003"},
      {[] { ShortDateFormat = "dd/MM/yyyy"; }, "19/06/2003 9:05", "19.06.2003"},
      {[] {}, "2003/06/19 9:05", nullptr},  // month 19 in the day-month-year order
      {[] { DateTimeFormat = "hh:nn mmm"; }, "19/06/2003 9:05", "09:05  6月"},
      {[] { TimeSeparator = '.'; }, "19/06/2003 9.05", "09.05  6月"},
      {[] { DateTimeFormat = "yy:mm"; }, "19/06/2003 9.05", "03.06"},
  };
  for (const auto& step : steps) {
    step.change();
    std::string s = step.stamp;
    const bool converted = DateTimeStringToFormatedDateTimeString(s);
    EXPECT_EQ(converted, step.expected != nullptr) << step.stamp;
    EXPECT_EQ(s, step.expected ? step.expected : step.stamp) << DateTimeFormat;
  }
  EXPECT_EQ(out.boxes.size(), 1u);
  DateTimeFormat = "yyyy/mm/dd hh:nn";
}

TEST(ExpandFileName, ResolvesLexicallyAgainstTheCurrentFolder) {
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  const std::string here = cwd;
  const struct {
    std::string in;
    std::string out;
  } cases[] = {
      {"/var/log/a.log", "/var/log/a.log"},
      {"/var//log/./a.log", "/var/log/a.log"},
      {"/var/log/../a.log", "/var/a.log"},
      {"/../a.log", "/a.log"},
      {"a.log", here + "/a.log"},
      {"./sub/../a.log", here + "/a.log"},
      {"no/such/dir/../x", here + "/no/such/x"},  // nothing needs to exist
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandFileName(c.in), c.out) << c.in;
  const std::string huge(5000, 'x');
  EXPECT_EQ(ExpandFileName(huge), huge);
}

}  // namespace
