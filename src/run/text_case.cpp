#include "run/text_case.h"

#include <cstring>
#include <cwchar>
#include <cwctype>

#include "run/mbchar.h"

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

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
