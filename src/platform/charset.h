// Message texts live in the source as UTF-8 and are shown in the user's
// charset (the LC_CTYPE locale's; the ANSI code page on Windows). Log and
// file-name bytes are never converted. The character questions that only the
// system can answer are asked here too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The UTF-8 text in the user's charset. When the charset cannot
// hold it (the C locale, say), the UTF-8 bytes are returned unchanged.
std::string LocalText(std::string_view utf8);

// Whether the user's charset is UTF-8.
bool CharsetIsUtf8();

// Bytes of the user's charset as UTF-8, for a display that wants
// UTF-8; a byte that is no valid character becomes U+FFFD.
std::string ToUtf8(std::string_view local);

// The length of the character that starts at p, with n > 0 bytes readable
// from p on, as mbrlen counts it: its length in bytes, (size_t)-2 when the n
// bytes end inside it, (size_t)-1 when it is no valid character, 0 for NUL.
std::size_t CharacterLength(const char* p, std::size_t n);

// Whether two multi-byte characters of the user's charset (an bytes at a, bn
// at b) are the same letter, case aside. One the system cannot read matches
// nothing.
bool SameCharacterIgnoringCase(const char* a, std::size_t an, const char* b, std::size_t bn);

// Makes the multi-byte character of len bytes at p lower-case in place, when
// its lower-case form has the same length; otherwise leaves it.
void LowerCharacter(char* p, std::size_t len);
