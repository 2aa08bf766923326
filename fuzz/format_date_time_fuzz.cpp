// Random patterns, locale formats and values through the pattern writer under
// single-byte, UTF-8, Shift_JIS and EUC-JP locale values: the writer stays
// inside the pattern and inside its 256-byte result, both of its forms agree,
// and when the pattern is well-formed text of the charset, so is the result,
// which never ends in a cut character.
//
// Input: byte 0 picks the locale values; byte 1 bit 0 takes bytes 2-9 as a raw
// double (any value, NaN included) instead of a value in the domain; bytes 10
// and 11 are the lengths (0-32) of ShortDateFormat and LongTimeFormat, which
// follow; the rest is the pattern.

#include <locale.h>
#include <sanitizer/lsan_interface.h>

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "datetime/date_time_value.h"
#include "datetime/format_date_time.h"
#include "locale/format_settings.h"
#include "text/mbchar.h"

namespace {

struct Values {
  const char* locale;
  const char* name;  // every month and day name, in the locale's charset
  const char* am;
  const char* pm;
  uint16_t pri_lang_id;
  uint16_t sub_lang_id;
  int32_t optional_calendar;
};

const Values kValues[] = {
    {"C", "Thursday", "am", "pm", LANG_ENGLISH, 1, 1},
    {"C", "Jun", "", "PM", LANG_JAPANESE, 1, 3},  // no eras: the tokens fail
    {"ja_JP.UTF-8", "木曜日", "午前", "午後", LANG_JAPANESE, 1, 3},
    {"ja_JP.SJIS", "\x96\xD8\x97\x6A\x93\xFA", "\x8C\xDF\x91\x4F", "\x8C\xDF\x8C\xE3",
     LANG_JAPANESE, 1, 3},
    {"ja_JP.EUC-JP", "\xCC\xDA\xCD\xCB\xC6\xFC", "\xB8\xE1\xC1\xB0", "\xB8\xE1\xB8\xE5",
     LANG_JAPANESE, 1, 3},
    {"zh_TW_minguo.UTF-8", "星期四", "上午", "下午", LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL, 4},
};
constexpr std::size_t kValueCount = sizeof kValues / sizeof kValues[0];

struct Prepared {
  locale_t locale;
  std::bitset<256> lead_bytes;
  bool far_east;
};
Prepared prepared[kValueCount];  // never destroyed: the locales live on
bool ready = false;

// Each locale is opened once; switching between them per input is only a
// uselocale. A locale that is missing falls back to C. The locales are kept
// for the whole run, and glibc's newlocale drops a little memory of its own
// when LOCPATH is set; neither is a leak of the code under test.
void Prepare() {
  __lsan_disable();
  const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  for (std::size_t i = 0; i < kValueCount; ++i) {
    locale_t loc = newlocale(LC_ALL_MASK, kValues[i].locale, nullptr);
    if (!loc) loc = c;
    uselocale(loc);
    GetFormatSettings();
    prepared[i] = {loc, LeadBytes, SysLocale.FarEast};
  }
  __lsan_enable();
  ready = true;
}

void Apply(std::size_t i) {
  const Values& v = kValues[i];
  uselocale(prepared[i].locale);
  LeadBytes = prepared[i].lead_bytes;
  SysLocale.FarEast = prepared[i].far_east;
  SysLocale.PriLangID = v.pri_lang_id;
  SysLocale.SubLangID = v.sub_lang_id;
  OptionalCalendar = v.optional_calendar;
  LongDateFormat = "dddd gg e";
  ShortTimeFormat = "AMPM h:mm";
  DateSeparator = '/';
  TimeSeparator = ':';
  TimeAMString = v.am;
  TimePMString = v.pm;
  for (std::size_t k = 1; k < ShortMonthNames.size(); ++k) ShortMonthNames[k] = LongMonthNames[k] = v.name;
  for (std::size_t k = 1; k < ShortDayNames.size(); ++k) ShortDayNames[k] = LongDayNames[k] = v.name;
}

// Whether text is a sequence of whole characters of the charset. A pattern
// may also end inside one, which the writer ignores.
bool WellFormed(std::string_view text, bool may_end_cut) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    bool cut;
    const std::size_t n = CharLen(p, end, &cut);
    if (cut) return may_end_cut;
    if (n == 1 && LeadBytes[static_cast<unsigned char>(*p)]) return false;  // invalid
    p += n;
  }
  return true;
}

// The millisecond counts of 0001-01-01 00:00 and 9999-12-31 23:59:59.999.
constexpr int64_t kMinMs = -693593LL * MsPerDay;
constexpr int64_t kMaxMs = 2958466LL * MsPerDay - 1;

double ValueFrom(const uint8_t* bytes, bool raw) {
  uint64_t bits;
  std::memcpy(&bits, bytes, sizeof bits);
  if (raw) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  const auto ms = kMinMs + static_cast<int64_t>(bits % static_cast<uint64_t>(kMaxMs - kMinMs + 1));
  // The count runs straight through day 0; the value's own rule for the days
  // before it is EncodeDateTime's.
  const int64_t days = ms >= 0 ? ms / MsPerDay : -((-ms + MsPerDay - 1) / MsPerDay);
  return EncodeDateTime(days, ms - days * MsPerDay);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 12) return 0;
  if (!ready) Prepare();
  Apply(data[0] % kValueCount);
  const double value = ValueFrom(data + 2, data[1] & 1);
  std::size_t rest = size - 12;
  const char* p = reinterpret_cast<const char*>(data) + 12;
  const std::size_t date_len = std::min<std::size_t>(data[10] % 33, rest);
  ShortDateFormat.assign(p, date_len);
  p += date_len, rest -= date_len;
  const std::size_t time_len = std::min<std::size_t>(data[11] % 33, rest);
  LongTimeFormat.assign(p, time_len);
  p += time_len, rest -= time_len;
  // The pattern is the tail of libFuzzer's own exactly sized buffer, and the
  // result an exactly sized heap block, so AddressSanitizer catches any read
  // or write past either.
  const std::string_view pattern(p, rest);
  const auto out = std::make_unique<char[]>(FormatDateTimeMaxLength);

  const std::size_t n = FormatDateTimeTo(out.get(), pattern, value);
  if (n > FormatDateTimeMaxLength) std::abort();
  const std::string_view result(out.get(), n);
  if (FormatDateTime(pattern, value) != result) std::abort();

  const auto up_to_zero = [](std::string_view s) { return s.substr(0, s.find('\0')); };
  if (WellFormed(up_to_zero(pattern), true) && WellFormed(up_to_zero(ShortDateFormat), true) &&
      WellFormed(up_to_zero(LongTimeFormat), true) && !WellFormed(result, false)) {
    std::abort();
  }
  return 0;
}
