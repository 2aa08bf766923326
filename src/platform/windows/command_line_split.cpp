#include "platform/windows/command_line_split.h"

#include "platform/windows/win32.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsLead(std::string_view line, std::size_t i) {
  return i + 1 < line.size() && IsDBCSLeadByte(static_cast<BYTE>(line[i]));
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  const std::size_t n = line.size();

  std::string program;
  bool quoted = false;
  for (; i < n && (quoted || !IsBlank(line[i])); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else {
      if (IsLead(line, i)) program += line[i++];
      program += line[i];
    }
  }
  arguments.push_back(std::move(program));

  quoted = false;
  while (true) {
    while (i < n && IsBlank(line[i])) ++i;
    if (i >= n) break;
    std::string argument;
    while (true) {
      std::size_t backslashes = 0;
      while (i < n && line[i] == '\\') ++i, ++backslashes;
      bool copy = true;
      if (i < n && line[i] == '"') {
        if (backslashes % 2 == 0) {
          if (quoted && i + 1 < n && line[i + 1] == '"') {
            ++i;  // "" inside quotes: one literal quote, still quoted
          } else {
            copy = false;
            quoted = !quoted;
          }
        }
        backslashes /= 2;
      }
      argument.append(backslashes, '\\');
      if (i >= n || (!quoted && IsBlank(line[i]))) break;
      if (copy) {
        if (IsLead(line, i)) argument += line[i++];
        argument += line[i];
      }
      ++i;
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}
