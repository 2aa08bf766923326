// The local clock, behind a seam: the date-time reader asks it for the
// current year, and tests put a fixed year in its place.
#pragma once

#include <cstdint>

using YearSource = int32_t (*)();

// The year of the local date now, or what a replaced source gives.
int32_t CurrentYear();

// Makes `source` the answer of CurrentYear; nullptr puts the system clock
// back. Returns the source that was in place.
YearSource SetYearSource(YearSource source);
