// The program run: settings, the argument check, each file in turn (load,
// scan, save), and the final report.
#pragma once

#include <cstdint>

// False, after its message, when no file was named.
bool CheckParamCount(int32_t Count);

// The whole run. A failure that no operation catches leaves it after the
// final report has been made; the caller turns it into exit code 1.
void RunProgram();
