// The time-stamp pattern writer: a date-time value written by a pattern of
// the Format setting (or of a locale date or time format), byte for byte,
// with the locale settings of format_settings.h as they are at the call.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The longest result; output beyond it is dropped, and a multi-byte character
// that would be cut by it is dropped whole.
constexpr std::size_t FormatDateTimeMaxLength = 256;

// Writes value by pattern into out, which holds at least
// FormatDateTimeMaxLength bytes, and returns the number of bytes written.
// Allocates nothing. The pattern ends at its end or at its first zero byte;
// an empty pattern writes the short date and, unless the time is midnight,
// the long time. Values are meant to lie in 0001-01-01 .. 9999-12-31
// 23:59:59.999; others are clamped to the lowest and highest values of that
// range (0001-01-01 23:59:59.999, since below day 0 the time of day grows as
// the value falls, and 9999-12-31 23:59:59.999), and NaN is read as 0.
std::size_t FormatDateTimeTo(char* out, std::string_view pattern, double value);

std::string FormatDateTime(std::string_view pattern, double value);
