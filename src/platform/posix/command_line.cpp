#include "platform/command_line.h"

#include <unistd.h>

#include <climits>
#include <vector>

namespace {

std::vector<std::string>& Arguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

}  // namespace

void SetCommandLine(int argc, char** argv) {
  std::vector<std::string>& arguments = Arguments();
  arguments.clear();
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != '\0') arguments.emplace_back(argv[i]);
  }
}

std::string ProgramName() {
  const std::string path = ParamStr(0);
  if (path.empty()) return "logstamp";  // no /proc to tell
  return path.substr(path.rfind('/') + 1);
}

int32_t ParamCount() { return static_cast<int32_t>(Arguments().size()); }

std::string ParamStr(int32_t index) {
  if (index == 0) {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
  }
  if (index < 0 || index > ParamCount()) return {};
  return Arguments()[static_cast<std::size_t>(index - 1)];
}
