#include "run/ansi_pos.h"

#include "run/mbchar.h"

std::size_t AnsiPos(std::string_view Substr, std::string_view S) {
  if (Substr.empty()) return 0;
  const char* const begin = S.data();
  const char* const end = begin + S.size();
  for (const char* p = begin; p < end; p += CharLen(p, end)) {
    if (static_cast<std::size_t>(end - p) < Substr.size()) break;
    if (S.compare(static_cast<std::size_t>(p - begin), Substr.size(), Substr) == 0) {
      return static_cast<std::size_t>(p - begin) + 1;
    }
  }
  return 0;
}
