#include "platform/posix/strftime_pattern.h"

#include <cstring>

#include "platform/posix/posix_locale.h"

namespace {

bool IsOneOf(char c, const char* set) { return c != 0 && std::strchr(set, c) != nullptr; }

bool IsLiteral(const StrftimePiece& piece) { return piece.conversion == 0; }

bool IsNumericDate(const StrftimePiece& piece) { return IsOneOf(piece.conversion, "Yymde"); }
bool IsHour(const StrftimePiece& piece) { return IsOneOf(piece.conversion, "HIkl"); }
bool IsTimeConversion(const StrftimePiece& piece) {
  return IsOneOf(piece.conversion, "HIklMSpPrRTXZz");
}

// The pattern field of one conversion; nullopt for a conversion without one.
std::optional<std::string_view> FieldOf(const StrftimePiece& piece) {
  const bool unpadded = piece.flag == '-' || piece.flag == '_';
  if (piece.modifier == 'E') {
    switch (piece.conversion) {
      case 'C': return "gg";
      case 'y': return "yy";
      case 'Y': return "ggyy";
      default: break;  // E means nothing to the other conversions
    }
  }
  switch (piece.conversion) {
    case 'Y': return "yyyy";
    case 'y': return "yy";
    case 'm': return unpadded ? "M" : "MM";
    case 'd': return unpadded ? "d" : "dd";
    case 'e': return piece.flag == '0' ? "dd" : "d";
    case 'b':
    case 'h': return "MMM";
    case 'B': return "MMMM";
    case 'a': return "ddd";
    case 'A': return "dddd";
    default: return std::nullopt;
  }
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Appends literal text to a pattern. Text with letters or quotes goes in
// double quotes; a double quote itself, which would end such text, goes in
// apostrophes.
void AppendLiteral(std::string& pattern, std::string_view text) {
  const char* const end = text.data() + text.size();
  bool quote = false;
  for (const char* p = text.data(); p < end; p += LocaleCharLen(p, end)) {
    if (LocaleCharLen(p, end) == 1 && (IsAsciiLetter(*p) || *p == '"' || *p == '\'')) quote = true;
  }
  if (!quote) {
    pattern += text;
    return;
  }
  bool open = false;
  for (const char* p = text.data(); p < end;) {
    const std::size_t n = LocaleCharLen(p, end);
    if (n == 1 && *p == '"') {
      if (open) pattern += '"';
      open = false;
      pattern += "'\"'";
    } else {
      if (!open) pattern += '"';
      open = true;
      pattern.append(p, n);
    }
    p += n;
  }
  if (open) pattern += '"';
}

const char* FixedComposite(const StrftimePiece& piece) {
  switch (piece.conversion) {
    case 'D': return "%m/%d/%y";
    case 'F': return "%Y-%m-%d";
    case 'R': return "%H:%M";
    case 'T': return "%H:%M:%S";
    default: return nullptr;
  }
}

// composites is null inside a locale format, which is not expanded again.
void ExpandInto(StrftimeFormat& out, const StrftimeFormat& format,
                const StrftimeComposites* composites) {
  for (const StrftimePiece& piece : format) {
    if (const char* fixed = FixedComposite(piece)) {
      ExpandInto(out, ScanStrftime(fixed), nullptr);
      continue;
    }
    if (composites && (piece.conversion == 'x' || piece.conversion == 'r')) {
      std::string text;
      if (piece.conversion == 'r') {
        text = composites->time12.empty() ? "%I:%M:%S %p" : composites->time12;
      } else if (piece.modifier == 'E' && !composites->eraDate.empty()) {
        text = composites->eraDate;
      } else {
        text = composites->date.empty() ? "%m/%d/%y" : composites->date;
      }
      ExpandInto(out, ScanStrftime(text), nullptr);
      continue;
    }
    out.push_back(piece);
  }
}

// The literal text between pieces first and last (exclusive), or nullopt
// when a conversion stands there.
std::optional<std::string> LiteralBetween(const StrftimeFormat& format, std::size_t first,
                                          std::size_t last) {
  std::string text;
  for (std::size_t i = first + 1; i < last; ++i) {
    if (!IsLiteral(format[i])) return std::nullopt;
    text += format[i].text;
  }
  return text;
}

}  // namespace

StrftimeFormat ScanStrftime(std::string_view format) {
  StrftimeFormat pieces;
  std::string literal;
  const auto flush = [&] {
    if (!literal.empty()) pieces.push_back({literal});
    literal.clear();
  };
  const char* p = format.data();
  const char* const end = p + format.size();
  while (p < end) {
    if (*p != '%') {
      const std::size_t n = LocaleCharLen(p, end);
      literal.append(p, n);
      p += n;
      continue;
    }
    const char* q = p + 1;
    StrftimePiece piece;
    while (q < end && IsOneOf(*q, "-_0^#+")) piece.flag = *q++;
    while (q < end && *q >= '0' && *q <= '9') ++q;
    if (q < end && (*q == 'E' || *q == 'O')) piece.modifier = *q++;
    if (q == end) break;
    const std::size_t n = LocaleCharLen(q, end);  // an unknown conversion may be a multi-byte one
    piece.conversion = *q;
    q += n;
    if (piece.conversion == '%' && n == 1) {
      literal += '%';
    } else {
      flush();
      piece.text.assign(p, q);
      pieces.push_back(std::move(piece));
    }
    p = q;
  }
  flush();
  return pieces;
}

StrftimeFormat ExpandStrftime(const StrftimeFormat& format, const StrftimeComposites& composites) {
  StrftimeFormat out;
  ExpandInto(out, format, &composites);
  return out;
}

std::string StrftimeToPattern(const StrftimeFormat& format) {
  std::string pattern;
  std::string literal;
  for (const StrftimePiece& piece : format) {
    if (IsLiteral(piece)) {
      literal += piece.text;
      continue;
    }
    const auto field = FieldOf(piece);
    if (!field) continue;
    AppendLiteral(pattern, literal);
    literal.clear();
    // Two fields of the same letter side by side would read as one longer
    // run (%m%d%d: MMdddd, the day name); an empty quote keeps them apart.
    if (!pattern.empty() && pattern.back() == field->front()) pattern += "\"\"";
    pattern += *field;
  }
  AppendLiteral(pattern, literal);
  return pattern;
}

bool UsesEraConversion(const StrftimeFormat& format) {
  for (const StrftimePiece& piece : format) {
    if (piece.modifier == 'E' && IsOneOf(piece.conversion, "CyYx")) return true;
  }
  return false;
}

std::optional<std::string> DateSeparatorText(const StrftimeFormat& format) {
  std::size_t found[2];
  std::size_t count = 0;
  for (std::size_t i = 0; i < format.size() && count < 2; ++i) {
    if (IsNumericDate(format[i])) found[count++] = i;
  }
  if (count < 2) return std::nullopt;
  return LiteralBetween(format, found[0], found[1]);
}

std::optional<std::string> TimeSeparatorText(const StrftimeFormat& format) {
  for (std::size_t h = 0; h < format.size(); ++h) {
    if (!IsHour(format[h])) continue;
    for (std::size_t m = h + 1; m < format.size(); ++m) {
      if (format[m].conversion == 'M') return LiteralBetween(format, h, m);
    }
    return std::nullopt;
  }
  return std::nullopt;
}

std::optional<HourStyle> FindHourStyle(const StrftimeFormat& format) {
  HourStyle style;
  for (const StrftimePiece& piece : format) {
    if (piece.conversion == 'p' || piece.conversion == 'P') style.markerFirst = true;
    if (!IsHour(piece)) continue;
    const bool padded = piece.conversion == 'H' || piece.conversion == 'I';
    style.leadingZero = padded ? piece.flag != '-' && piece.flag != '_' : piece.flag == '0';
    style.clock24 = piece.conversion == 'H' || piece.conversion == 'k';
    return style;
  }
  return std::nullopt;
}

StrftimeFormat DatePartOf(const StrftimeFormat& dateTime, const StrftimeComposites& composites) {
  StrftimeFormat datePart;
  for (const StrftimePiece& piece : dateTime) {
    if (IsTimeConversion(piece)) break;
    datePart.push_back(piece);
  }
  StrftimeFormat kept;
  for (StrftimePiece& piece : ExpandStrftime(datePart, composites)) {
    if (IsLiteral(piece) || FieldOf(piece)) kept.push_back(std::move(piece));
  }
  while (!kept.empty() && IsLiteral(kept.back())) {
    std::string& text = kept.back().text;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == ',')) {
      text.pop_back();
    }
    if (!text.empty()) break;
    kept.pop_back();
  }
  return kept;
}
