// Readings per second of StrToDateTime on time-stamp texts, and a check that
// a successful reading allocates nothing.

#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdlib>
#include <new>
#include <string_view>

#include "datetime/str_to_date_time.h"
#include "locale/format_settings.h"

// Calls of operator new in this program, so that a benchmark can see whether
// the code it times allocates. (new[] and the nothrow forms end up here.)
namespace {
std::size_t new_calls = 0;
}  // namespace

// Kept out of line: inlined, the compiler would take the free in delete for
// a mismatch with new.
__attribute__((noinline)) void* operator new(std::size_t n) {
  ++new_calls;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

bool SetValues(const char* locale, const char* am, const char* pm) {
  if (!std::setlocale(LC_ALL, locale)) return false;
  GetFormatSettings();
  ShortDateFormat = "yyyy/MM/dd";
  DateSeparator = '/';
  TimeSeparator = ':';
  DecimalSeparator = '.';
  TimeAMString = am;
  TimePMString = pm;
  return true;
}

void Read(benchmark::State& state, std::string_view text) {
  double value = 0;
  if (!TryStrToDateTime(text, value)) {
    state.SkipWithError("the text is not read");
    return;
  }
  // Counted apart from the timed loop, where the benchmark library may
  // allocate for itself.
  const std::size_t before = new_calls;
  for (int i = 0; i < 1000; ++i) {
    value = StrToDateTime(text);
    benchmark::DoNotOptimize(value);
  }
  const std::size_t allocations = new_calls - before;
  if (allocations != 0) return state.SkipWithError("a successful reading allocated");
  for (auto _ : state) {
    value = StrToDateTime(text);
    benchmark::DoNotOptimize(value);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["allocations"] = static_cast<double>(allocations);
}

void BM_StrToDateTime(benchmark::State& state, const char* text) {
  if (!SetValues("C", "am", "pm")) return state.SkipWithError("no C locale");
  Read(state, text);
}

// The locale's own markers are multi-byte here; the time begins with a digit,
// so every marker test fails on its first character.
void BM_StrToDateTimeJapanese(benchmark::State& state, const char* text) {
  if (!SetValues("ja_JP.UTF-8", "午前", "午後")) {
    return state.SkipWithError("ja_JP.UTF-8 missing (set LOCPATH to a build's locales)");
  }
  Read(state, text);
  SetValues("C", "am", "pm");
}

}  // namespace

BENCHMARK_CAPTURE(BM_StrToDateTime, date_time, "2003/06/19 9:05");
BENCHMARK_CAPTURE(BM_StrToDateTime, seconds_ms, "2003/06/19 23:59:59.999");
BENCHMARK_CAPTURE(BM_StrToDateTime, marker, "2003/06/19 9:05 PM");
BENCHMARK_CAPTURE(BM_StrToDateTime, two_digit_year, "03/06/19 9:05");
BENCHMARK_CAPTURE(BM_StrToDateTime, time_alone, "9:05");
BENCHMARK_CAPTURE(BM_StrToDateTimeJapanese, date_time, "2003/06/19 9:05");
BENCHMARK_CAPTURE(BM_StrToDateTimeJapanese, marker, "2003/06/19 午後 9:05");
