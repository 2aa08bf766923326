#include "datetime/str_to_date_time.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "datetime/civil_days.h"
#include "datetime/date_time_value.h"
#include "datetime/short_date_shape.h"
#include "locale/format_settings.h"
#include "platform/charset.h"
#include "platform/clock.h"
#include "platform/exceptions.h"
#include "text/ascii.h"
#include "text/mbchar.h"
#include "text/text_case.h"

// Every reader below takes the position p and the end of the text, and
// returns the position after what it read, or null when it failed. Blanks
// are the byte 32 only; a multi-byte character is never a digit, a blank or
// a separator, and every step over arbitrary text goes by CharLen.

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipBlanks(const char* p, const char* end) {
  while (p < end && *p == ' ') ++p;
  return p;
}

// Whether part occurs in text starting at the start of one of its
// characters (never at a trail byte).
bool ContainsAtCharStart(std::string_view text, std::string_view part) {
  if (text.find(part) == std::string_view::npos) return false;  // the usual answer, found fast
  const char* p = text.data();
  const char* const end = p + text.size();
  for (; p < end; p += CharLen(p, end)) {
    if (static_cast<std::size_t>(end - p) >= part.size() &&
        std::memcmp(p, part.data(), part.size()) == 0) {
      return true;
    }
  }
  return false;
}

// A number as read, with the count of digits it was written with: a year
// of one or two digits goes through the century window.
struct Number {
  int32_t value = 0;
  std::size_t digits = 0;
};

// Blanks, then digits taken while the value so far is below 1000, so the
// value is at most 9999 after any number of leading zeros; a further digit
// stays unread.
const char* ReadNumber(const char* p, const char* end, Number* out) {
  p = SkipBlanks(p, end);
  if (p == end || !IsDigit(*p)) return nullptr;
  Number n;
  for (; p < end && IsDigit(*p) && n.value < 1000; ++p, ++n.digits) {
    n.value = n.value * 10 + (*p - '0');
  }
  *out = n;
  return p;
}

// Blanks, then sep when it stands there. The blanks are passed over either
// way; *found tells whether sep was.
const char* ScanSeparator(const char* p, const char* end, char sep, bool* found) {
  p = SkipBlanks(p, end);
  *found = p < end && *p == sep && CharLen(p, end) == 1;
  return *found ? p + 1 : p;
}


// A marker is compared with as many bytes of the text as it has; an empty
// one never matches.
bool MarkerAt(const char* p, const char* end, std::string_view marker) {
  if (marker.empty() || static_cast<std::size_t>(end - p) < marker.size()) return false;
  // Most texts differ from the marker in an ASCII first byte: no need to
  // walk characters for them.
  const auto first = static_cast<unsigned char>(*p);
  const auto marker_first = static_cast<unsigned char>(marker[0]);
  if (first < 0x80 && marker_first < 0x80 && AsciiLower(*p) != AsciiLower(marker[0])) return false;
  return StartsWithIgnoringCase({p, static_cast<std::size_t>(end - p)}, marker);
}

// ---- Date ----

// The offset that turns an era year into a year of the calendar. A pattern
// that begins with an era name (g) takes the era from the text before the
// first digit, which is passed over whatever it holds; a pattern with era
// years (e) but no era name counts them in the first era.
const char* ReadEraOffset(const char* p, const char* end, const ShortDateShape& shape,
                          int64_t* offset) {
  *offset = 0;
  if (shape.era_name_first) {
    const char* const digit = [&] {
      const char* q = p;
      while (q < end && !IsDigit(*q)) q += CharLen(q, end);
      return q;
    }();
    const char* first = p;
    const char* last = digit;
    while (first < last && static_cast<unsigned char>(*first) <= 32) ++first;
    while (last > first && static_cast<unsigned char>(last[-1]) <= 32) --last;
    const std::string_view name(first, static_cast<std::size_t>(last - first));
    if (!name.empty()) {
      for (std::size_t i = 1; i < EraNames.size() && !EraNames[i].empty(); ++i) {
        if (ContainsAtCharStart(EraNames[i], name)) {
          *offset = EraYearOffsets[i];
          break;
        }
      }
    }
    return digit;
  }
  if (shape.era_years) *offset = EraYearOffsets[1];
  return p;
}

