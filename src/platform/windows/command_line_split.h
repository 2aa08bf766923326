// A Windows command line split into arguments by the rules the C runtime
// follows for argv: blanks and tabs between arguments; double quotes group
// and are dropped, "" inside quotes is one literal quote; 2n backslashes
// before a quote give n and the quote groups, 2n+1 give n and a literal
// quote; other backslashes are themselves. The first argument, the
// program, ends at the first blank or tab outside quotes and knows no
// backslash rule. A lead byte of the ANSI code page takes the byte after it
// with it, so a trail byte 0x5C is never a backslash.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Every argument, the program's name first, empty ones ("") included.
std::vector<std::string> SplitCommandLine(std::string_view line);
