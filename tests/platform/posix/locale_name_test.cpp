#include "platform/posix/locale_name.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseLocaleName, TakesLanguageAndTerritory) {
  const struct {
    const char* name;
    const char* language;
    const char* territory;
  } cases[] = {
      {"ja_JP.UTF-8", "ja", "JP"},
      {"zh_TW", "zh", "TW"},
      {"sr_RS@latin", "sr", "RS"},
      {"de_DE.UTF-8@euro", "de", "DE"},
      {"ko", "ko", ""},
      {"/usr/lib/locale/ja_JP.utf8", "ja", "JP"},  // a locale named by its path
      {"C", "C", ""},
      {"C.UTF-8", "C", ""},
      {"POSIX", "C", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    const LocaleName parsed = ParseLocaleName(c.name);
    EXPECT_EQ(parsed.language, c.language) << c.name;
    EXPECT_EQ(parsed.territory, c.territory) << c.name;
  }
}

}  // namespace
