// Searching text by characters of the user's charset.
#pragma once

#include <cstddef>
#include <string_view>

// The 1-based byte position of the first occurrence of Substr in S that
// begins on a character boundary (never inside a multi-byte character), or
// 0 when there is none or Substr is empty.
std::size_t AnsiPos(std::string_view Substr, std::string_view S);
