// The golden cases of tests/e2e/golden converted by logstamp.exe under the
// Japanese locale with code page 932. A case written for a UTF-8 locale is
// given in code page 932 (its files and expected messages converted from
// UTF-8), a Shift_JIS case as it is; cases of other locales are not run here.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/charset.h"
#include "platform/windows/win32.h"
#include "support/windows/sandbox.h"

namespace {

const std::string kGolden = std::string(LOGSTAMP_SOURCE_DIR) + "\\tests\\e2e\\golden\\";

bool Slurp(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream out;
  out << in.rdbuf();
  bytes = out.str();
  return true;
}

std::string LocaleOf(const std::string& name) {
  std::string text, locale = "ja_JP.UTF-8";
  if (Slurp(kGolden + name + ".locale", text)) std::istringstream(text) >> locale;
  return locale;
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((kGolden + "*.log").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    name.resize(name.size() - 4);
    const std::string locale = LocaleOf(name);
    if (locale == "ja_JP.UTF-8" || locale == "ja_JP.SJIS") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, ConvertsToTheExpectedBytesAndStaysSoWhenConvertedAgain) {
  const std::string name = GetParam();
  const bool utf8 = LocaleOf(name) == "ja_JP.UTF-8";
  const auto file = [&](const char* ext, std::string& bytes) {
    if (!Slurp(kGolden + name + ext, bytes)) return false;
    if (utf8) bytes = LocalText(bytes);
    return true;
  };
  Sandbox box;
  std::string log, ini, err, expected;
  ASSERT_TRUE(file(".log", log));
  ASSERT_TRUE(file(".expected", expected));
  box.Write(name + ".log", log);
  if (file(".ini", ini)) box.WriteIni(ini);
  if (file(".err", err)) {
    for (std::size_t at; (at = err.find("{DIR}/")) != std::string::npos;) {
      err.replace(at, 6, box.Dir() + "\\");
    }
  }

  const RunResult first = box.Run({name + ".log"});
  EXPECT_EQ(first.exit_code, 0u);
  EXPECT_EQ(first.err, err);
  EXPECT_EQ(box.Read(name + ".log"), expected);
  const RunResult second = box.Run({name + ".log"});
  EXPECT_EQ(second.exit_code, 0u);
  EXPECT_EQ(box.Read(name + ".log"), expected);
}

INSTANTIATE_TEST_SUITE_P(Logs, Golden, ::testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
