// The failures of file access, with the messages every platform gives them.
#pragma once

#include <string>

// "ファイル NAME は開けません": a file that cannot be opened for reading.
std::string OpenErrorMessage(const std::string& name);
// "ファイル NAME を作成できません": a file that cannot be written at all.
std::string CreateErrorMessage(const std::string& name);

// EWriteError "ストリームへの書き込みエラー": writing failed after it began.
[[noreturn]] void RaiseWriteError();
// EReadError "ストリームの読み込みエラー": reading failed after the open.
[[noreturn]] void RaiseReadError();
