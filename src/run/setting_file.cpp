#include "run/setting_file.h"

#include <climits>
#include <cwchar>
#include <cwctype>

#include "platform/charset.h"
#include "platform/command_line.h"
#include "run/globals.h"
#include "run/mbchar.h"
#include "run/mem_ini_file.h"
#include "run/show_message_box.h"

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
  const char* p = path.data();
  const char* const end = p + path.size();
  const char* last = nullptr;  // the last '.' or '/', never a byte inside a character
  while (p < end) {
    if (*p == '.' || *p == '/') last = p;
    p += CharLen(p, end);
  }
  std::string result(path);
  if (last && *last == '.') result.resize(static_cast<std::size_t>(last - path.data()));
  result += extension;
  return result;
}

std::string AnsiLowerCase(std::string_view text) {
  std::string out(text);
  char* p = out.data();
  char* const end = p + out.size();
  while (p < end) {
    const std::size_t len = CharLen(p, end);
    if (len == 1) {
      if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
    } else {
      std::mbstate_t state{};
      wchar_t wc;
      char buf[MB_LEN_MAX];
      if (std::mbrtowc(&wc, p, len, &state) == len) {
        state = {};
        const wchar_t lower = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wc)));
        if (std::wcrtomb(buf, lower, &state) == len) std::char_traits<char>::copy(p, buf, len);
      }
    }
    p += len;
  }
  return out;
}

void ReadSettingFile() {
  const TMemIniFile ini(ChangeFileExt(ParamStr(0), ".ini"));
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
