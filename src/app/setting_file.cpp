#include "app/setting_file.h"

#include "app/mem_ini_file.h"
#include "convert/globals.h"
#include "platform/charset.h"
#include "platform/command_line.h"
#include "platform/expand_file_name.h"
#include "platform/message_box.h"
#include "text/mbchar.h"
#include "text/text_case.h"

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  const char* p = path.data();
  const char* const end = p + path.size();
  const char* last = nullptr;  // the last '.' or delimiter, never a byte inside a character
  while (p < end) {
    if (*p == '.' || IsPathDelimiter(*p)) last = p;
    p += CharLen(p, end);
  }
  std::string result(path);
  if (last && *last == '.') result.resize(static_cast<std::size_t>(last - path.data()));
  result += extension;
  return result;
}

void ReadSettingFile() {
  // Without the program's own path (no /proc) there is no settings file:
  // never one relative to the current folder, which anyone may own.
  const std::string program = ParamStr(0);
  const TMemIniFile ini(program.empty() ? std::string() : ChangeFileExt(program, ".ini"));
  try {
    DateTimeFormat = ini.ReadString("DateTime", "Format", "yyyy/mm/dd hh:nn");
    const std::string s = ini.ReadString("Separate", "Separator", "Tab");
    Separator = '\t';
    const std::string lower = AnsiLowerCase(s);
    if (lower == "space") {
      Separator = ' ';
    } else if (lower == "commma") {
      Separator = ',';
    } else if (s.size() == 1) {
      Separator = s[0];
    }
  } catch (...) {
    // Whatever failed, both settings take their defaults: never a NUL separator.
    DateTimeFormat = "yyyy/mm/dd hh:nn";
    Separator = '\t';
    ShowMessageBox(LocalText("エラー"), LocalText("設定ファイルの読み込みに失敗しました."), 'e');
  }
}
