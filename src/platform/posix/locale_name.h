// The language and territory of a POSIX locale name, which decide the
// locale's language number and its optional calendar.
#pragma once

#include <string>
#include <string_view>

// "ja_JP.UTF-8" gives "ja" and "JP"; "C", "POSIX" and "C.UTF-8" give the
// language "C" and no territory.
struct LocaleName {
  std::string language;   // lower case
  std::string territory;  // upper case, empty when the name has none
};
LocaleName ParseLocaleName(std::string_view name);
