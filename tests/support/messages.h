// The stderr form of the program's message boxes, as the end-to-end tests
// expect them.
#pragma once

#include <string>

inline std::string Box(const std::string& caption, const std::string& text) {
  return "logstamp: " + caption + ": " + text + "\n";
}

inline std::string Summary(int files, int failed) {
  return Box("報告", std::to_string(files) + "件中 " + std::to_string(failed) +
                         "件のファイルを処理できませんでした。");
}

inline std::string ReadError(const std::string& name) {
  return Box("読み込みエラー", "ファイル " + name + " を開けませんでした。");
}
