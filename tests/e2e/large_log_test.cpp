// A generated log of a few hundred thousand entries, checked against the
// result its generator predicts from the entries it wrote.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "support/sandbox.h"

namespace {

TEST(LargeLog, EveryStampIsRewrittenAndJoinedAsItsEntryPredicts) {
  std::mt19937 rng(20030619);
  std::string input = ".LOG\r\n";
  std::string expected = ".LOG\r\n";
  const char* texts[] = {"Bought milk.", "牛乳を買った。", "    ", "Meeting at 10:00 2003/06/19",
                         "1234 678901 34567", "会議: 予算", "a\tb"};  // 17 bytes: no stamp
  int year = 1990, day_of_year = 0;
  char stamp[32], rewritten[32];
  for (int entry = 0; entry < 300000; ++entry) {
    if (rng() % 5 == 0 && ++day_of_year == 28 * 12) day_of_year = 0, ++year;
    const int month = day_of_year / 28 + 1, day = day_of_year % 28 + 1;
    const int hour = static_cast<int>(rng() % 24), minute = static_cast<int>(rng() % 60);
    std::snprintf(stamp, sizeof stamp, "%d:%02d %04d/%02d/%02d", hour, minute, year, month, day);
    std::snprintf(rewritten, sizeof rewritten, "%04d/%02d/%02d %02d:%02d", year, month, day, hour,
                  minute);
    const int lines = static_cast<int>(rng() % 4);  // 0 to 3 lines of text
    input += stamp;
    input += "\r\n";
    expected += rewritten;
    for (int i = 0; i < lines; ++i) {
      const std::string text = texts[rng() % std::size(texts)];
      input += text + "\r\n";
      expected += (i == 0 ? "\t" : "") + text + "\r\n";
    }
    if (lines == 0) expected += "\r\n";
    if (rng() % 4 != 0) {  // most entries end with an empty line
      input += "\r\n";
      expected += "\r\n";
    }
  }
  Sandbox box;
  box.Write("big.log", input);
  const RunResult r = box.Run({"big.log"}, InLocale("ja_JP.UTF-8"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_TRUE(r.err.empty()) << r.err.substr(0, 500);
  const std::string converted = box.Read("big.log");
  ASSERT_EQ(converted.size(), expected.size());
  EXPECT_TRUE(converted == expected) << "first difference at byte "
                                     << std::mismatch(converted.begin(), converted.end(),
                                                      expected.begin()).first - converted.begin();
}

}  // namespace
