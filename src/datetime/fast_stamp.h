// The common time stamp read and rewritten in one short step: a date in the
// locale's numeric order with a four-digit year, a blank and an H:MM or
// HH:MM time, written by a pattern of numbers and fixed bytes. Anything else
// is left undecided, for StrToDateTime and FormatDateTimeTo to handle; the
// fast path never decides that a stamp fails.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "datetime/compiled_pattern.h"
#include "datetime/short_date_shape.h"

struct FastStampForm {
  // Whether any stamp can be decided: the pattern is numeric, and with these
  // locale values the reader takes such a stamp as the plain numbers it
  // shows (no era, no day name after the date, no marker that begins with
  // a digit, one-byte separators that are no digit, blank or lead byte).
  bool applies = false;
  DateOrder order = DateOrder::kYearMonthDay;
  CompiledPattern pattern;

  // The values it was prepared from (see FastStampFormIsCurrent).
  std::string format;
  std::string short_date_format;
  std::string long_date_format, short_time_format, long_time_format;  // with composites only
  char date_separator = 0;
  char time_separator = 0;
  bool am_begins_with_digit = false;
  bool pm_begins_with_digit = false;
  int32_t first_era_offset = 0;
  bool far_east = false;
  std::bitset<256> lead_bytes;
};

// The form for the pattern (the Format setting) under the locale values as
// they are now.
FastStampForm PrepareFastStamp(std::string_view pattern);

// Whether form was prepared for this pattern and the locale values as they
// are now. The charset is known by its lead bytes, as everywhere the
// reader caches what it derives from the locale.
bool FastStampFormIsCurrent(const FastStampForm& form, std::string_view pattern);

// text is a time stamp as the rewriting hands it to the reader: the date, a
// blank and the time ("2003/06/19 9:05"). When the stamp is one the form
// decides, writes what FormatDateTimeTo would write for StrToDateTime's
// value of text into out (FormatDateTimeMaxLength bytes), sets length and
// returns true. Returns false, writing nothing, for every other text,
// including every text the reader refuses.
bool FastStampTo(const FastStampForm& form, std::string_view text, char* out,
                 std::size_t& length);
