// A pattern of the Format setting compiled once into the pieces it writes,
// for the common case of numbers and literal bytes: written for a value's
// fields, it gives what FormatDateTimeTo gives, without reading the pattern
// again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "datetime/date_time_value.h"
#include "datetime/pattern_walk.h"

// A field, or up to eight literal bytes held in the piece itself, so that
// they are copied as one word.
struct PatternPiece {
  bool literal;
  PatternField field;  // the field, with leading zeros up to digits
  uint8_t digits;
  uint8_t length;      // literal bytes: bytes[0, length)
  char bytes[8];
};

struct CompiledPattern {
  // False when the pattern writes anything but numbers and fixed bytes: a
  // name, a clock marker, an era, the c token or the empty pattern (both
  // write the time only when it is not midnight), or at its longest more
  // than the writer's limit less the 8 bytes a word copy may write past the
  // end. Nothing else below is then filled in.
  bool numeric = false;
  std::vector<PatternPiece> pieces;  // in the order written
  // Read by the walk besides the pattern: the composite tokens (ddddd,
  // dddddd, t, tt) expand the locale's formats.
  bool uses_locale_formats = false;
};

// Compiles pattern (up to its first zero byte) with the locale values as
// they are now: DateSeparator and TimeSeparator, the locale's date and time
// formats for the composite tokens, and LeadBytes for its characters.
CompiledPattern CompilePattern(std::string_view pattern);

// Writes the fields by a numeric compiled pattern into out, which holds at
// least FormatDateTimeMaxLength bytes, and returns the number of bytes. The
// day of the week is not read: such a pattern writes no names.
std::size_t WriteCompiledPattern(char* out, const CompiledPattern& pattern,
                                 const DateTimeFields& fields);
