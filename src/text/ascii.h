// Byte helpers that look at ASCII only, whatever the charset: in every
// charset the program handles, the bytes below 0x80 are ASCII and never part
// of a multi-byte character's lead byte.
#pragma once

#include <string_view>

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The text without the bytes up to 0x20 (blanks and control characters) at
// either end.
constexpr std::string_view TrimControlAndBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
  return s;
}
