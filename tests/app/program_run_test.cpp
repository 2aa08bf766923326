#include "app/program_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/globals.h"
#include "platform/command_line.h"
#include "platform/message_box.h"
#include "support/capture.h"
#include "support/sandbox.h"

namespace {

void RunWith(std::vector<std::string> args) {
  std::vector<char*> argv{const_cast<char*>("logstamp")};
  for (auto& a : args) argv.push_back(a.data());
  SetCommandLine(static_cast<int>(argv.size()), argv.data());
  ProcessedCount = 0;
  RunProgram();
}

TEST(RunProgram, TwoTonesWhenEveryFileWentThroughAndNoBox) {
  Sandbox box;
  box.Write("a.log", ".LOG\nx\n");
  CapturedOutput out;
  RunWith({box.Path("a.log"), box.Path("a.log")});
  EXPECT_EQ(out.boxes, std::vector<ShownBox>{});
  EXPECT_EQ(out.tones, (std::vector<std::pair<unsigned, unsigned>>{{500, 150}, {400, 150}}));
  EXPECT_EQ(ProcessedCount, 2);
  EXPECT_EQ(FileList, nullptr) << "the list is freed at the end";
}

TEST(RunProgram, SummaryCountsTheFilesNotProcessed) {
  Sandbox box;
  box.Write("a.log", ".LOG\nx\n");
  CapturedOutput out;
  RunWith({box.Path("missing1"), box.Path("a.log"), box.Path("missing2")});
  ASSERT_EQ(out.boxes.size(), 3u);
  EXPECT_EQ(out.boxes[0].style, 0x10u);
  EXPECT_EQ(out.boxes[2], (ShownBox{"報告", "3件中 2件のファイルを処理できませんでした。", 0x40}));
  EXPECT_TRUE(out.tones.empty());
}

TEST(RunProgram, NoFileNamedShowsTheErrorAndNothingElse) {
  CapturedOutput out;
  RunWith({});
  EXPECT_EQ(out.boxes, (std::vector<ShownBox>{
                           {"終了します", "ファイルを一つ以上指定してください。", 0x10}}));
  EXPECT_TRUE(out.tones.empty());
}

TEST(ShowMessageBox, KindsPickTheIconAndOthersShowNothing) {
  CapturedOutput out;
  EXPECT_EQ(ShowMessageBox("c", "t", 'e'), 1);
  EXPECT_EQ(ShowMessageBox("c", "t", 'i'), 1);
  EXPECT_EQ(ShowMessageBox("c", "t", 'E'), -1);
  EXPECT_EQ(ShowMessageBox("c", "t", 0), -1);
  EXPECT_EQ(out.boxes, (std::vector<ShownBox>{{"c", "t", 0x10}, {"c", "t", 0x40}}));
}

}  // namespace
