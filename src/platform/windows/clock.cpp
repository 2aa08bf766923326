#include "platform/clock.h"

#include "platform/windows/win32.h"

namespace {

int32_t LocalYear() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wYear;
}

YearSource current_source = LocalYear;

}  // namespace

int32_t CurrentYear() { return current_source(); }

YearSource SetYearSource(YearSource source) {
  const YearSource previous = current_source;
  current_source = source ? source : LocalYear;
  return previous;
}
