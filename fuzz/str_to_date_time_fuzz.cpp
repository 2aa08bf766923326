// Random texts through the date-time reader under several sets of locale
// values: the reader stays inside the text, and every text either gives a
// value in the domain or raises EConvertError naming the text.
//
// Input: byte 0 picks the locale values, bytes 1-2 the current year, the
// rest is the text.

#include <locale.h>
#include <sanitizer/lsan_interface.h>

#include <array>
#include <bitset>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "datetime/str_to_date_time.h"
#include "locale/format_settings.h"
#include "platform/clock.h"
#include "platform/exceptions.h"
#include "text/mbchar.h"

namespace {

struct Values {
  const char* locale;
  const char* short_date_format;
  char date_separator, time_separator, decimal_separator;
  const char* am;
  const char* pm;
  uint16_t pri_lang_id;
  bool far_east;
  std::array<const char*, 8> era_names;
  std::array<int32_t, 8> era_offsets;
};

const Values kValues[] = {
    {"C", "yyyy/MM/dd", '/', ':', '.', "am", "pm", LANG_ENGLISH, false, {}, {}},
    {"C", "M/d/yyyy", '/', ':', '.', "", "", LANG_ENGLISH, false, {}, {}},
    {"C", "dd.MM.yyyy", '.', ':', ',', "AM", "PM", LANG_ENGLISH, false, {}, {}},
    {"C", "ee/MM/dd", '/', '/', '/', "a", "p", LANG_ENGLISH, false,
     {"", "x"}, {0, 2019}},
    {"ja_JP.UTF-8", "gggee/MM/dd", '/', ':', '.', "午前", "午後", LANG_JAPANESE, true,
     {"", "令和", "平成", "昭和", "大正", "明治", "", ""}, {0, 2019, 1989, 1926, 1912, 1868, -1, -1}},
    {"ja_JP.UTF-8", "yyyy/MM/dd ddd", '/', ':', '.', "午前", "午後", LANG_JAPANESE, true, {}, {}},
    {"ja_JP.UTF-8", "yyyy/MM/dd ddd", '/', ':', '.', "", "ＰＭ", LANG_JAPANESE, true, {}, {}},
    {"ja_JP.SJIS", "gggee/MM/dd", '/', ':', '.', "\x8C\xDF\x91\x4F", "\x8C\xDF\x8C\xE3",
     LANG_JAPANESE, true, {"", "\x97\xDF\x98\x61", "\x95\xBD\x90\xAC", "\x94\x4E"},
     {0, 2019, 1989, 1}},
    {"ja_JP.EUC-JP", "yyyy/MM/dd ddd", '/', ':', '.', "am", "pm", LANG_JAPANESE, true, {}, {}},
    {"ko_KR.UTF-8", "gggee/MM/dd", '/', ':', '.', "오전", "오후", LANG_KOREAN, true,
     {"", "단기"}, {0, 2333}},
    {"ko_KR.UTF-8", "ee/MM/dd", '/', ':', '.', "오전", "오후", LANG_KOREAN, true,
     {"", "단기"}, {0, 2333}},
};
constexpr std::size_t kValueCount = sizeof kValues / sizeof kValues[0];

struct Prepared {
  locale_t locale;
  std::bitset<256> lead_bytes;
};
std::vector<Prepared> prepared;

int32_t year_now = 2024;
int32_t FuzzYear() { return year_now; }

// Each locale is opened once; switching between them per input is only a
// uselocale. A locale that is missing falls back to C. The locales live for
// the whole run, and glibc's newlocale drops a little memory of its own when
// LOCPATH is set: not a leak of the code under test.
void Prepare() {
  __lsan_disable();
  const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  for (const Values& v : kValues) {
    locale_t loc = newlocale(LC_ALL_MASK, v.locale, nullptr);
    if (!loc) loc = c;
    uselocale(loc);
    GetFormatSettings();
    prepared.push_back({loc, LeadBytes});
  }
  __lsan_enable();
  SetYearSource(FuzzYear);
}

void Apply(std::size_t i) {
  const Values& v = kValues[i];
  uselocale(prepared[i].locale);
  LeadBytes = prepared[i].lead_bytes;
  ShortDateFormat = v.short_date_format;
  DateSeparator = v.date_separator;
  TimeSeparator = v.time_separator;
  DecimalSeparator = v.decimal_separator;
  TimeAMString = v.am;
  TimePMString = v.pm;
  SysLocale.PriLangID = v.pri_lang_id;
  SysLocale.FarEast = v.far_east;
  for (std::size_t k = 0; k < EraNames.size(); ++k) {
    EraNames[k] = v.era_names[k] ? v.era_names[k] : "";
    EraYearOffsets[k] = v.era_offsets[k];
  }
  TwoDigitYearCenturyWindow = 50;
}

bool InDomain(double value) {
  if (!std::isfinite(value)) return false;
  const double days = std::trunc(value);
  return days >= -693593 && days <= 2958465 && std::fabs(value - days) < 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  Apply(data[0] % kValueCount);
  year_now = data[1] << 8 | data[2];
  // The text is the tail of libFuzzer's own exactly sized buffer, so a read
  // past its end is caught by AddressSanitizer.
  const std::string_view text(reinterpret_cast<const char*>(data) + 3, size - 3);

  double value = 0;
  const bool read = TryStrToDateTime(text, value);
  if (read && !InDomain(value)) std::abort();
  try {
    const double again = StrToDateTime(text);
    if (!read || again != value) std::abort();
  } catch (const EConvertError& e) {
    const std::string quoted = "'" + std::string(text) + "'";
    if (read || e.Message.compare(0, quoted.size(), quoted) != 0) std::abort();
  }
  return 0;
}
