#include "text/mbchar.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scoped_env.h"

namespace {

struct Case {
  const char* text;
  std::size_t len;
  bool cut;
};

void ExpectLengths(const Case* cases, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const std::string t = cases[i].text;
    bool cut = !cases[i].cut;
    EXPECT_EQ(CharLen(t.data(), t.data() + t.size(), &cut), cases[i].len) << i;
    EXPECT_EQ(cut, cases[i].cut) << i;
  }
}

TEST(CharLen, Utf8CharactersAreWholeAndNeverCut) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.UTF-8"));
  const Case cases[] = {
      {"a", 1, false},
      {"\xE5\xB9\xB4x", 3, false},          // 年
      {"\xF0\x9F\x98\x80", 4, false},       // four-byte character
      {"\xE5\xB9", 2, true},                // cut by the end of the text
      {"\xE5" "a", 1, false},               // invalid: the byte stands alone
  };
  ExpectLengths(cases, std::size(cases));
}

TEST(CharLen, ShiftJisTrailByteIsNeverACharacter) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.SJIS"));
  const Case cases[] = {
      {"\x94\x4E", 2, false},  // 年: its trail byte is an ASCII N
      {"\x81\x5C", 2, false},  // a trail byte that is a backslash
      {"\x94", 1, true},
      {"N", 1, false},
  };
  ExpectLengths(cases, std::size(cases));
}

TEST(CharLen, EucJpCharactersOfTwoAndThreeBytes) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.EUC-JP"));
  const Case cases[] = {
      {"\xC7\xAF", 2, false},      // 年
      {"\x8E\xB1", 2, false},      // a half-width katakana
      {"\x8F\xB0\xA1", 3, false},  // JIS X 0212
      {"\x8F\xB0", 2, true},
  };
  ExpectLengths(cases, std::size(cases));
}

}  // namespace
