// The tests' and fuzz targets' reference for splitting text into lines: CR LF, a lone CR
// and a lone LF each end a line, and the end of the text adds no line.
// Deliberately the plainest possible loop, to check the real splitter against.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::string> ReferenceLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::size_t end = i;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    lines.emplace_back(bytes.substr(i, end - i));
    i = end;
    if (i < bytes.size() && bytes[i] == '\r') ++i;
    if (i < bytes.size() && bytes[i] == '\n') ++i;
  }
  return lines;
}

// The text as it is saved: every reference line followed by CR LF.
inline std::string ReferenceText(std::string_view bytes) {
  std::string out;
  for (const std::string& line : ReferenceLines(bytes)) out.append(line).append("\r\n");
  return out;
}
