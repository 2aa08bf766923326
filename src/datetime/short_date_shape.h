// What the date-time reader takes from the locale's short date pattern: the
// order of a date's numbers and whether eras or a day name come with it.
// The reader and the fast time-stamp path both read it from here.
#pragma once

enum class DateOrder { kMonthDayYear, kDayMonthYear, kYearMonthDay };

struct ShortDateShape {
  DateOrder order = DateOrder::kMonthDayYear;  // by the first of d, m, y or e
  bool era_name_first = false;                 // begins with g: an era name precedes the digits
  bool era_years = false;                      // has e: years are counted in an era
  bool day_name = false;                       // has ddd: a day name follows the date
};

// The shape of ShortDateFormat as it is now, characters found by LeadBytes.
ShortDateShape ReadShapeOfShortDate();

// The same, read again only when the pattern or the charset changed: the
// reading runs once per time stamp, the pattern changes once per run.
ShortDateShape ShapeOfShortDate();
