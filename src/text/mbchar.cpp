#include "text/mbchar.h"

#include "platform/charset.h"

std::bitset<256> LeadBytes;

std::size_t MultiByteCharLen(const char* p, const char* end, bool* cut) {
  const std::size_t n = CharacterLength(p, static_cast<std::size_t>(end - p));
  if (cut) *cut = false;
  if (n == static_cast<std::size_t>(-2)) {  // the text ends inside it
    if (cut) *cut = true;
    return static_cast<std::size_t>(end - p);
  }
  if (n == static_cast<std::size_t>(-1) || n == 0) return 1;  // invalid: stands alone
  return n;
}
