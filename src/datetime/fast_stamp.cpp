#include "datetime/fast_stamp.h"

#include "datetime/civil_days.h"
#include "locale/format_settings.h"
#include "text/mbchar.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool BeginsWithDigit(const std::string& s) { return !s.empty() && IsDigit(s[0]); }

// A separator the reader can only find where the stamp has it: one ASCII
// byte that is no blank or control byte, no digit and no lead byte.
bool IsPlainSeparator(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u > 0x20 && u < 0x80 && !IsDigit(c) && !LeadBytes[u];
}

// A number of `least` to `most` digits that no further digit follows;
// returns the position after it, or null.
const char* ReadDigits(const char* p, const char* end, int least, int most, int32_t* value) {
  int32_t v = 0;
  int n = 0;
  for (; p < end && IsDigit(*p); ++p, ++n) {
    if (n == most) return nullptr;
    v = v * 10 + (*p - '0');
  }
  if (n < least) return nullptr;
  *value = v;
  return p;
}

// The byte c at p; returns the position after it, or null.
const char* ReadByte(const char* p, const char* end, char c) {
  return p < end && *p == c ? p + 1 : nullptr;
}

}  // namespace

FastStampForm PrepareFastStamp(std::string_view pattern) {
  FastStampForm form;
  form.format = pattern;
  form.short_date_format = ShortDateFormat;
  form.date_separator = DateSeparator;
  form.time_separator = TimeSeparator;
  form.am_begins_with_digit = BeginsWithDigit(TimeAMString);
  form.pm_begins_with_digit = BeginsWithDigit(TimePMString);
  form.first_era_offset = EraYearOffsets[1];
  form.far_east = SysLocale.FarEast;
  form.lead_bytes = LeadBytes;
  form.pattern = CompilePattern(pattern);
  if (form.pattern.uses_locale_formats) {
    form.long_date_format = LongDateFormat;
    form.short_time_format = ShortTimeFormat;
    form.long_time_format = LongTimeFormat;
  }

  const ShortDateShape shape = ReadShapeOfShortDate();
  form.order = shape.order;
  form.applies = form.pattern.numeric &&
                 !shape.era_name_first &&                            // an era name before the digits
                 !(shape.era_years && form.first_era_offset > 0) &&  // years counted in an era
                 !(shape.day_name && form.far_east) &&               // a day name passed over
                 IsPlainSeparator(DateSeparator) && IsPlainSeparator(TimeSeparator) &&
                 !form.am_begins_with_digit && !form.pm_begins_with_digit;  // a marker at the hour
  return form;
}

bool FastStampFormIsCurrent(const FastStampForm& form, std::string_view pattern) {
  return form.format == pattern && form.date_separator == DateSeparator &&
         form.time_separator == TimeSeparator && form.short_date_format == ShortDateFormat &&
         form.am_begins_with_digit == BeginsWithDigit(TimeAMString) &&
         form.pm_begins_with_digit == BeginsWithDigit(TimePMString) &&
         form.first_era_offset == EraYearOffsets[1] && form.far_east == SysLocale.FarEast &&
         form.lead_bytes == LeadBytes &&
         (!form.pattern.uses_locale_formats ||
          (form.long_date_format == LongDateFormat && form.short_time_format == ShortTimeFormat &&
           form.long_time_format == LongTimeFormat));
}

bool FastStampTo(const FastStampForm& form, std::string_view text, char* out,
                 std::size_t& length) {
  if (!form.applies) return false;
  const char* p = text.data();
  const char* const end = p + text.size();

  // Three numbers between date separators, the year with four digits and
  // the others with one or two, then one blank and hour, time separator and
  // minute, each of one or two digits, and nothing after them.
  int32_t n[3];
  const int year_at = form.order == DateOrder::kYearMonthDay ? 0 : 2;
  for (int i = 0; i < 3; ++i) {
    if (i > 0 && !(p = ReadByte(p, end, form.date_separator))) return false;
    const bool year = i == year_at;
    if (!(p = ReadDigits(p, end, year ? 4 : 1, year ? 4 : 2, &n[i]))) return false;
  }
  int32_t hour, minute;
  if (!(p = ReadByte(p, end, ' ')) || !(p = ReadDigits(p, end, 1, 2, &hour)) ||
      !(p = ReadByte(p, end, form.time_separator)) || !(p = ReadDigits(p, end, 1, 2, &minute)) ||
      p != end) {
    return false;
  }

  DateTimeFields f{};
  switch (form.order) {
    case DateOrder::kYearMonthDay:
      f.year = n[0], f.month = n[1], f.day = n[2];
      break;
    case DateOrder::kMonthDayYear:
      f.year = n[2], f.month = n[0], f.day = n[1];
      break;
    case DateOrder::kDayMonthYear:
      f.year = n[2], f.month = n[1], f.day = n[0];
      break;
  }
  f.hour = hour;
  f.minute = minute;
  // A date or time that does not exist is the reader's to refuse.
  if (f.year < 1 || f.month < 1 || f.month > 12 || f.day < 1 ||
      f.day > DaysInMonth(f.year, f.month) || f.hour > 23 || f.minute > 59) {
    return false;
  }
  length = WriteCompiledPattern(out, form.pattern, f);
  return true;
}
