// Whole conversions of small logs against expected bytes. Each case in
// tests/e2e/golden is NAME.log (the input), NAME.expected (the log after the
// run), and optionally NAME.ini (the settings file), NAME.err (stderr, with
// {DIR} for the run's folder; empty when absent) and NAME.locale (default
// ja_JP.UTF-8).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/sandbox.h"

namespace {

const std::filesystem::path kGolden = std::filesystem::path(LOGSTAMP_SOURCE_DIR) / "tests/e2e/golden";

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(kGolden)) {
    if (entry.path().extension() == ".log") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, ConvertsToTheExpectedBytesAndStaysSoWhenConvertedAgain) {
  const std::string name = GetParam();
  const auto file = [&](const char* ext) { return kGolden / (name + ext); };
  Sandbox box;
  box.Write(name + ".log", Slurp(file(".log")));
  if (std::filesystem::exists(file(".ini"))) box.WriteIni(Slurp(file(".ini")));
  std::string locale = "ja_JP.UTF-8";
  if (std::filesystem::exists(file(".locale"))) {
    std::istringstream(Slurp(file(".locale"))) >> locale;
  }
  std::string err;
  if (std::filesystem::exists(file(".err"))) {
    err = Slurp(file(".err"));
    for (std::size_t at; (at = err.find("{DIR}")) != std::string::npos;) err.replace(at, 5, box.Dir());
  }

  const RunResult first = box.Run({name + ".log"}, InLocale(locale));
  EXPECT_EQ(first.exit_code, 0);
  EXPECT_EQ(first.err, err);
  const std::string converted = box.Read(name + ".log");
  EXPECT_EQ(converted, Slurp(file(".expected")));

  const RunResult second = box.Run({name + ".log"}, InLocale(locale));
  EXPECT_EQ(second.exit_code, 0);
  EXPECT_EQ(box.Read(name + ".log"), converted);
}

INSTANTIATE_TEST_SUITE_P(Logs, Golden, ::testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });

TEST(Convert, ErrorBoxShowsARelativeNameAsItsFullPath) {
  Sandbox box;
  ASSERT_EQ(std::system(("mkdir -p " + box.Path("sub/deeper")).c_str()), 0);
  box.Write("sub/x.log", ".LOG\n9:05 2003/13/19\n");
  const RunResult r = box.Run({"sub/deeper/.././/x.log"}, InLocale("ja_JP.UTF-8"));
  EXPECT_EQ(r.err, "logstamp: 日時変換エラー: " + box.Dir() +
                       "/sub/x.log、旧2行目 での EConvertError\n"
                       "'2003/13/19 9:05' は日付または時刻ではありません\n");
}

TEST(Convert, ATooShortLogIsNotSavedAndCountsAsNotProcessed) {
  Sandbox box;
  box.Write("empty.log", "");
  box.Write("one.log", "9:05 2003/06/19");
  const RunResult r = box.Run({"empty.log", "one.log"}, InLocale("ja_JP.UTF-8"));
  EXPECT_EQ(r.err, "logstamp: 報告: 2件中 2件のファイルを処理できませんでした。\n");
  EXPECT_EQ(box.Read("empty.log"), "");
  EXPECT_EQ(box.Read("one.log"), "9:05 2003/06/19");
}

}  // namespace
