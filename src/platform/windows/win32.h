// The Windows API for the platform layer's Windows files. Include it after
// every header of the program: windows.h defines macros (MB_ICONERROR,
// CAL_JAPAN, ...) under names that the program's headers declare as
// constants of the same values.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
