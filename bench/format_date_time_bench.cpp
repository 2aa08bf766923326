// Time stamps written per second by the pattern writer with the default
// pattern, into a caller's buffer and as a string.

#include <benchmark/benchmark.h>

#include <clocale>
#include <string>

#include "datetime/format_date_time.h"
#include "locale/format_settings.h"

namespace {

constexpr const char* DefaultPattern = "yyyy/mm/dd hh:nn";

bool SetValues() {
  if (!std::setlocale(LC_ALL, "C")) return false;
  GetFormatSettings();
  DateSeparator = '/';
  TimeSeparator = ':';
  return true;
}

// A spread of values, so the decoding does not see the same day every call.
double ValueOf(int64_t i) { return 37791.378 + static_cast<double>(i % 4096) * 0.731; }

void BM_FormatDateTimeTo(benchmark::State& state) {
  if (!SetValues()) return state.SkipWithError("no C locale");
  char buf[FormatDateTimeMaxLength];
  int64_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatDateTimeTo(buf, DefaultPattern, ValueOf(i++)));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatDateTimeTo);

void BM_FormatDateTime(benchmark::State& state) {
  if (!SetValues()) return state.SkipWithError("no C locale");
  int64_t i = 0;
  for (auto _ : state) {
    std::string text = FormatDateTime(DefaultPattern, ValueOf(i++));
    benchmark::DoNotOptimize(text);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatDateTime);

}  // namespace
