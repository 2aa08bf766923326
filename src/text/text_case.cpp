#include "text/text_case.h"

#include <climits>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "text/ascii.h"
#include "text/mbchar.h"

namespace {


// Two multi-byte characters of different bytes: the same letter when the
// locale lowers both to one wide character. One the C library cannot decode
// matches nothing.
bool SameLowerCase(const char* a, std::size_t an, const char* b, std::size_t bn) {
  std::mbstate_t as{}, bs{};
  wchar_t aw = 0, bw = 0;
  return std::mbrtowc(&aw, a, an, &as) == an && std::mbrtowc(&bw, b, bn, &bs) == bn &&
         std::towlower(static_cast<wint_t>(aw)) == std::towlower(static_cast<wint_t>(bw));
}

}  // namespace

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  const char* p = a.data();
  const char* const pe = p + a.size();
  const char* q = b.data();
  const char* const qe = q + b.size();
  while (p < pe && q < qe) {
    bool p_cut = false, q_cut = false;
    const std::size_t pn = CharLen(p, pe, &p_cut);
    const std::size_t qn = CharLen(q, qe, &q_cut);
    if (p_cut || q_cut) return false;
    if (pn == 1 && qn == 1) {
      if (AsciiLower(*p) != AsciiLower(*q)) return false;
    } else if (pn == 1 || qn == 1) {
      return false;
    } else if ((pn != qn || std::memcmp(p, q, pn) != 0) && !SameLowerCase(p, pn, q, qn)) {
      return false;
    }
    p += pn;
    q += qn;
  }
  return p == pe && q == qe;
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
