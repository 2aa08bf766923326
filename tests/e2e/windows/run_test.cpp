// logstamp.exe on real files under Wine: what it writes, what it says (on
// standard error, a pipe here, in the Linux form), how it ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/charset.h"
#include "platform/windows/handle.h"
#include "platform/windows/win32.h"
#include "support/windows/sandbox.h"

namespace {

const std::string kLog = ".LOG\n9:05 2003/06/19\nBought milk.\rPaid the rent.";
const std::string kSaved = ".LOG\r\n2003/06/19 09:05\tBought milk.\r\nPaid the rent.\r\n";

// The stderr form, in code page 932.
std::string Box(const std::string& caption, const std::string& text) {
  return LocalText("logstamp: " + caption + ": " + text + "\n");
}
std::string Summary(int files, int failed) {
  return Box("報告", std::to_string(files) + "件中 " + std::to_string(failed) +
                         "件のファイルを処理できませんでした。");
}
// name in code page 932 already.
std::string ReadError(const std::string& name) {
  return LocalText("logstamp: 読み込みエラー: ファイル ") + name + LocalText(" を開けませんでした。\n");
}
std::string WriteError(const std::string& name) {
  return LocalText("logstamp: 書き込みエラー: ファイル ") + name + LocalText(" に書き込めませんでした。\n");
}

TEST(Run, NoArgumentAsksForAFile) {
  Sandbox box;
  for (const char* line : {"", " \"\" \"\"", "   "}) {
    const RunResult r = box.RunCommandLine(line);
    EXPECT_EQ(r.exit_code, 0u);
    EXPECT_EQ(r.err, Box("終了します", "ファイルを一つ以上指定してください。")) << "[" << line << "]";
  }
}

TEST(Run, EveryFileConvertedEndsWithoutAMessage) {
  Sandbox box;
  box.Write("a.log", kLog);
  box.Write("b b.log", kLog);
  const RunResult r = box.Run({"a.log", "b b.log", box.Path("a.log")});
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(box.Read("a.log"), kSaved);
  EXPECT_EQ(box.Read("b b.log"), kSaved);
}

TEST(Run, FilesThatCannotBeReadAreReportedAndTheRestConverted) {
  Sandbox box;
  box.Write("a.log", kLog);
  box.Write("b.log", kLog);
  box.Write("zero.log", std::string(".LOG\r\nx\0y\r\n", 11));
  box.Write("short.log", ".LOG");
  box.Write("held.log", kLog);
  box.MakeFolder("dir.log");
  const Handle writer(CreateFileA(box.Path("held.log").c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
  ASSERT_TRUE(writer.Valid());
  // nul.log names the device NUL, whatever the extension: no disk file.
  const RunResult r = box.Run({"a.log", "nosuch.log", "dir.log", "zero.log", "/?", "held.log",
                               "nul.log", "short.log", "b.log"});
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_EQ(r.err, ReadError("nosuch.log") + ReadError("dir.log") + ReadError("zero.log") +
                       ReadError("/?") + ReadError("held.log") + ReadError("nul.log") +
                       Summary(9, 7));
  EXPECT_EQ(box.Read("a.log"), kSaved);
  EXPECT_EQ(box.Read("b.log"), kSaved);
  EXPECT_EQ(box.Read("zero.log"), std::string(".LOG\r\nx\0y\r\n", 11));
  EXPECT_EQ(box.Read("short.log"), ".LOG");
}

TEST(Run, AReadOnlyLogIsAWriteErrorAndKeepsItsContent) {
  Sandbox box;
  box.Write("ro.log", kLog);
  box.Write("rw.log", kLog);
  ASSERT_TRUE(SetFileAttributesA(box.Path("ro.log").c_str(), FILE_ATTRIBUTE_READONLY));
  const RunResult r = box.Run({"ro.log", "rw.log"});
  EXPECT_EQ(r.exit_code, 0u);
  EXPECT_EQ(r.err, WriteError("ro.log") + Summary(2, 1));
  EXPECT_EQ(box.Read("ro.log"), kLog);
  EXPECT_EQ(box.Read("rw.log"), kSaved);
  EXPECT_EQ(box.List(), (std::vector<std::string>{"logstamp.exe", "ro.log", "rw.log"}));
}

// The settings file is the one beside the executable, whatever the current
// folder; held open against reading, it ends the run with exit code 1
// before any log is touched.
TEST(Run, TheSettingsFileBesideTheProgramDecidesTheFormat) {
  Sandbox box;
  box.MakeFolder("logs");
  box.Write("logs\\a.log", kLog);
  box.WriteIni("[datetime]\r\nFORMAT=yyyy-mm-dd\r\n[Separate]\r\nSeparator=space\r\n");
  const RunResult r = box.Run({"logs\\a.log"});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(box.Read("logs\\a.log"), ".LOG\r\n2003-06-19 Bought milk.\r\nPaid the rent.\r\n");

  box.Write("logs\\b.log", kLog);
  const Handle locked(CreateFileA(box.Path("logstamp.ini").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(locked.Valid());
  const RunResult failed = box.Run({"logs\\b.log"});
  EXPECT_EQ(failed.exit_code, 1u);
  EXPECT_EQ(failed.err,
            LocalText("logstamp: アプリケーション エラー: EFOpenErrorがモジュール logstamp.exe の "
                      "00000000 で発生しました。\nファイル ") +
                box.Path("logstamp.ini") + LocalText(" は開けません.\n"));
  EXPECT_EQ(box.Read("logs\\b.log"), kLog);
}

// 日記 (93 FA 8B 4C) and 表 (95 5C, whose trail byte is a backslash).
TEST(Run, LogsInFoldersWithCodePage932NamesConvertAndAreNamedByTheirBytes) {
  Sandbox box;
  const std::string diary = "\x93\xfa\x8b\x4c", table = "\x95\x5c";
  box.MakeFolder(diary);
  box.MakeFolder(diary + "\\" + table);
  const std::string log = diary + "\\" + table + "\\" + table + ".log";
  box.Write(log, kLog);
  box.Write(diary + "\\bad.log", ".LOG\n9:05 2003/13/19\n");
  const RunResult r = box.Run({log, box.Path(diary + "\\bad.log"), diary + "\\none.log"});
  EXPECT_EQ(box.Read(log), kSaved);
  EXPECT_EQ(r.err, LocalText("logstamp: 日時変換エラー: ") + box.Path(diary + "\\bad.log") +
                       LocalText("、旧2行目 での EConvertError\n'2003/13/19 9:05' は日付または時刻ではありません\n") +
                       ReadError(diary + "\\none.log") + Summary(3, 1));
  EXPECT_EQ(box.List(diary + "\\" + table), std::vector<std::string>{table + ".log"});
}

TEST(Run, TwoTonesSoundOneAfterTheOther) {
  if (RunningUnderWine()) {
    GTEST_SKIP() << "Wine " << WineVersion() << ": Beep returns at once without a sound, so "
                 << "the tones' timing (500 Hz then 400 Hz, 150 ms each) cannot be observed";
  }
  Sandbox box;
  box.Write("a.log", kLog);
  const DWORD start = GetTickCount();
  const RunResult r = box.Run({"a.log"});
  EXPECT_EQ(r.err, "");
  EXPECT_GE(GetTickCount() - start, 300u);
}

}  // namespace