struct DateFields {
  Number numbers[3];
  int count = 0;  // 2 or 3
  int64_t era_offset = 0;
};

const char* ReadDate(const char* p, const char* end, const ShortDateShape& shape,
                     DateFields* out) {
  DateFields f;
  bool found = false;
  p = ReadEraOffset(p, end, shape, &f.era_offset);
  if (!(p = ReadNumber(p, end, &f.numbers[0]))) return nullptr;
  p = ScanSeparator(p, end, DateSeparator, &found);
  if (!found || !(p = ReadNumber(p, end, &f.numbers[1]))) return nullptr;
  f.count = 2;
  p = ScanSeparator(p, end, DateSeparator, &found);
  if (found) {
    if (!(p = ReadNumber(p, end, &f.numbers[2]))) return nullptr;
    f.count = 3;
    p = ScanSeparator(p, end, DateSeparator, &found);  // one trailing separator
    p = SkipBlanks(p, end);
  }
  *out = f;
  return p;
}

// The year of a three-number date: an era year converted by the era's
// offset (a Korean era year below 100 is first placed in the era's current
// century), a year of one or two digits placed in the 100 years
// that begin TwoDigitYearCenturyWindow years before the current one, any
// other year as written.
int64_t SettleYear(const Number& y, int64_t era_offset) {
  int64_t year = y.value;
  if (era_offset > 0) {
    if (SysLocale.PriLangID == LANG_KOREAN) {
      if (year <= 99) year += (CurrentYear() + era_offset) / 100 * 100;
      return year - era_offset;
    }
    return year + era_offset - 1;
  }
  if (y.digits <= 2) {
    const int64_t base = int64_t{CurrentYear()} - TwoDigitYearCenturyWindow;
    year += base / 100 * 100;
    if (year < base) year += 100;
  }
  return year;
}

// The day number of a date that exists; false for one that does not.
bool DateDays(const DateFields& f, DateOrder order, int64_t* days) {
  const Number* n = f.numbers;
  int64_t year = 0, month = 0, day = 0;
  if (f.count == 2) {  // a date of the current year, written without it
    year = CurrentYear();
    if (order == DateOrder::kDayMonthYear) {
      day = n[0].value, month = n[1].value;
    } else {
      month = n[0].value, day = n[1].value;
    }
  } else {
    switch (order) {
      case DateOrder::kMonthDayYear:
        year = SettleYear(n[2], f.era_offset), month = n[0].value, day = n[1].value;
        break;
      case DateOrder::kDayMonthYear:
        year = SettleYear(n[2], f.era_offset), month = n[1].value, day = n[0].value;
        break;
      case DateOrder::kYearMonthDay:
        year = SettleYear(n[0], f.era_offset), month = n[1].value, day = n[2].value;
        break;
    }
  }
  if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
  const auto y = static_cast<int32_t>(year);
  const auto m = static_cast<int32_t>(month);
  if (day < 1 || day > DaysInMonth(y, m)) return false;
  *days = DaysFromCivil(y, m, static_cast<int32_t>(day));
  return true;
}

// With a day-name field in the short date pattern on a far-eastern system,
// a day name follows the date: the first word after it is passed over, and
// further words until a marker (an empty one stops at once) or the end. A
// time is thus read after the day name only when it begins with a marker.
const char* SkipDayName(const char* p, const char* end) {
  const auto at_marker = [&] {
    return TimeAMString.empty() || TimePMString.empty() || MarkerAt(p, end, TimeAMString) ||
           MarkerAt(p, end, TimePMString);
  };
  do {
    while (p < end && *p != ' ') p += CharLen(p, end);
    p = SkipBlanks(p, end);
  } while (p < end && !at_marker());
  return p;
}

// ---- Time ----

enum class Marker { kNone, kMorning, kAfternoon };

