#include "datetime/format_date_time.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "datetime/date_time_value.h"
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

std::string_view UpToZeroByte(std::string_view text) {
  const void* zero = std::memchr(text.data(), 0, text.size());
  return zero ? text.substr(0, static_cast<const char*>(zero) - text.data()) : text;
}

// The one step of every walk over a pattern (the writer, its quoted text and
// the 12-hour look-ahead): the length of the character at p, or 0 when the
// pattern ends inside it, which ends the walk without reading that character.
std::size_t PatternCharLen(const char* p, const char* end) {
  bool cut;
  const std::size_t n = CharLen(p, end, &cut);
  return cut ? 0 : n;
}

// The forms an a or A can begin, tried in this order, ASCII case ignored.
enum class Marker { None, AmPm, AP, LocaleAmPm, LongDayName, ShortDayName };

bool StartsWithIgnoringCase(const char* p, const char* end, std::string_view upper) {
  if (static_cast<std::size_t>(end - p) < upper.size()) return false;
  for (const char u : upper) {
    const char c = *p++;
    if ((c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) != u) return false;
  }
  return true;
}

Marker MatchMarker(const char* p, const char* end) {
  if (StartsWithIgnoringCase(p, end, "AM/PM")) return Marker::AmPm;
  if (StartsWithIgnoringCase(p, end, "A/P")) return Marker::AP;
  if (StartsWithIgnoringCase(p, end, "AMPM")) return Marker::LocaleAmPm;
  if (StartsWithIgnoringCase(p, end, "AAAA")) return Marker::LongDayName;
  if (StartsWithIgnoringCase(p, end, "AAA")) return Marker::ShortDayName;
  return Marker::None;
}

bool IsClockMarker(Marker m) {
  return m == Marker::AmPm || m == Marker::AP || m == Marker::LocaleAmPm;
}

// Whether a clock marker follows an hour token whose run ends at p. The walk
// stops at the first h or H (quoted or not) and at the first a or A outside
// quotes. Apostrophes and double quotes toggle one quoted state without
// pairing, unlike quoted text in the writer, so the two walks differ there.
bool ClockMarkerFollows(const char* p, const char* end) {
  bool quoted = false;
  while (p < end) {
    const std::size_t n = PatternCharLen(p, end);
    if (n == 0) return false;
    if (n == 1) {
      const char c = *p;
      if (c == 'h' || c == 'H') return false;
      if (c == '\'' || c == '"') quoted = !quoted;
      if ((c == 'a' || c == 'A') && !quoted) return IsClockMarker(MatchMarker(p, end));
    }
    p += n;
  }
  return false;
}

void Expand(Output& out, std::string_view pattern, const DateTimeFields& f, int depth);

// A composite token: a locale format read as a pattern of its own, one level
// down. Formats expanded from a format expand nothing.
void ExpandLocaleFormat(Output& out, const std::string& format, const DateTimeFields& f,
                        int depth) {
  if (depth == 0) Expand(out, UpToZeroByte(format), f, 1);
}

