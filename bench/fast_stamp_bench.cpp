// Time stamps rewritten per second by the fast path and by the general one
// (the reader and the writer) on the same stamps, and by the rewriting as
// the scan calls it, under ja_JP.UTF-8 with the default pattern.

#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "convert/globals.h"
#include "convert/timestamp_rewriting.h"
#include "datetime/fast_stamp.h"
#include "datetime/format_date_time.h"
#include "datetime/str_to_date_time.h"
#include "locale/format_settings.h"

namespace {

constexpr const char* DefaultPattern = "yyyy/mm/dd hh:nn";

// Swapped stamps as the rewriting reads them, minutes apart over years, in
// H:MM and HH:MM form.
const std::vector<std::string>& Stamps() {
  static const std::vector<std::string> stamps = [] {
    std::vector<std::string> s;
    for (int i = 0; i < 4096; ++i) {
      char text[32];
      std::snprintf(text, sizeof text, "%04d/%02d/%02d %d:%02d", 1990 + i % 37, 1 + i % 12,
                    1 + i % 28, i * 7 % 24, i * 13 % 60);
      s.emplace_back(text);
    }
    return s;
  }();
  return stamps;
}

bool UseJapanese(benchmark::State& state) {
  if (!std::setlocale(LC_ALL, "ja_JP.UTF-8")) {
    state.SkipWithError("ja_JP.UTF-8 missing (set LOCPATH to a build's locales)");
    return false;
  }
  GetFormatSettings();
  DateTimeFormat = DefaultPattern;
  return true;
}

void BM_FastStampTo(benchmark::State& state) {
  if (!UseJapanese(state)) return;
  const FastStampForm form = PrepareFastStamp(DefaultPattern);
  const std::vector<std::string>& stamps = Stamps();
  char out[FormatDateTimeMaxLength];
  std::size_t length = 0;
  if (!FastStampTo(form, stamps[0], out, length)) return state.SkipWithError("not decided");
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FastStampTo(form, stamps[i++ % stamps.size()], out, length));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FastStampTo);

void BM_GeneralStamp(benchmark::State& state) {
  if (!UseJapanese(state)) return;
  const std::vector<std::string>& stamps = Stamps();
  char out[FormatDateTimeMaxLength];
  std::size_t i = 0;
  for (auto _ : state) {
    double value = 0;
    benchmark::DoNotOptimize(TryStrToDateTime(stamps[i++ % stamps.size()], value));
    benchmark::DoNotOptimize(FormatDateTimeTo(out, DefaultPattern, value));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GeneralStamp);

// What each stamp pays to know that the prepared form still holds.
void BM_FastStampFormIsCurrent(benchmark::State& state) {
  if (!UseJapanese(state)) return;
  const FastStampForm form = PrepareFastStamp(DefaultPattern);
  for (auto _ : state) benchmark::DoNotOptimize(FastStampFormIsCurrent(form, DateTimeFormat));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FastStampFormIsCurrent);

// The scan's call: the form checked, the stamp rewritten into the string
// (whose copy from the stamp is timed too).
void BM_DateTimeStringToFormatedDateTimeString(benchmark::State& state) {
  if (!UseJapanese(state)) return;
  const std::vector<std::string>& stamps = Stamps();
  std::string s;
  s.reserve(64);
  std::size_t i = 0;
  for (auto _ : state) {
    s = stamps[i++ % stamps.size()];
    benchmark::DoNotOptimize(DateTimeStringToFormatedDateTimeString(s));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DateTimeStringToFormatedDateTimeString);

}  // namespace
