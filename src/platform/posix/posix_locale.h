// Raw answers of the current POSIX locale (the one setlocale chose): its
// nl_langinfo items, the language of its name, the lead bytes of its charset
// and its era list. No fallbacks here; what an answer means for the program
// is decided by the caller.
#pragma once

#include <langinfo.h>

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// nl_langinfo(item) as a string.
std::string LangInfo(nl_item item);

// The name of the current LC_TIME locale, such as "ja_JP.UTF-8" or "C".
std::string TimeLocaleName();

// Whether the LC_CTYPE charset has characters of more than one byte.
bool CharsetIsMultiByte();

// Every byte value that begins a multi-byte character of the LC_CTYPE
// charset: mbrlen calls the byte alone incomplete.
std::bitset<256> CharsetLeadBytes();

// Length in bytes of the LC_CTYPE character that starts at p (p < end), by
// the rule the program's own text walkers follow: a byte that is no lead
// byte of a multi-byte charset stands alone, a lead byte takes the length
// mbrlen gives, all the rest of the text when it is cut, 1 when invalid.
std::size_t LocaleCharLen(const char* p, const char* end);

// One entry of the LC_TIME era list, "direction:offset:start:end:name:format".
struct EraDate {
  int32_t year = 0;  // negative before year 1
  int32_t month = 0;
  int32_t day = 0;
  int infinity = 0;  // -1 for "-*" (the beginning of time), +1 for "+*"
};
struct EraEntry {
  char direction = '+';  // '+': years near the start have the lower numbers
  int32_t offset = 0;    // the era year at the start date
  EraDate start;
  EraDate end;
  std::string name;    // bytes of the LC_TIME charset
  std::string format;  // strftime format of a year of the era, e.g. "%EC%Ey年"

  // Whether the era years grow as time goes on (Reiwa 1, 2, ...), not back
  // from the start date (the years before year 1).
  bool CountsForward() const;
  // The year of the Gregorian calendar that is year 1 of the era, for an
  // era that counts forward: start year - offset + 1.
  int64_t FirstYear() const;
};

// One entry read from its text; nullopt when the text is not an entry.
std::optional<EraEntry> ParseEraEntry(std::string_view text);

// The era list of the current LC_TIME locale in the order the locale gives
// it; entries that cannot be read are left out.
std::vector<EraEntry> LocaleEras();
