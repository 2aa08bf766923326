// Comparing and lower-casing text without regard to letter case, by the rules
// of the user's locale: ASCII letters fold, a multi-byte character folds by
// the C library's towlower where it knows one, every other byte compares
// exactly. Characters are never split (see CharLen).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The length of the part of text that equals prefix without regard to case,
// or 0 when text does not begin with it (an empty prefix gives 0 too).
std::size_t MatchPrefixIgnoringCase(std::string_view text, std::string_view prefix);

bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// A copy with upper-case letters made lower-case: ASCII letters, and
// multi-byte characters whose lower-case form has the same length.
std::string AnsiLowerCase(std::string_view text);
