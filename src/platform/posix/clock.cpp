#include "platform/clock.h"

#include <ctime>

namespace {

int32_t LocalYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  // localtime_r fails only for a clock beyond the range of tm_year; the
  // zeroed fields then stand for 1900.
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

YearSource current_source = LocalYear;

}  // namespace

int32_t CurrentYear() { return current_source(); }

YearSource SetYearSource(YearSource source) {
  const YearSource previous = current_source;
  current_source = source ? source : LocalYear;
  return previous;
}
