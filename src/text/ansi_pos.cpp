#include "text/ansi_pos.h"

#include <cstring>

#include "text/mbchar.h"

std::size_t AnsiPos(std::string_view Substr, std::string_view S) {
  if (Substr.empty()) return 0;
  const char* const begin = S.data();
  const char* const end = begin + S.size();
  if (Substr.size() == 1) {  // the common search for one byte, such as a blank
    for (const char* p = begin; p < end; p += CharLen(p, end)) {
      if (*p == Substr.front()) return static_cast<std::size_t>(p - begin) + 1;
    }
    return 0;
  }
  for (const char* p = begin; p < end; p += CharLen(p, end)) {
    if (static_cast<std::size_t>(end - p) < Substr.size()) break;
    if (*p == Substr.front() && std::memcmp(p, Substr.data(), Substr.size()) == 0) {
      return static_cast<std::size_t>(p - begin) + 1;
    }
  }
  return 0;
}
