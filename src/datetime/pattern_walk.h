// The pattern language of the Format setting and of the locale's date and
// time formats, read in one place. WalkPattern reads a pattern and tells a
// handler what each piece writes; the pattern writer (format_date_time.cpp)
// and the pattern compiler (compiled_pattern.cpp) are its two handlers, so
// the two cannot read a pattern differently.
//
// A handler has these members:
//   Number(PatternField field, int digits)  a field, with leading zeros up
//                                           to `digits` (1 to 4)
//   Char(const char* p, std::size_t n)      one character of n bytes, to be
//                                           written whole or not at all
//   MonthName(bool long_name)               mmm, mmmm
//   DayName(bool long_name)                 ddd, dddd, aaa, aaaa
//   ClockMarker(PatternMarker form, const char* at)
//                                           am/pm or a/p (the pattern's own
//                                           bytes at `at`), or ampm
//   Era(char token, std::size_t run)        a g run (token G) or an e run (E)
//   LocaleFormat(const std::string& format, int depth)
//                                           ddddd, dddddd, t, tt: a locale
//                                           format, which the handler walks
//                                           by WalkLocaleFormat
//   DateAndTime(int depth)                  c: the short date, then a space
//                                           and the long time unless the
//                                           time is midnight
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "locale/format_settings.h"
#include "text/mbchar.h"

enum class PatternField : unsigned char {
  kYearOfCentury,  // y, yy: the year modulo 100
  kYear,           // yyy and longer
  kMonth,
  kDay,
  kHour,
  kHour12,  // the hour in 12-hour form: 0 is 12, 13 to 23 are 1 to 11
  kMinute,
  kSecond,
  kMillisecond,
};

// The forms an a or A can begin, tried in this order, ASCII case ignored.
enum class PatternMarker { kNone, kAmPm, kAP, kLocaleAmPm, kLongDayName, kShortDayName };

inline std::string_view UpToZeroByte(std::string_view text) {
  const void* zero = std::memchr(text.data(), 0, text.size());
  return zero ? text.substr(0, static_cast<const char*>(zero) - text.data()) : text;
}

