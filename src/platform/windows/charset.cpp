// Text in the ANSI code page: the message texts converted from UTF-8 through
// UTF-16, and character lengths and letter case as the code page has them
// (the C runtime's multi-byte functions know only its own locale, which says
// one byte per character under code page 932).
#include "platform/charset.h"

#include <string>

#include "platform/windows/win32.h"

namespace {

std::wstring Wide(UINT codePage, DWORD flags, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), n);
  return wide;
}

// nullopt-like: false when a character has no form in the code page.
bool Narrow(UINT codePage, const std::wstring& wide, std::string& out) {
  out.clear();
  if (wide.empty()) return true;
  const int size = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const bool ask = codePage != CP_UTF8;  // UTF-8 takes no default-character question
  const DWORD flags = ask ? WC_NO_BEST_FIT_CHARS : 0;
  const int n = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr,
                                    ask ? &usedDefault : nullptr);
  if (n <= 0 || usedDefault) return false;
  out.resize(static_cast<std::size_t>(n));
  WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), n, nullptr, nullptr);
  return true;
}

}  // namespace

bool CharsetIsUtf8() { return GetACP() == CP_UTF8; }

std::string LocalText(std::string_view utf8) {
  if (CharsetIsUtf8()) return std::string(utf8);
  const std::wstring wide = Wide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
  std::string out;
  if (!utf8.empty() && wide.empty()) return std::string(utf8);
  if (Narrow(CP_ACP, wide, out)) return out;
  return std::string(utf8);
}

std::string ToUtf8(std::string_view local) {
  if (CharsetIsUtf8()) return std::string(local);
  std::string out;
  if (Narrow(CP_UTF8, Wide(CP_ACP, 0, local), out)) return out;
  return std::string(local);
}

// A lead byte and the byte after it are one character.
std::size_t CharacterLength(const char* p, std::size_t n) {
  if (*p == '\0') return 0;
  if (!IsDBCSLeadByte(static_cast<BYTE>(*p))) return 1;
  return n >= 2 ? 2 : static_cast<std::size_t>(-2);
}

bool SameCharacterIgnoringCase(const char* a, std::size_t an, const char* b, std::size_t bn) {
  return CompareStringA(GetThreadLocale(), NORM_IGNORECASE, a, static_cast<int>(an), b,
                        static_cast<int>(bn)) == CSTR_EQUAL;
}

// CharLowerBuffA works on a copy: its result is taken only when it is one
// character of the same length again.
void LowerCharacter(char* p, std::size_t len) {
  std::string lowered(p, len);
  CharLowerBuffA(lowered.data(), static_cast<DWORD>(len));
  if (CharacterLength(lowered.data(), len) == len) lowered.copy(p, len);
}
