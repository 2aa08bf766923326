// Comparing texts of the user's charset without regard to letter case.
#pragma once

#include <string>
#include <string_view>

// True when a and b hold the same characters, letter case aside. ASCII
// letters match without case and every other single byte only itself; two
// multi-byte characters match when their bytes are equal or the system calls
// them the same letter. A single-byte character never matches a
// multi-byte one, and a character cut by the end of either text matches
// nothing, so a window taken from a longer text never matches by splitting
// one of its characters.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// True when text begins with prefix in the sense of EqualIgnoringCase,
// comparing exactly as many bytes of text as prefix has.
inline bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// A copy with upper-case letters made lower-case: ASCII letters, and
// multi-byte characters whose lower-case form has the same length.
std::string AnsiLowerCase(std::string_view text);
