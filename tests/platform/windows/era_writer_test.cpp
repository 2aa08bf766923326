#include "platform/era_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/charset.h"
#include "support/windows/sandbox.h"

namespace {

std::string Era(const char* picture, int y, int m, int d) {
  char buf[256];
  const std::size_t n = WriteEraDate(CAL_JAPAN, picture, y, m, d, buf, sizeof buf);
  return n == 0 ? std::string("(failed)") : std::string(buf);
}

TEST(WriteEraDate, RefusesWhatIsNoEraPicture) {
  char buf[256];
  EXPECT_EQ(WriteEraDate(CAL_JAPAN, "dd", 2003, 6, 19, buf, sizeof buf), 0u);
  EXPECT_EQ(WriteEraDate(CAL_GREGORIAN, "gg", 2003, 6, 19, buf, sizeof buf), 0u);
  EXPECT_EQ(WriteEraDate(CAL_JAPAN, "gg", 2003, 6, 19, buf, 0), 0u);
}

TEST(WriteEraDate, WritesTheJapaneseEraNamesAndYears) {
  if (RunningUnderWine()) {
    GTEST_SKIP() << "Wine " << WineVersion()
                 << ": GetDateFormatA writes no era tokens (gg gives the Gregorian era name)";
  }
  EXPECT_EQ(Era("gg", 2003, 6, 19), LocalText("平成"));
  EXPECT_EQ(Era("yy", 2003, 6, 19), "15");
  EXPECT_EQ(Era("gg", 2019, 5, 1), LocalText("令和"));
  EXPECT_EQ(Era("gg", 2019, 4, 30), LocalText("平成"));
  EXPECT_EQ(Era("yyyy", 1926, 12, 25), "1");
}

}  // namespace
