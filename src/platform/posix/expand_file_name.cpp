#include "platform/expand_file_name.h"

#include <unistd.h>

#include <climits>
#include <vector>

std::string ExpandFileName(std::string_view FileName) {
  std::string path;
  if (FileName.empty() || FileName.front() != '/') {
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return std::string(FileName);
    path = cwd;
    path += '/';
  }
  path += FileName;

  std::vector<std::string_view> segments;
  std::string_view rest = path;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view segment = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
      continue;
    }
    segments.push_back(segment);
  }
  std::string result;
  for (const std::string_view segment : segments) {
    result += '/';
    result += segment;
  }
  if (result.empty()) result.push_back('/');
  if (result.size() > PATH_MAX) return std::string(FileName);
  return result;
}

bool IsPathDelimiter(char c) { return c == '/'; }
