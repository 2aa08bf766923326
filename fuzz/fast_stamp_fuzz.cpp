// The fast time-stamp path against the general one: whenever FastStampTo
// decides a stamp, StrToDateTime reads it and FormatDateTimeTo writes the
// same bytes for it. The form is kept between inputs and prepared again only
// when FastStampFormIsCurrent says the values changed; a form prepared
// afresh must decide the same, so a value the check overlooks shows too.
//
// Input: byte 0 picks a locale and a change of its values, byte 1 the
// pattern (a value past the list takes the pattern from the rest, up to
// its first line feed), byte 2 the form of the stamp, bytes 3-4 the current
// year. The stamp is the rest as it is, or, when byte 2 is odd, built from
// the rest: numbers in the locale's order (or another), with its
// separators (or other bytes), and whatever bytes remain after them.

#include <locale.h>
#include <sanitizer/lsan_interface.h>

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "datetime/fast_stamp.h"
#include "datetime/format_date_time.h"
#include "datetime/short_date_shape.h"
#include "datetime/str_to_date_time.h"
#include "locale/format_settings.h"
#include "platform/clock.h"
#include "text/mbchar.h"

namespace {

const char* const kLocales[] = {"C",           "ja_JP.UTF-8",  "ja_JP.SJIS",  "ja_JP.EUC-JP",
                                "en_US.UTF-8", "de_DE.UTF-8",  "zh_TW.UTF-8", "ko_KR.UTF-8",
                                "ja_XX.UTF-8", "ko_XX.UTF-8",  "xx_XX.UTF-8", "zh_TW_minguo.UTF-8"};

const char* const kPatterns[] = {
    "yyyy/mm/dd hh:nn", "yyyy/mm/dd",        "yyyy-m-d h:nn:ss.zzz",     "dd.mm.yy hh:nn",
    "'at' h:nn \"on\" d/m/yyyy", "h:mm dd mm", "hhmmm y yyy yyyyy", "yyyy年mm月dd日 hh時nn分",
    "ddddd t",          "dddddd tt",         "h\"'am/pm",                "Hh x q Mm a",
    "c",                "",                  "mmm d, yyyy",              "h:nn am/pm",
    "ggg e",            "dddd",
};

// Every locale value the reader and the writer read, as GetFormatSettings
// left it for one locale.
struct Values {
  locale_t locale;
  std::string short_date, long_date, short_time, long_time;
  char date_separator, time_separator, decimal_separator;
  std::string am, pm;
  std::array<std::string, 13> short_months, long_months;
  std::array<std::string, 8> short_days, long_days, era_names;
  std::array<int32_t, 8> era_offsets;
  TSysLocale sys_locale;
  int32_t optional_calendar;
  std::bitset<256> lead_bytes;
};
std::vector<Values> values;

// Each locale is opened once; switching between them per input is only a
// uselocale. A locale that is missing falls back to C. The locales live for
// the whole run, and glibc's newlocale drops a little memory of its own when
// LOCPATH is set: not a leak of the code under test.
void Prepare() {
  __lsan_disable();
  const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  for (const char* name : kLocales) {
    locale_t loc = newlocale(LC_ALL_MASK, name, nullptr);
    if (!loc) loc = c;
    uselocale(loc);
    GetFormatSettings();
    values.push_back({loc, ShortDateFormat, LongDateFormat, ShortTimeFormat, LongTimeFormat,
                      DateSeparator, TimeSeparator, DecimalSeparator, TimeAMString,
                      TimePMString, ShortMonthNames, LongMonthNames, ShortDayNames,
                      LongDayNames, EraNames, EraYearOffsets, SysLocale, OptionalCalendar,
                      LeadBytes});
  }
  __lsan_enable();
}

void Restore(const Values& v) {
  uselocale(v.locale);
  ShortDateFormat = v.short_date;
  LongDateFormat = v.long_date;
  ShortTimeFormat = v.short_time;
  LongTimeFormat = v.long_time;
  DateSeparator = v.date_separator;
  TimeSeparator = v.time_separator;
  DecimalSeparator = v.decimal_separator;
  TimeAMString = v.am;
  TimePMString = v.pm;
  ShortMonthNames = v.short_months;
  LongMonthNames = v.long_months;
  ShortDayNames = v.short_days;
  LongDayNames = v.long_days;
  EraNames = v.era_names;
  EraYearOffsets = v.era_offsets;
  SysLocale = v.sys_locale;
  OptionalCalendar = v.optional_calendar;
  LeadBytes = v.lead_bytes;
  TwoDigitYearCenturyWindow = 50;
}

// Changes of the locale's values under which plain-looking stamps read
// otherwise, or must not be decided at all.
constexpr int kChanges = 10;
void Change(int which) {
  switch (which) {
    case 1: ShortDateFormat = "gggee/MM/dd"; break;  // an era name before the digits
    case 2:                                          // era years with an offset
      ShortDateFormat = "ee/MM/dd";
      EraYearOffsets[1] = 2019;
      break;
    case 3:  // a day name after the date
      ShortDateFormat = "yyyy/MM/dd ddd";
      SysLocale.FarEast = true;
      break;
    case 4: TimeAMString = "1"; break;  // a marker that begins with a digit
    case 5: TimeSeparator = DateSeparator; break;
    case 6:
      DateSeparator = '-';
      TimeSeparator = '.';
      DecimalSeparator = '.';
      break;
    case 7:
      DateSeparator = '.';
      DecimalSeparator = '.';
      break;
    case 8: ShortDateFormat = "dd/MM/yyyy"; break;
    case 9:
      ShortDateFormat = "MM/dd/yyyy";
      TimePMString.clear();
      break;
    default: break;
  }
}

int32_t year_now = 2024;
int32_t FuzzYear() { return year_now; }

// A stamp of numbers and separators built from bytes: each number of 1 to 5
// digits, padded or not, in the locale's order or another.
std::string BuildStamp(const uint8_t* p, std::size_t n) {
  uint8_t b[12] = {};
  const std::size_t used = n < sizeof b ? n : sizeof b;
  std::memcpy(b, p, used);
  const int year = (b[0] << 8 | b[1]) % 10000;
  const int month = b[2] % 14, day = b[3] % 33, hour = b[4] % 26, minute = b[5] % 62;
  auto number = [](int value, uint8_t form) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", form % 6, value);  // 0: no padding
    return std::string(text);
  };
  const char date_sep = b[6] & 1 ? DateSeparator : static_cast<char>(b[6] >> 1);
  const char time_sep = b[7] & 1 ? TimeSeparator : static_cast<char>(b[7] >> 1);
  DateOrder order = ReadShapeOfShortDate().order;
  if (b[8] % 4 == 1) order = DateOrder::kYearMonthDay;
  if (b[8] % 4 == 2) order = DateOrder::kMonthDayYear;
  if (b[8] % 4 == 3) order = DateOrder::kDayMonthYear;
  const std::string y = number(year, b[9] >> 4), m = number(month, b[9] & 15),
                    d = number(day, b[10] >> 4);
  std::string stamp;
  switch (order) {
    case DateOrder::kYearMonthDay: stamp = y + date_sep + m + date_sep + d; break;
    case DateOrder::kMonthDayYear: stamp = m + date_sep + d + date_sep + y; break;
    case DateOrder::kDayMonthYear: stamp = d + date_sep + m + date_sep + y; break;
  }
  stamp += ' ';
  stamp += number(hour, b[10] & 15) + time_sep + number(minute, b[11] >> 4);
  stamp.append(reinterpret_cast<const char*>(p) + used, n - used);
  return stamp;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Prepare();
  SetYearSource(FuzzYear);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  static FastStampForm kept;
  const std::size_t pick = data[0] % (std::size(kLocales) * kChanges);
  Restore(values[pick % std::size(kLocales)]);
  Change(static_cast<int>(pick / std::size(kLocales)));
  year_now = (data[3] << 8 | data[4]) % 10000;

