#include "datetime/format_date_time.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "datetime/date_time_value.h"
#include "datetime/pattern_walk.h"
#include "locale/format_settings.h"
#include "platform/era_writer.h"
#include "text/mbchar.h"

namespace {

// The result being written. Every piece is appended as far as it fits; once
// anything was dropped, the limit shrinks to the size reached, so that all
// later output is dropped too.
struct Output {
  char* bytes;
  std::size_t size;
  std::size_t limit;
};

// Appends one character of n bytes whole, or drops it whole.
void AppendChar(Output& out, const char* p, std::size_t n) {
  if (out.size + n > out.limit) {
    out.limit = out.size;
    return;
  }
  std::memcpy(out.bytes + out.size, p, n);
  out.size += n;
}

void AppendByte(Output& out, char c) {
  if (out.size < out.limit) {
    out.bytes[out.size++] = c;
  } else {
    out.limit = out.size;
  }
}

// Appends text of the user's charset character by character; a character cut
// by the end of the text is not written.
void AppendText(Output& out, const char* p, const char* end) {
  while (p < end) {
    bool cut;
    const std::size_t n = CharLen(p, end, &cut);
    if (cut) return;
    AppendChar(out, p, n);
    p += n;
  }
}

void AppendText(Output& out, const std::string& text) {
  AppendText(out, text.data(), text.data() + text.size());
}

constexpr char TwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// A field in decimal digits, with leading zeros up to `digits` (1 to 4); a
// longer number is written whole. Digits are cut wherever the limit falls.
void AppendNumber(Output& out, int32_t value, int digits) {
  const auto v = static_cast<uint32_t>(value);  // every field is in [0, 9999]
  const int width = std::max(digits, v >= 1000 ? 4 : v >= 100 ? 3 : v >= 10 ? 2 : 1);
  char buf[4];
  const bool fits = out.size + 4 <= out.limit;  // room for any field
  char* const d = fits ? out.bytes + out.size : buf;
  switch (width) {
    case 1:
      d[0] = static_cast<char>('0' + v);
      break;
    case 2:
      std::memcpy(d, TwoDigits + 2 * v, 2);
      break;
    case 3:
      d[0] = static_cast<char>('0' + v / 100);
      std::memcpy(d + 1, TwoDigits + 2 * (v % 100), 2);
      break;
    default:
      std::memcpy(d, TwoDigits + 2 * (v / 100), 2);
      std::memcpy(d + 2, TwoDigits + 2 * (v % 100), 2);
      break;
  }
  if (fits) {
    out.size += static_cast<std::size_t>(width);
  } else {
    for (int i = 0; i < width; ++i) AppendByte(out, buf[i]);
  }
}

// Era text counts multi-byte characters as one only on a system that has them.
std::size_t EraCharLen(const char* p, const char* end) {
  return SysLocale.FarEast ? CharLen(p, end) : 1;
}

// A g run (token G) or an e run (token E): the era writer's text, shortened
// for a run of one.
void WriteEra(Output& out, const DateTimeFields& f, char token, std::size_t run) {
  const char* picture = token == 'G' ? "gg" : run >= 3 ? "yyyy" : "yy";
  char text[256];
  if (WriteEraDate(OptionalCalendar, picture, f.year, f.month, f.day, text, sizeof text) == 0) return;
  const char* begin = text;
  const char* end = text + std::strlen(text);
  if (run == 1 && token == 'E') {
    if (begin < end && *begin == '0') ++begin;  // 05 becomes 5
  } else if (run == 1 && SysLocale.PriLangID == LANG_JAPANESE) {
    if (begin < end) end = begin + EraCharLen(begin, end);  // the first character
  } else if (run == 1 && SysLocale.PriLangID == LANG_CHINESE &&
             SysLocale.SubLangID == SUBLANG_CHINESE_TRADITIONAL) {
    int count = 0;
    const char* third = end;
    for (const char* q = begin; q < end; q += EraCharLen(q, end)) {
      if (++count == 3) third = q;
    }
    if (count == 4) begin = third;  // the third and fourth characters
  }
  AppendText(out, begin, end);
}

// What each piece of a pattern writes, for the fields of one value.
struct PatternWriter {
  Output& out;
  const DateTimeFields& f;

  void Number(PatternField field, int digits) {
    switch (field) {
      case PatternField::kYearOfCentury: return AppendNumber(out, f.year % 100, digits);
      case PatternField::kYear: return AppendNumber(out, f.year, digits);
      case PatternField::kMonth: return AppendNumber(out, f.month, digits);
      case PatternField::kDay: return AppendNumber(out, f.day, digits);
      case PatternField::kHour: return AppendNumber(out, f.hour, digits);
      case PatternField::kHour12:
        return AppendNumber(out, f.hour % 12 == 0 ? 12 : f.hour % 12, digits);
      case PatternField::kMinute: return AppendNumber(out, f.minute, digits);
      case PatternField::kSecond: return AppendNumber(out, f.second, digits);
      case PatternField::kMillisecond: return AppendNumber(out, f.millisecond, digits);
    }
  }
  void Char(const char* p, std::size_t n) { AppendChar(out, p, n); }
  void MonthName(bool long_name) {
    AppendText(out, long_name ? LongMonthNames[f.month] : ShortMonthNames[f.month]);
  }
  void DayName(bool long_name) {
    AppendText(out, long_name ? LongDayNames[f.dayOfWeek] : ShortDayNames[f.dayOfWeek]);
  }
  void ClockMarker(PatternMarker form, const char* at) {
    const bool am = f.hour < 12;
    switch (form) {
      case PatternMarker::kAmPm:  // the pattern's own bytes: am/pm gives am, AM/PM gives AM
        AppendByte(out, at[am ? 0 : 3]);
        AppendByte(out, at[am ? 1 : 4]);
        break;
      case PatternMarker::kAP:
        AppendByte(out, at[am ? 0 : 2]);
        break;
      default:
        AppendText(out, am ? TimeAMString : TimePMString);
        break;
    }
  }
  void Era(char token, std::size_t run) { WriteEra(out, f, token, run); }
  void LocaleFormat(const std::string& format, int depth) {
    WalkLocaleFormat(format, *this, depth);
  }
  // The c token, and the empty pattern: the short date, then a space and the
  // long time unless the time is 00:00:00 (milliseconds not looked at).
  void DateAndTime(int depth) {
    WalkLocaleFormat(ShortDateFormat, *this, depth);
    if (f.hour != 0 || f.minute != 0 || f.second != 0) {
      AppendByte(out, ' ');
      WalkLocaleFormat(LongTimeFormat, *this, depth);
    }
  }
};

}  // namespace

std::size_t FormatDateTimeTo(char* out, std::string_view pattern, double value) {
  Output result{out, 0, FormatDateTimeMaxLength};
  const DateTimeFields fields = DecodeDateTime(value);
  PatternWriter writer{result, fields};
  pattern = UpToZeroByte(pattern);
  if (pattern.empty()) {
    writer.DateAndTime(0);
  } else {
    WalkPattern(pattern, writer, 0);
  }
  return result.size;
}

std::string FormatDateTime(std::string_view pattern, double value) {
  char buf[FormatDateTimeMaxLength];
  return std::string(buf, FormatDateTimeTo(buf, pattern, value));
}