namespace pattern_walk {

// The one step of every walk over a pattern (the walker, its quoted text and
// the 12-hour look-ahead): the length of the character at p, or 0 when the
// pattern ends inside it, which ends the walk without reading that character.
inline std::size_t PatternCharLen(const char* p, const char* end) {
  bool cut;
  const std::size_t n = CharLen(p, end, &cut);
  return cut ? 0 : n;
}

inline bool StartsWithIgnoringCase(const char* p, const char* end, std::string_view upper) {
  if (static_cast<std::size_t>(end - p) < upper.size()) return false;
  for (const char u : upper) {
    const char c = *p++;
    if ((c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) != u) return false;
  }
  return true;
}

inline PatternMarker MatchMarker(const char* p, const char* end) {
  if (StartsWithIgnoringCase(p, end, "AM/PM")) return PatternMarker::kAmPm;
  if (StartsWithIgnoringCase(p, end, "A/P")) return PatternMarker::kAP;
  if (StartsWithIgnoringCase(p, end, "AMPM")) return PatternMarker::kLocaleAmPm;
  if (StartsWithIgnoringCase(p, end, "AAAA")) return PatternMarker::kLongDayName;
  if (StartsWithIgnoringCase(p, end, "AAA")) return PatternMarker::kShortDayName;
  return PatternMarker::kNone;
}

inline bool IsClockMarker(PatternMarker m) {
  return m == PatternMarker::kAmPm || m == PatternMarker::kAP || m == PatternMarker::kLocaleAmPm;
}

// Whether a clock marker follows an hour token whose run ends at p. The walk
// stops at the first h or H (quoted or not) and at the first a or A outside
// quotes. Apostrophes and double quotes toggle one quoted state without
// pairing, unlike quoted text in the walker, so the two walks differ there.
inline bool ClockMarkerFollows(const char* p, const char* end) {
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

}  // namespace pattern_walk

template <class Handler>
void WalkPattern(std::string_view pattern, Handler& h, int depth);

// A composite token: a locale format walked as a pattern of its own, one
// level down. Formats expanded from a format expand nothing.
template <class Handler>
void WalkLocaleFormat(const std::string& format, Handler& h, int depth) {
  if (depth == 0) WalkPattern(UpToZeroByte(format), h, 1);
}

// One expansion: the pattern read from its start with its own last letter
// and 12-hour flag.
template <class Handler>
void WalkPattern(std::string_view pattern, Handler& h, int depth) {
  using namespace pattern_walk;
  const char* p = pattern.data();
  const char* const end = p + pattern.size();
  char lastLetter = ' ';
  bool twelveHour = false;

  while (p < end) {
    const std::size_t n = PatternCharLen(p, end);
    if (n == 0) break;  // a lead byte the pattern ends after: nothing written
    if (n > 1) {        // a multi-byte character: never a letter, written whole
      h.Char(p, n);
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
      case 'Y':
        if (takeRun() <= 2) {
          h.Number(PatternField::kYearOfCentury, 2);
        } else {
          h.Number(PatternField::kYear, 4);
        }
        break;
      case 'M': {
        const std::size_t run = takeRun();
        if (run <= 2) {
          h.Number(PatternField::kMonth, static_cast<int>(run));
        } else {
          h.MonthName(run != 3);
        }
        break;
      }
      case 'N':
        h.Number(PatternField::kMinute, takeRun() >= 2 ? 2 : 1);
        break;
      case 'D': {
        const std::size_t run = takeRun();
        if (run <= 2) {
          h.Number(PatternField::kDay, static_cast<int>(run));
        } else if (run <= 4) {
          h.DayName(run == 4);
        } else {
          h.LocaleFormat(run == 5 ? ShortDateFormat : LongDateFormat, depth);
        }
        break;
      }
      case 'H': {
        const std::size_t run = takeRun();
        if (!twelveHour) twelveHour = ClockMarkerFollows(p, end);
        h.Number(twelveHour ? PatternField::kHour12 : PatternField::kHour, run >= 2 ? 2 : 1);
        break;
      }
      case 'S':
        h.Number(PatternField::kSecond, takeRun() >= 2 ? 2 : 1);
        break;
      case 'Z': {
        const std::size_t run = takeRun();
        h.Number(PatternField::kMillisecond, run >= 3 ? 3 : static_cast<int>(run));
        break;
      }
      case 'T':
        h.LocaleFormat(takeRun() == 1 ? ShortTimeFormat : LongTimeFormat, depth);
        break;
      case 'C':
        takeRun();
        h.DateAndTime(depth);
        break;
      case 'G':
      case 'E':
        h.Era(token, takeRun());
        break;
      case 'A': {
        const char* marker = p - 1;
        const PatternMarker form = MatchMarker(marker, end);
        switch (form) {
          case PatternMarker::kAmPm:
          case PatternMarker::kAP:
          case PatternMarker::kLocaleAmPm:
            h.ClockMarker(form, marker);
            p = marker + (form == PatternMarker::kAmPm ? 5 : form == PatternMarker::kAP ? 3 : 4);
            twelveHour = true;
            break;
          case PatternMarker::kLongDayName:
            h.DayName(true);
            p = marker + 4;
            break;
          case PatternMarker::kShortDayName:
            h.DayName(false);
            p = marker + 3;
            break;
          case PatternMarker::kNone:
            h.Char(marker, 1);
            break;
        }
        break;
      }
      case '/':
        if (DateSeparator != 0) h.Char(&DateSeparator, 1);
        break;
      case ':':
        if (TimeSeparator != 0) h.Char(&TimeSeparator, 1);
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
            h.Char(p, k);
            p += k;
          }
        }
        break;
      default:
        h.Char(p - 1, 1);
        break;
    }
  }
}
