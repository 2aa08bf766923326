// The process's arguments. There are no options: every argument after the
// program's name is one file name, byte for byte; an empty one is skipped.
#pragma once

#include <cstdint>
#include <string>

void SetCommandLine(int argc, char** argv);

int32_t ParamCount();

// Argument N (1-based) for N >= 1; for 0 the full path of the running
// executable as the system reports it (on Linux with symbolic links
// resolved; on Windows GetModuleFileNameA's, up to 260 bytes), or "" where
// the system cannot tell it. Out of range gives "".
std::string ParamStr(int32_t index);

// The running executable's file name without its folder, as messages name
// the program ("logstamp", "logstamp.exe"); "logstamp" where the system
// cannot tell it.
std::string ProgramName();
