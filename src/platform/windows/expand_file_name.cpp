#include "platform/expand_file_name.h"

#include <string>

#include "platform/windows/win32.h"

std::string ExpandFileName(std::string_view FileName) {
  const std::string name(FileName);
  char buf[MAX_PATH + 1];
  const DWORD n = GetFullPathNameA(name.c_str(), sizeof buf, buf, nullptr);
  if (n == 0 || n >= sizeof buf) return name;
  return std::string(buf, n);
}

bool IsPathDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }
