// The run's own state, read only by the program run. The state the
// conversion reads as well lives in convert/globals.h.
#pragma once

#include <cstdint>

extern int32_t FileCount;  // arguments after the program's name
extern int32_t FileIndex;  // 1-based index of the current argument
