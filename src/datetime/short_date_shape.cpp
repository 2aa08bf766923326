#include "datetime/short_date_shape.h"

#include <bitset>
#include <string>

#include "locale/format_settings.h"
#include "text/ansi_pos.h"
#include "text/mbchar.h"

ShortDateShape ReadShapeOfShortDate() {
  ShortDateShape shape;
  shape.era_name_first = !ShortDateFormat.empty() && ShortDateFormat[0] == 'g';
  shape.era_years = AnsiPos("e", ShortDateFormat) != 0;
  shape.day_name = AnsiPos("ddd", ShortDateFormat) != 0;
  const char* p = ShortDateFormat.data();
  const char* const end = p + ShortDateFormat.size();
  for (; p < end; p += CharLen(p, end)) {
    switch (*p) {
      case 'd': case 'D':
        shape.order = DateOrder::kDayMonthYear;
        return shape;
      case 'm': case 'M':
        shape.order = DateOrder::kMonthDayYear;
        return shape;
      case 'y': case 'Y': case 'e': case 'E':
        shape.order = DateOrder::kYearMonthDay;
        return shape;
      default:
        break;
    }
  }
  return shape;  // no order letter: month-day-year
}

ShortDateShape ShapeOfShortDate() {
  static std::string format;
  static std::bitset<256> lead_bytes;
  static ShortDateShape shape = ReadShapeOfShortDate();
  static bool known = false;
  if (!known || format != ShortDateFormat || lead_bytes != LeadBytes) {
    shape = ReadShapeOfShortDate();
    format = ShortDateFormat;
    lead_bytes = LeadBytes;
    known = true;
  }
  return shape;
}