// Blanks, then a morning or afternoon marker (the locale's or the fixed AM
// and PM) and the blanks after it, when one stands there.
const char* ScanMarker(const char* p, const char* end, Marker* marker) {
  p = SkipBlanks(p, end);
  *marker = Marker::kNone;
  // The common case, a digit or the end, settled without comparing.
  const auto begins_with_digit = [](const std::string& s) { return !s.empty() && IsDigit(s[0]); };
  if (p == end || (IsDigit(*p) && !begins_with_digit(TimeAMString) &&
                   !begins_with_digit(TimePMString))) {
    return p;
  }
  std::size_t length = 0;
  if (MarkerAt(p, end, TimeAMString)) {
    *marker = Marker::kMorning, length = TimeAMString.size();
  } else if (MarkerAt(p, end, "AM")) {
    *marker = Marker::kMorning, length = 2;
  } else if (MarkerAt(p, end, TimePMString)) {
    *marker = Marker::kAfternoon, length = TimePMString.size();
  } else if (MarkerAt(p, end, "PM")) {
    *marker = Marker::kAfternoon, length = 2;
  } else {
    return p;
  }
  return SkipBlanks(p + length, end);
}

struct TimeFields {
  Number hour, minute, second, millisecond;
  Marker marker = Marker::kNone;
};

// Each separator is looked for whether or not the one before it was found,
// so 9.5 is 9:00:00.005.
const char* ReadTime(const char* p, const char* end, TimeFields* out) {
  TimeFields t;
  bool found = false;
  p = ScanMarker(p, end, &t.marker);
  if (!(p = ReadNumber(p, end, &t.hour))) return nullptr;
  p = ScanSeparator(p, end, TimeSeparator, &found);
  if (found && !(p = ReadNumber(p, end, &t.minute))) return nullptr;
  p = ScanSeparator(p, end, TimeSeparator, &found);
  if (found && !(p = ReadNumber(p, end, &t.second))) return nullptr;
  p = ScanSeparator(p, end, DecimalSeparator, &found);
  if (found && !(p = ReadNumber(p, end, &t.millisecond))) return nullptr;
  if (t.marker == Marker::kNone) p = ScanMarker(p, end, &t.marker);
  *out = t;
  return SkipBlanks(p, end);
}

// The milliseconds into the day of a valid time. With a marker the hour runs
// 1 to 12, 12 standing for 0.
bool TimeOfDay(const TimeFields& t, int32_t* msOfDay) {
  int32_t hour = t.hour.value;
  if (t.marker != Marker::kNone) {
    if (hour < 1 || hour > 12) return false;
    hour %= 12;
    if (t.marker == Marker::kAfternoon) hour += 12;
  }
  if (hour >= 24 || t.minute.value >= 60 || t.second.value >= 60 ||
      t.millisecond.value >= 1000) {
    return false;
  }
  *msOfDay = hour * 3600000 + t.minute.value * 60000 + t.second.value * 1000 +
             t.millisecond.value;  // [0, 86399999]
  return true;
}

}  // namespace

bool TryStrToDateTime(std::string_view text, double& value) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  DateFields date;
  TimeFields time;
  int64_t days = 0;
  int32_t msOfDay = 0;

  // A date, then the end of the text or a time; whatever follows the time
  // is not looked at.
  const ShortDateShape shape = ShapeOfShortDate();
  const char* p = ReadDate(begin, end, shape, &date);
  if (p && DateDays(date, shape.order, &days)) {
    if (shape.day_name && SysLocale.FarEast) p = SkipDayName(p, end);
    if (p == end) {
      value = static_cast<double>(days);
      return true;
    }
    if (ReadTime(p, end, &time) && TimeOfDay(time, &msOfDay)) {
      value = EncodeDateTime(days, msOfDay);
      return true;
    }
  }

  // Otherwise a time alone, which must fill the text.
  p = ReadTime(begin, end, &time);
  if (p && p == end && TimeOfDay(time, &msOfDay)) {
    value = EncodeDateTime(0, msOfDay);
    return true;
  }
  return false;
}

double StrToDateTime(std::string_view text) {
  double value = 0;
  if (TryStrToDateTime(text, value)) return value;
  std::string message = "'";
  message.append(text);
  message += LocalText("' は日付または時刻ではありません");
  throw EConvertError(std::move(message));
}
