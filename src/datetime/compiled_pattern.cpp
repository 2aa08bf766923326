#include "datetime/compiled_pattern.h"

#include <algorithm>
#include <cstring>

#include "datetime/format_date_time.h"

namespace {

// The most digits a field can write: at least its own, and as many as its
// largest value has.
std::size_t MostDigits(PatternField field, int digits) {
  int widest = 2;
  if (field == PatternField::kYear) widest = 4;
  if (field == PatternField::kMillisecond) widest = 3;
  return static_cast<std::size_t>(std::max(digits, widest));
}

// The longest output a compiled pattern may write: the word copy of its last
// literal bytes may write up to 8 bytes further.
constexpr std::size_t kLongest = FormatDateTimeMaxLength - sizeof(PatternPiece::bytes);

// Collects the pieces of a walk; anything that is no number or fixed byte
// refuses the pattern.
struct PatternCompiler {
  CompiledPattern& compiled;
  std::size_t longest = 0;
  bool refused = false;

  void Number(PatternField field, int digits) {
    compiled.pieces.push_back({false, field, static_cast<uint8_t>(digits), 0, {}});
    longest += MostDigits(field, digits);
  }
  void Char(const char* p, std::size_t n) {
    longest += n;
    if (longest > kLongest) {
      refused = true;
      return;
    }
    for (const char* const end = p + n; p < end; ++p) {
      if (compiled.pieces.empty() || !compiled.pieces.back().literal ||
          compiled.pieces.back().length == sizeof(PatternPiece::bytes)) {
        compiled.pieces.push_back({true, PatternField::kYear, 0, 0, {}});
      }
      PatternPiece& piece = compiled.pieces.back();
      piece.bytes[piece.length++] = *p;
    }
  }
  void MonthName(bool) { refused = true; }
  void DayName(bool) { refused = true; }
  void ClockMarker(PatternMarker, const char*) { refused = true; }
  void Era(char, std::size_t) { refused = true; }
  void LocaleFormat(const std::string& format, int depth) {
    compiled.uses_locale_formats = true;
    WalkLocaleFormat(format, *this, depth);
  }
  void DateAndTime(int) { refused = true; }
};

constexpr char TwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// A number in [0, 9999] with leading zeros up to digits; returns the end.
char* WriteNumber(char* d, uint32_t v, int digits) {
  const int width = std::max(digits, v >= 1000 ? 4 : v >= 100 ? 3 : v >= 10 ? 2 : 1);
  switch (width) {
    case 1:
      d[0] = static_cast<char>('0' + v);
      return d + 1;
    case 2:
      std::memcpy(d, TwoDigits + 2 * v, 2);
      return d + 2;
    case 3:
      d[0] = static_cast<char>('0' + v / 100);
      std::memcpy(d + 1, TwoDigits + 2 * (v % 100), 2);
      return d + 3;
    default:
      std::memcpy(d, TwoDigits + 2 * (v / 100), 2);
      std::memcpy(d + 2, TwoDigits + 2 * (v % 100), 2);
      return d + 4;
  }
}

uint32_t ValueOf(PatternField field, const DateTimeFields& f) {
  switch (field) {
    case PatternField::kYearOfCentury: return static_cast<uint32_t>(f.year % 100);
    case PatternField::kYear: return static_cast<uint32_t>(f.year);
    case PatternField::kMonth: return static_cast<uint32_t>(f.month);
    case PatternField::kDay: return static_cast<uint32_t>(f.day);
    case PatternField::kHour: return static_cast<uint32_t>(f.hour);
    case PatternField::kHour12: return static_cast<uint32_t>(f.hour % 12 == 0 ? 12 : f.hour % 12);
    case PatternField::kMinute: return static_cast<uint32_t>(f.minute);
    case PatternField::kSecond: return static_cast<uint32_t>(f.second);
    case PatternField::kMillisecond: return static_cast<uint32_t>(f.millisecond);
  }
  return 0;
}

}  // namespace

CompiledPattern CompilePattern(std::string_view pattern) {
  CompiledPattern compiled;
  pattern = UpToZeroByte(pattern);
  if (pattern.empty()) return compiled;  // the short date and, unless midnight, the long time
  PatternCompiler compiler{compiled};
  WalkPattern(pattern, compiler, 0);
  if (compiler.refused || compiler.longest > kLongest) return CompiledPattern{};
  compiled.numeric = true;
  return compiled;
}

std::size_t WriteCompiledPattern(char* out, const CompiledPattern& pattern,
                                 const DateTimeFields& fields) {
  char* d = out;
  for (const PatternPiece& piece : pattern.pieces) {
    if (piece.literal) {
      std::memcpy(d, piece.bytes, sizeof piece.bytes);  // within out: see kLongest
      d += piece.length;
    } else {
      d = WriteNumber(d, ValueOf(piece.field, fields), piece.digits);
    }
  }
  return static_cast<std::size_t>(d - out);
}
