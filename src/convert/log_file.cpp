#include "convert/log_file.h"

#include "convert/globals.h"
#include "convert/string_list.h"
#include "platform/charset.h"
#include "platform/exceptions.h"
#include "platform/message_box.h"

bool ReadSingleFile(const std::string& FileName) {
  bool result = false;
  try {
    FileList->LoadFromFile(FileName);
    result = true;
  } catch (const EFOpenError&) {
    ShowMessageBox(LocalText("読み込みエラー"),
                   LocalText("ファイル ") + ShownText(CurrentFileName) +
                       LocalText(" を開けませんでした。"), 'e');
  } catch (...) {
    ShowMessageBox(LocalText("エラー発生"), LocalText("function-ReadSingleFile、その他のエラー"), 'e');
  }
  return result;
}

void WriteSingleFile(const std::string& FileName) {
  try {
    FileList->SaveToFile(FileName);
    ++ProcessedCount;
  } catch (const EFCreateError&) {
    ShowMessageBox(LocalText("書き込みエラー"),
                   LocalText("ファイル ") + ShownText(CurrentFileName) +
                       LocalText(" に書き込めませんでした。"),
                   'e');
  } catch (...) {
    ShowMessageBox(LocalText("エラー発生"), LocalText("method-SaveToFile、その他のエラー"), 'e');
  }
}
