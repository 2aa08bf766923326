// The two settings, read from the INI file beside the executable.
#pragma once

#include <string>
#include <string_view>

// Sets DateTimeFormat and Separator from the settings file, or their
// defaults; when the program's own path is unknown, from no file. A
// settings file that exists but cannot be opened raises EFOpenError out of
// it.
void ReadSettingFile();

// The path with its extension (after the last '.' of its last segment)
// replaced by extension, or extension appended when it has none.
std::string ChangeFileExt(std::string_view path, std::string_view extension);
