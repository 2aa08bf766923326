// The shape of a time-stamp line, which decides which lines the scan tries
// to convert.
#pragma once

#include <string_view>

// A time stamp such as "9:05 2003/06/19" or "10:30 2003/06/20": 15 or 16
// bytes with the first blank at the 5th or 6th byte.
inline bool HasTimeStampShape(std::string_view line) {
  if (line.size() - 15 >= 2) return false;
  const std::size_t blank = line.find(' ');
  return blank != std::string_view::npos && blank + 1 - 5 < 2;
}
