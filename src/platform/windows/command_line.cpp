// The arguments come from GetCommandLineA, not from the C runtime's argv, so
// that they are the command line's own bytes in the ANSI code page.
#include "platform/command_line.h"

#include <vector>

#include "platform/windows/command_line_split.h"
#include "platform/windows/win32.h"

namespace {

std::vector<std::string>& Arguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

}  // namespace

void SetCommandLine(int, char**) {
  std::vector<std::string>& arguments = Arguments();
  arguments.clear();
  const char* line = GetCommandLineA();
  std::vector<std::string> all = SplitCommandLine(line ? line : "");
  for (std::size_t i = 1; i < all.size(); ++i) {
    if (!all[i].empty()) arguments.push_back(std::move(all[i]));
  }
}

// The module's file name without its folder: after the last '\' or '/' that
// is no trail byte of a double-byte character.
std::string ProgramName() {
  const std::string path = ParamStr(0);
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
      ++i;
    } else if (path[i] == '\\' || path[i] == '/' || path[i] == ':') {
      start = i + 1;
    }
  }
  return path.substr(start);
}

int32_t ParamCount() { return static_cast<int32_t>(Arguments().size()); }

std::string ParamStr(int32_t index) {
  if (index == 0) {
    char path[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
  }
  if (index < 0 || index > ParamCount()) return {};
  return Arguments()[static_cast<std::size_t>(index - 1)];
}
