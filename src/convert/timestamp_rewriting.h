// Rewriting one time-stamp line: time and date are swapped, read with the
// user's locale and written again with the configured pattern.
#pragma once

#include <string>
#include <string_view>

// "9:05 2003/06/19" gives "2003/06/19 9:05": the text trimmed of bytes up to
// 0x20 at both ends, then the part after its first blank, a blank, and the
// part before it.
std::string TimeDateStringToDateTimeString(std::string_view S);

// The same into Result, reusing its memory (the scan's form).
void TimeDateStringToDateTimeString(std::string_view S, std::string& Result);

// Reads S as a date and time and replaces it with the value written by
// DateTimeFormat. On failure S is unchanged, one error box naming the file
// and line has been shown (or kept in DeferredConversionErrors), and the
// result is false.
bool DateTimeStringToFormatedDateTimeString(std::string& S);
