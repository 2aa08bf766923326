// The real program on real files: what it writes, what it says, how it ends.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "support/messages.h"
#include "support/sandbox.h"

namespace {

// No time stamp: these tests are about reading, writing and reporting.
const std::string kLog = ".LOG\nBought milk.\rPaid the rent.";
const std::string kSaved = ".LOG\r\nBought milk.\r\nPaid the rent.\r\n";

// Runs as the unprivileged user nobody, where permissions must bite even
// though the tests run as root; empty when that is impossible here.
std::vector<std::string> AsNobody() {
  if (::geteuid() != 0) return {};
  if (::access("/usr/bin/setpriv", X_OK) != 0) return {};
  return {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
}

TEST(Run, NoArgumentAsksForAFile) {
  Sandbox box;
  for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{"", ""}}) {
    const RunResult r = box.Run(args);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.err, Box("終了します", "ファイルを一つ以上指定してください。"));
  }
}

TEST(Run, EveryFileConvertedEndsSilently) {
  Sandbox box;
  box.Write("a.log", kLog);
  box.Write("b.log", kLog);
  const RunResult r = box.Run({"a.log", "b.log", "a.log"});  // the same file twice counts twice
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(box.Read("a.log"), kSaved);
  EXPECT_EQ(box.Read("b.log"), kSaved);
}

TEST(Run, FilesThatCannotBeReadAreReportedAndTheRestConverted) {
  Sandbox box;
  box.Write("a.log", kLog);
  box.Write("b.log", kLog);
  box.Write("nul.log", std::string(".LOG\r\nx\0y\r\n", 11));
  box.Write("short.log", ".LOG");
  ::mkdir(box.Path("dir.log").c_str(), 0755);
  ::mkfifo(box.Path("fifo.log").c_str(), 0644);

  const RunResult r = box.Run({"a.log", "nosuch.log", "dir.log", "fifo.log", "nul.log",
                               "--help", "short.log", "b.log"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, ReadError("nosuch.log") + ReadError("dir.log") + ReadError("fifo.log") +
                       ReadError("nul.log") + ReadError("--help") + Summary(8, 6));
  EXPECT_EQ(box.Read("a.log"), kSaved);
  EXPECT_EQ(box.Read("b.log"), kSaved);
  EXPECT_EQ(box.Read("nul.log"), std::string(".LOG\r\nx\0y\r\n", 11)) << "left untouched";
  EXPECT_EQ(box.Read("short.log"), ".LOG") << "too short to hold an entry: not saved";
}

TEST(Run, MessagesAreWrittenInTheLocalesCharsetAndNamesAsTheirOwnBytes) {
  Sandbox box;
  const std::string sjis_name = "\x93\xfa\x8b\x4c.log";  // 日記.log in Shift_JIS
  const RunResult r = box.Run({sjis_name}, InLocale("ja_JP.SJIS"));
  EXPECT_EQ(r.exit_code, 0);
  // 読み込みエラー and the fixed words in Shift_JIS; the name unchanged.
  const std::string expected =
      "logstamp: \x93\xc7\x82\xdd\x8d\x9e\x82\xdd\x83\x47\x83\x89\x81\x5b: "
      "\x83\x74\x83\x40\x83\x43\x83\x8b " + sjis_name +
      " \x82\xf0\x8a\x4a\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42\n";
  EXPECT_EQ(r.err.substr(0, expected.size()), expected);
}

TEST(Run, LinksStayLinksAndBothHardLinksSeeTheNewText) {
  Sandbox box;
  box.Write("target.log", kLog);
  ASSERT_EQ(::symlink("target.log", box.Path("link.log").c_str()), 0);
  box.Write("hard.log", kLog);
  ASSERT_EQ(::link(box.Path("hard.log").c_str(), box.Path("hard2.log").c_str()), 0);
  const RunResult r = box.Run({"link.log", "hard.log"});
  EXPECT_EQ(r.err, "");
  struct stat st;
  ASSERT_EQ(::lstat(box.Path("link.log").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(box.Read("target.log"), kSaved);
  EXPECT_EQ(box.Read("hard2.log"), kSaved);
}

TEST(Run, AFileSizeLimitBelowTheNewTextLeavesTheLogIntact) {
  Sandbox box;
  std::string big = ".LOG\n";
  for (int i = 0; i < 2000; ++i) big += "line " + std::to_string(i) + "\n";
  box.Write("big.log", big);
  box.Write("small.log", kLog);
  const RunResult r = box.Run({"big.log", "small.log"}, WithFileSizeLimit(4096));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, Box("エラー発生", "method-SaveToFile、その他のエラー") + Summary(2, 1));
  EXPECT_EQ(box.Read("big.log"), big);
  EXPECT_EQ(box.Read("small.log"), kSaved) << "the next file is still converted";
  EXPECT_EQ(box.List(), (std::vector<std::string>{"big.log", "logstamp", "small.log"}))
      << "no temporary file is left behind";
}

TEST(Run, AReadOnlyLogIsAWriteErrorAndKeepsItsContent) {
  const std::vector<std::string> nobody = AsNobody();
  if (nobody.empty()) GTEST_SKIP() << "cannot run as an unprivileged user here";
  Sandbox box;
  box.Write("ro.log", kLog);
  box.Write("rw.log", kLog);
  ::chmod(box.Path("ro.log").c_str(), 0444);
  ::chmod(box.Path("rw.log").c_str(), 0666);
  const RunResult r = box.Run({"ro.log", "rw.log"}, Wrapped(nobody));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, Box("書き込みエラー", "ファイル ro.log に書き込めませんでした。") + Summary(2, 1));
  EXPECT_EQ(box.Read("ro.log"), kLog);
  EXPECT_EQ(box.Read("rw.log"), kSaved);
}

TEST(Run, AnUnreadableSettingsFileEndsTheRunBeforeAnyLogIsTouched) {
  Sandbox box;
  box.Write("a.log", kLog);
  ::mkfifo(box.Path("logstamp.ini").c_str(), 0644);  // exists, but no file to read
  const RunResult r = box.Run({"a.log"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, Box("アプリケーション エラー",
                       "EFOpenErrorがモジュール logstamp の 00000000 で発生しました。\nファイル " +
                           box.Path("logstamp.ini") + " は開けません."));
  EXPECT_EQ(box.Read("a.log"), kLog);
}

TEST(Run, AnUnreadableSettingsFileFailsEvenWithoutArguments) {
  const std::vector<std::string> nobody = AsNobody();
  if (nobody.empty()) GTEST_SKIP() << "cannot run as an unprivileged user here";
  Sandbox box;
  box.WriteIni("[DateTime]\nFormat=hh\n");
  ::chmod(box.Path("logstamp.ini").c_str(), 0);
  const RunResult r = box.Run({}, Wrapped(nobody));
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("アプリケーション エラー: EFOpenError"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("終了します"), std::string::npos) << "no argument check after it";
}

}  // namespace
