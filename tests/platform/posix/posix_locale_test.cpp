#include "platform/posix/posix_locale.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"

namespace {

TEST(ParseEraEntry, ReadsTheFieldsAndTheDirection) {
  const struct {
    const char* text;
    bool forward;
    int64_t firstYear;
  } cases[] = {
      {"+:2:2020/01/01:+*:R:%EC%Ey", true, 2019},
      {"+:1:2019/05/01:2019/12/31:R:%EC", true, 2019},
      {"+:6:1873/01/01:1912/07/29:M:%EC%Ey", true, 1868},
      {"+:1:0001/01/01:1872/12/31:AD:%EC%Ey", true, 1},
      {"+:1:-0001/12/31:-*:BC:%EC%Ey", false, -1},     // counts back from 1 BC
      {"+:1:1911/12/31:-*:BM:%EC%Ey", false, 1911},
      {"-:10:2000/01/01:2009/12/31:Down:%EC", false, 1991},  // counts down
      {"-:1:2009/12/31:2000/01/01:Up:%EC", true, 2009},      // down from a later start
      {"+:1:2000/01/01:1990/01/01:Back:%EC", false, 2000},
  };
  for (const auto& c : cases) {
    const auto entry = ParseEraEntry(c.text);
    ASSERT_TRUE(entry.has_value()) << c.text;
    EXPECT_EQ(entry->CountsForward(), c.forward) << c.text;
    EXPECT_EQ(entry->FirstYear(), c.firstYear) << c.text;
  }
  const auto entry = ParseEraEntry("+:2:1990/01/01:2019/04/30:Heisei:%EC:%Ey");
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->name, "Heisei");
  EXPECT_EQ(entry->format, "%EC:%Ey");  // the format keeps its colons
  EXPECT_EQ(entry->end.year, 2019);
  EXPECT_EQ(entry->end.month, 4);
  EXPECT_EQ(entry->end.day, 30);
}

TEST(ParseEraEntry, RefusesWhatIsNoEntry) {
  const char* cases[] = {
      "",
      "+:2:2020/01/01:+*:R",             // no format field
      "*:2:2020/01/01:+*:R:%EC",         // no direction
      "+:x:2020/01/01:+*:R:%EC",         // offset not a number
      "+:99999999999:2020/01/01:+*:R:%EC",
      "+:2:+*:+*:R:%EC",                 // the start is never open
      "+:2:2020/13/01:+*:R:%EC",
      "+:2:2020/01:+*:R:%EC",
      "+:2:2020/01/01:*:R:%EC",
  };
  for (const char* text : cases) EXPECT_FALSE(ParseEraEntry(text).has_value()) << text;
}

TEST(LocaleEras, ListsEveryEntryOfTheLocale) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("ja_JP.UTF-8"));
  const std::vector<EraEntry> eras = LocaleEras();
  ASSERT_EQ(eras.size(), 11u);  // glibc's ja_JP: two entries per era, 紀元前 last
  EXPECT_EQ(eras.front().name, "令和");
  EXPECT_EQ(eras.back().name, "紀元前");
  locale.Use("C");
  EXPECT_TRUE(LocaleEras().empty());
}

TEST(CharsetLeadBytes, ComeFromTheCharset) {
  ScopedLocale locale;
  const struct {
    const char* locale;
    int first;
    int last;  // every byte from first to last, and no other
  } cases[] = {
      {"ja_JP.UTF-8", 0xC2, 0xF4},
      {"C.UTF-8", 0xC2, 0xF4},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(locale.Use(c.locale));
    const std::bitset<256> lead = CharsetLeadBytes();
    for (int b = 0; b < 256; ++b) EXPECT_EQ(lead[b], b >= c.first && b <= c.last) << c.locale << b;
  }
  locale.Use("C");
  EXPECT_TRUE(CharsetLeadBytes().none());
}

}  // namespace
