#include "platform/charset.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

bool IsUtf8Codeset(const char* codeset) {
  return std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0;
}

// Converts the whole text, or returns false on any character the target
// cannot hold. With replace set, an invalid input byte becomes U+FFFD
// (only used toward UTF-8).
bool Convert(const char* to, const char* from, std::string_view in, std::string& out,
             bool replace) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.clear();
  char* src = const_cast<char*>(in.data());
  std::size_t left = in.size();
  char buf[1024];
  bool ok = true;
  while (left > 0) {
    char* dst = buf;
    std::size_t room = sizeof buf;
    const std::size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    if (replace && (errno == EILSEQ || errno == EINVAL)) {
      out.append("\xEF\xBF\xBD");
      ++src;
      --left;
      continue;
    }
    ok = false;
    break;
  }
  if (ok) {  // the shift sequence that returns to the initial state, if any
    char* dst = buf;
    std::size_t room = sizeof buf;
    iconv(cd, nullptr, nullptr, &dst, &room);
    out.append(buf, static_cast<std::size_t>(dst - buf));
  }
  iconv_close(cd);
  return ok;
}

}  // namespace

bool CharsetIsUtf8() { return IsUtf8Codeset(nl_langinfo(CODESET)); }

std::string LocalText(std::string_view utf8) {
  const char* codeset = nl_langinfo(CODESET);
  if (IsUtf8Codeset(codeset)) return std::string(utf8);
  std::string out;
  if (Convert(codeset, "UTF-8", utf8, out, false)) return out;
  return std::string(utf8);
}

std::string ToUtf8(std::string_view local) {
  const char* codeset = nl_langinfo(CODESET);
  std::string out;
  // An ASCII-only locale gets its message texts as UTF-8 from LocalText, so
  // its bytes above 0x7F are read as UTF-8.
  const bool utf8 = IsUtf8Codeset(codeset) || std::strcmp(codeset, "ANSI_X3.4-1968") == 0;
  if (Convert("UTF-8", utf8 ? "UTF-8" : codeset, local, out, true)) return out;
  return std::string(local);
}

std::size_t CharacterLength(const char* p, std::size_t n) {
  std::mbstate_t state{};
  return std::mbrlen(p, n, &state);
}

bool SameCharacterIgnoringCase(const char* a, std::size_t an, const char* b, std::size_t bn) {
  std::mbstate_t as{}, bs{};
  wchar_t aw = 0, bw = 0;
  return std::mbrtowc(&aw, a, an, &as) == an && std::mbrtowc(&bw, b, bn, &bs) == bn &&
         std::towlower(static_cast<wint_t>(aw)) == std::towlower(static_cast<wint_t>(bw));
}

void LowerCharacter(char* p, std::size_t len) {
  std::mbstate_t state{};
  wchar_t wc;
  char buf[MB_LEN_MAX];
  if (std::mbrtowc(&wc, p, len, &state) != len) return;
  state = {};
  const wchar_t lower = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wc)));
  if (std::wcrtomb(buf, lower, &state) == len) std::char_traits<char>::copy(p, buf, len);
}