  const char* rest = reinterpret_cast<const char*>(data) + 5;
  std::size_t rest_size = size - 5;
  std::string pattern;
  if (data[1] < std::size(kPatterns)) {
    pattern = kPatterns[data[1]];
  } else {
    const void* line_feed = std::memchr(rest, '\n', rest_size);
    const std::size_t length =
        line_feed ? static_cast<std::size_t>(static_cast<const char*>(line_feed) - rest) : rest_size;
    pattern.assign(rest, length);
    rest += length + (line_feed ? 1 : 0);
    rest_size -= length + (line_feed ? 1 : 0);
  }
  // A raw stamp is the tail of libFuzzer's own exactly sized buffer, so a
  // read past its end is caught by AddressSanitizer.
  std::string built;
  std::string_view stamp(rest, rest_size);
  if (data[2] & 1) {
    built = BuildStamp(reinterpret_cast<const uint8_t*>(rest), rest_size);
    stamp = built;
  }

  if (!FastStampFormIsCurrent(kept, pattern)) kept = PrepareFastStamp(pattern);
  char fast[FormatDateTimeMaxLength];
  std::size_t fast_length = 0;
  const bool decided = FastStampTo(kept, stamp, fast, fast_length);

  const FastStampForm fresh = PrepareFastStamp(pattern);
  char again[FormatDateTimeMaxLength];
  std::size_t again_length = 0;
  if (FastStampTo(fresh, stamp, again, again_length) != decided) std::abort();
  if (!decided) return 0;
  if (again_length != fast_length || std::memcmp(again, fast, fast_length) != 0) std::abort();

  double value = 0;
  if (!TryStrToDateTime(stamp, value)) std::abort();  // decided what the reader refuses
  char general[FormatDateTimeMaxLength];
  const std::size_t general_length = FormatDateTimeTo(general, pattern, value);
  if (general_length != fast_length || std::memcmp(general, fast, fast_length) != 0) std::abort();
  return 0;
}
