// The locale's strftime formats (D_FMT, D_T_FMT, T_FMT) read as pieces, and
// their translation into the time-stamp pattern language. Multi-byte
// characters of the LC_CTYPE charset are kept whole (LocaleCharLen).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A run of literal text, or one conversion such as %Y, %-d or %EC.
struct StrftimePiece {
  std::string text;     // literal bytes ("%%" gives "%"), or the conversion as written
  char conversion = 0;  // 0 for literal text, else the conversion byte ('Y', 'd', ...)
  char modifier = 0;    // 'E', 'O' or 0
  char flag = 0;        // the last glibc flag ('-', '_', '0', '^', '#', '+') or 0
};
using StrftimeFormat = std::vector<StrftimePiece>;

// Splits a format into pieces. A conversion cut by the end of the format is
// left out; field widths are read over and forgotten.
StrftimeFormat ScanStrftime(std::string_view format);

// The locale's own formats behind %x (D_FMT), %Ex (ERA_D_FMT) and %r
// (T_FMT_AMPM). Where one is empty, strftime's own default stands in.
struct StrftimeComposites {
  std::string date;
  std::string eraDate;
  std::string time12;
};

// Replaces %D, %F, %R, %T, %x, %Ex and %r by the pieces they stand for. The
// locale's formats are expanded one level deep: one that names itself (a
// D_FMT holding %x) keeps the inner conversion, which translates to nothing.
StrftimeFormat ExpandStrftime(const StrftimeFormat& format, const StrftimeComposites& composites);

// The pattern for an expanded format. Conversions map to pattern fields (%Y
// yyyy, %-m M, %b MMM, %EC gg, %EY ggyy, ...); those without a counterpart
// are dropped. Literal text that holds ASCII letters or quote characters is
// quoted so that it stays literal; other literal text is copied.
std::string StrftimeToPattern(const StrftimeFormat& format);

// Whether the format uses an era conversion: %EC, %Ey, %EY or %Ex.
bool UsesEraConversion(const StrftimeFormat& format);

// The literal text between the first two numeric date conversions (%Y %y %m
// %d %e, also with E or O) of an expanded format; nullopt without two such
// conversions or when another conversion stands between them.
std::optional<std::string> DateSeparatorText(const StrftimeFormat& format);

// The literal text between the first hour conversion (%H %I %k %l) and the
// minute conversion after it, of an expanded format; nullopt as above.
std::optional<std::string> TimeSeparatorText(const StrftimeFormat& format);

// How the first hour conversion of an expanded format writes the hour.
struct HourStyle {
  bool leadingZero = false;  // %H %I (not with the flags - or _), %0k %0l
  bool clock24 = false;      // %H %k
  bool markerFirst = false;  // %p or %P stands before it
};
std::optional<HourStyle> FindHourStyle(const StrftimeFormat& format);

// The date part of a date-and-time format (D_T_FMT), expanded: everything
// before its first time conversion (%H %I %k %l %M %S %p %P %r %R %T %X %Z
// %z), with the conversions that have no pattern field dropped and trailing
// blanks and commas removed.
StrftimeFormat DatePartOf(const StrftimeFormat& dateTime, const StrftimeComposites& composites);