// The c token, and the empty pattern: the short date, then a space and the
// long time unless the time is 00:00:00 (milliseconds not looked at).
void WriteDateAndTime(Output& out, const DateTimeFields& f, int depth) {
  ExpandLocaleFormat(out, ShortDateFormat, f, depth);
  if (f.hour != 0 || f.minute != 0 || f.second != 0) {
    AppendByte(out, ' ');
    ExpandLocaleFormat(out, LongTimeFormat, f, depth);
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

// One expansion: the pattern (up to its first zero byte) read from its start
// with its own last letter and 12-hour flag, writing into the shared result.
void Expand(Output& out, std::string_view pattern, const DateTimeFields& f, int depth) {
  const char* p = pattern.data();
  const char* const end = p + pattern.size();
  char lastLetter = ' ';
  bool twelveHour = false;

  while (p < end) {
    const std::size_t n = PatternCharLen(p, end);
    if (n == 0) break;  // a lead byte the pattern ends after: nothing written
    if (n > 1) {        // a multi-byte character: never a letter, written whole
      AppendChar(out, p, n);
      lastLetter = ' ';
      p += n;
      continue;
    }

    const char starter = *p++;
    char token = starter >= 'a' && starter <= 'z' ? static_cast<char>(starter - 'a' + 'A') : starter;
    if (token >= 'A' && token <= 'Z') {
      if (token == 'M' && lastLetter == 'H') token = 'N';  // minutes after an hour
      lastLetter = token;
    }
    // The run of a token: the starter and every directly following equal byte.
    auto takeRun = [&] {
      std::size_t run = 1;
      while (p < end && *p == starter) ++p, ++run;
      return run;
    };

    switch (token) {
      case 'Y': {
        const std::size_t run = takeRun();
        if (run <= 2) {
          AppendNumber(out, f.year % 100, 2);
        } else {
          AppendNumber(out, f.year, 4);
        }
        break;
      }
      case 'M': {
        const std::size_t run = takeRun();
        if (run <= 2) {
          AppendNumber(out, f.month, static_cast<int>(run));
        } else {
          AppendText(out, run == 3 ? ShortMonthNames[f.month] : LongMonthNames[f.month]);
        }
        break;
      }
      case 'N':
        AppendNumber(out, f.minute, takeRun() >= 2 ? 2 : 1);
        break;
      case 'D': {
        const std::size_t run = takeRun();
        if (run <= 2) {
          AppendNumber(out, f.day, static_cast<int>(run));
        } else if (run == 3) {
          AppendText(out, ShortDayNames[f.dayOfWeek]);
        } else if (run == 4) {
          AppendText(out, LongDayNames[f.dayOfWeek]);
        } else {
          ExpandLocaleFormat(out, run == 5 ? ShortDateFormat : LongDateFormat, f, depth);
        }
        break;
      }
      case 'H': {
        const std::size_t run = takeRun();
        if (!twelveHour) twelveHour = ClockMarkerFollows(p, end);
        int32_t hour = f.hour;
        if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
        AppendNumber(out, hour, run >= 2 ? 2 : 1);
        break;
      }
      case 'S':
        AppendNumber(out, f.second, takeRun() >= 2 ? 2 : 1);
        break;
      case 'Z':
        AppendNumber(out, f.millisecond, static_cast<int>(std::min<std::size_t>(takeRun(), 3)));
        break;
      case 'T':
        ExpandLocaleFormat(out, takeRun() == 1 ? ShortTimeFormat : LongTimeFormat, f, depth);
        break;
      case 'C':
        takeRun();
        WriteDateAndTime(out, f, depth);
        break;
      case 'G':
      case 'E':
        WriteEra(out, f, token, takeRun());
        break;
      case 'A': {
        const char* marker = p - 1;
        const bool am = f.hour < 12;
        switch (MatchMarker(marker, end)) {
          case Marker::AmPm:  // the pattern's own bytes: am/pm gives am, AM/PM gives AM
            AppendByte(out, marker[am ? 0 : 3]);
            AppendByte(out, marker[am ? 1 : 4]);
            p = marker + 5;
            twelveHour = true;
            break;
          case Marker::AP:
            AppendByte(out, marker[am ? 0 : 2]);
            p = marker + 3;
            twelveHour = true;
            break;
          case Marker::LocaleAmPm:
            AppendText(out, am ? TimeAMString : TimePMString);
            p = marker + 4;
            twelveHour = true;
            break;
          case Marker::LongDayName:
            AppendText(out, LongDayNames[f.dayOfWeek]);
            p = marker + 4;
            break;
          case Marker::ShortDayName:
            AppendText(out, ShortDayNames[f.dayOfWeek]);
            p = marker + 3;
            break;
          case Marker::None:
            AppendByte(out, starter);
            break;
        }
        break;
      }
      case '/':
        if (DateSeparator != 0) AppendByte(out, DateSeparator);
        break;
      case ':':
        if (TimeSeparator != 0) AppendByte(out, TimeSeparator);
        break;
      case '\'':
      case '"':  // quoted text up to the same quote; no escape, no last letter
        while (p < end) {
          const std::size_t k = PatternCharLen(p, end);
          if (k == 0) {
            p = end;
          } else if (k == 1 && *p == starter) {
            ++p;
            break;
          } else {
            AppendChar(out, p, k);
            p += k;
          }
        }
        break;
      default:
        AppendByte(out, starter);
        break;
    }
  }
}

}  // namespace

std::size_t FormatDateTimeTo(char* out, std::string_view pattern, double value) {
  Output result{out, 0, FormatDateTimeMaxLength};
  const DateTimeFields fields = DecodeDateTime(value);
  pattern = UpToZeroByte(pattern);
  if (pattern.empty()) {
    WriteDateAndTime(result, fields, 0);
  } else {
    Expand(result, pattern, fields, 0);
  }
  return result.size;
}

std::string FormatDateTime(std::string_view pattern, double value) {
  char buf[FormatDateTimeMaxLength];
  return std::string(buf, FormatDateTimeTo(buf, pattern, value));
}
