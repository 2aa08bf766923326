// Loading the current log into FileList and saving it back, each reporting
// its own failures.
#pragma once

#include <string>

// True when the file's lines are in FileList; false after its message.
bool ReadSingleFile(const std::string& FileName);

// Saves FileList over the file and counts it in ProcessedCount; a failure is
// reported here and leaves the count alone.
void WriteSingleFile(const std::string& FileName);
