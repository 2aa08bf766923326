#include "platform/posix/locale_name.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

LocaleName ParseLocaleName(std::string_view name) {
  const std::size_t slash = name.rfind('/');  // a locale named by its path
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  LocaleName parsed;
  std::size_t i = 0;
  for (; i < name.size() && name[i] != '_' && name[i] != '.' && name[i] != '@'; ++i) {
    parsed.language += Lower(name[i]);
  }
  if (i < name.size() && name[i] == '_') {
    for (++i; i < name.size() && name[i] != '.' && name[i] != '@'; ++i) {
      parsed.territory += Upper(name[i]);
    }
  }
  if (parsed.language == "c" || parsed.language == "posix") parsed.language = "C";
  return parsed;
}
