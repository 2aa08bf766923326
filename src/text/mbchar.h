// The one rule for where a character of the user's charset ends. A byte that
// is not in LeadBytes is a character of its own; a lead byte begins a
// character whose length the system gives (two bytes in Shift_JIS, two to four
// in UTF-8). Every walker over bytes (settings, rewriting, pattern writer,
// reader) steps with CharLen, so no character is ever cut in two.
#pragma once

#include <bitset>
#include <cstddef>

// Bytes that begin a multi-byte character of the user's charset; filled once
// at start-up with the other locale values.
extern std::bitset<256> LeadBytes;

std::size_t MultiByteCharLen(const char* p, const char* end, bool* cut);

// Length in bytes of the character that starts at p (p < end), with end the
// end of the text. Always at least 1 and at most end - p. A lead byte whose
// character is cut by the end of the text gives the rest of the text and sets
// *cut (when given); a lead byte that begins no valid character gives 1.
inline std::size_t CharLen(const char* p, const char* end, bool* cut = nullptr) {
  if (!LeadBytes[static_cast<unsigned char>(*p)]) {
    if (cut) *cut = false;
    return 1;
  }
  return MultiByteCharLen(p, end, cut);
}
