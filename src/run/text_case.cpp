#include "run/text_case.h"

#include <climits>
#include <cwchar>
#include <cwctype>

#include "run/mbchar.h"

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The lower-case wide character of a whole multi-byte character, or WEOF.
wint_t LowerWide(const char* p, std::size_t len) {
  std::mbstate_t state{};
  wchar_t wc;
  const std::size_t n = std::mbrtowc(&wc, p, len, &state);
  if (n != len) return WEOF;
  return std::towlower(static_cast<wint_t>(wc));
}

// Compares one character of a with one of b; returns their lengths through
// la and lb.
bool SameChar(const char* a, const char* a_end, const char* b, const char* b_end,
              std::size_t& la, std::size_t& lb) {
  la = CharLen(a, a_end);
  lb = CharLen(b, b_end);
  if (la == 1 && lb == 1) return AsciiLower(*a) == AsciiLower(*b);
  if (la == lb && std::char_traits<char>::compare(a, b, la) == 0) return true;
  if (la == 1 || lb == 1) return false;
  const wint_t wa = LowerWide(a, la);
  return wa != WEOF && wa == LowerWide(b, lb);
}

}  // namespace

std::size_t MatchPrefixIgnoringCase(std::string_view text, std::string_view prefix) {
  const char* t = text.data();
  const char* const t_end = t + text.size();
  const char* p = prefix.data();
  const char* const p_end = p + prefix.size();
  while (p < p_end) {
    if (t >= t_end) return 0;
    std::size_t lt, lp;
    if (!SameChar(t, t_end, p, p_end, lt, lp)) return 0;
    t += lt;
    p += lp;
  }
  return static_cast<std::size_t>(t - text.data());
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  return MatchPrefixIgnoringCase(a, b) == a.size();
}

std::string AnsiLowerCase(std::string_view text) {
  std::string out(text);
  char* p = out.data();
  char* const end = p + out.size();
  while (p < end) {
    const std::size_t len = CharLen(p, end);
    if (len == 1) {
      *p = AsciiLower(*p);
    } else {
      const wint_t lower = LowerWide(p, len);
      char buf[MB_LEN_MAX];
      std::mbstate_t state{};
      if (lower != WEOF && std::wcrtomb(buf, static_cast<wchar_t>(lower), &state) == len) {
        std::char_traits<char>::copy(p, buf, len);
      }
    }
    p += len;
  }
  return out;
}
