#include "app/program_run.h"

#include <string>

#include "app/globals.h"
#include "app/setting_file.h"
#include "convert/format_log_lines.h"
#include "convert/globals.h"
#include "convert/log_file.h"
#include "convert/string_list.h"
#include "platform/charset.h"
#include "platform/command_line.h"
#include "platform/message_box.h"
#include "platform/tone.h"

namespace {

// Frees the list, then two tones when every file went through, else the
// summary box.
void ReportRun() {
  delete FileList;
  FileList = nullptr;
  if (ProcessedCount == FileCount) {
    Beep(500, 150);
    Beep(400, 150);
    return;
  }
  const std::string text = std::to_string(FileCount) + LocalText("件中 ") +
                           std::to_string(FileCount - ProcessedCount) +
                           LocalText("件のファイルを処理できませんでした。");
  ShowMessageBox(LocalText("報告"), text, 'i');
}

}  // namespace

bool CheckParamCount(int32_t Count) {
  if (Count != 0) return true;
  ShowMessageBox(LocalText("終了します"), LocalText("ファイルを一つ以上指定してください。"), 'e');
  return false;
}

void RunProgram() {
  FileCount = ParamCount();
  ReadSettingFile();
  if (!CheckParamCount(FileCount)) return;
  FileList = new TStringList;
  try {
    for (FileIndex = 1; FileIndex <= FileCount; ++FileIndex) {
      CurrentFileName = ParamStr(FileIndex);
      if (!ReadSingleFile(CurrentFileName)) continue;
      if (!FormatLogLines()) continue;
      WriteSingleFile(CurrentFileName);
    }
  } catch (...) {
    ReportRun();
    throw;
  }
  ReportRun();
}
