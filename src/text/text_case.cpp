#include "text/text_case.h"

#include <cstring>

#include "platform/charset.h"
#include "text/ascii.h"
#include "text/mbchar.h"

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
    } else if ((pn != qn || std::memcmp(p, q, pn) != 0) && !SameCharacterIgnoringCase(p, pn, q, qn)) {
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
      LowerCharacter(p, len);
    }
    p += len;
  }
  return out;
}
