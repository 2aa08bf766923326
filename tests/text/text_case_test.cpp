#include "text/text_case.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>

#include "support/scoped_env.h"

namespace {

struct Case {
  std::string_view a, b;
  bool equal;
};

void ExpectComparisons(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "'" << c.a << "' vs '" << c.b << "'");
    EXPECT_EQ(EqualIgnoringCase(c.a, c.b), c.equal);
    EXPECT_EQ(EqualIgnoringCase(c.b, c.a), c.equal);
  }
}

TEST(EqualIgnoringCase, AsciiLettersWithoutCaseOtherBytesExactly) {
  ScopedLocale locale;
  locale.Use("C");
  ExpectComparisons({
      {"AM", "am", true},
      {"pM", "Pm", true},
      {"", "", true},
      {"am", "a", false},
      {"[", "{", false},  // differ in the case bit, but are no letters
      {"@", "`", false},
      {"\xC9", "\xE9", false},  // É and é of Latin-1: single bytes compare exactly
      {"\xC9", "\xC9", true},
  });
}

TEST(EqualIgnoringCase, MultiByteCharactersByTheLocalesRules) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.UTF-8"));
  ExpectComparisons({
      {"午後", "午後", true},
      {"午後", "午前", false},
      {"ＰＭ", "ｐｍ", true},
      {"Ä", "ä", true},
      {"\xE2\x84\xAA", "k", false},  // KELVIN SIGN lowers to k, but is no single byte
      {"Ａ", "a", false},
      {"\xE5\x8D", "\xE5\x8D", false},  // a character cut by the end matches nothing
  });
}

TEST(EqualIgnoringCase, ShiftJisTrailBytesAreNoLetters) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.SJIS"));
  ExpectComparisons({
      {"\x94\x4E", "\x94\x6E", false},  // 年 and 馬 differ only in an ASCII-letter trail byte
      {"\x82\x6F\x82\x6C", "\x82\x90\x82\x8D", true},  // ＰＭ and ｐｍ
  });
  // A prefix that would end inside a character of the text.
  EXPECT_FALSE(StartsWithIgnoringCase("\x94\x4E", "\x94"));
  EXPECT_TRUE(StartsWithIgnoringCase("\x94\x4E 9", "\x94\x4E"));
  EXPECT_FALSE(StartsWithIgnoringCase("\x94", "\x94\x4E"));
}

}  // namespace
