#include "platform/file_errors.h"

#include "platform/charset.h"
#include "platform/exceptions.h"

std::string OpenErrorMessage(const std::string& name) {
  return LocalText("ファイル ") + name + LocalText(" は開けません");
}

std::string CreateErrorMessage(const std::string& name) {
  return LocalText("ファイル ") + name + LocalText(" を作成できません");
}

void RaiseWriteError() { throw EWriteError(LocalText("ストリームへの書き込みエラー")); }

void RaiseReadError() { throw EReadError(LocalText("ストリームの読み込みエラー")); }
