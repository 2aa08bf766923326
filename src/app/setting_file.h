// The two settings, read from the INI file beside the executable.
#pragma once

#include <string>
#include <string_view>

// Sets DateTimeFormat and Separator from the settings file, or their
// defaults. A settings file that exists but cannot be opened raises
// EFOpenError out of it.
void ReadSettingFile();

// The path with its extension (after the last '.' of its last segment)
// replaced by extension, or extension appended when it has none.
std::string ChangeFileExt(std::string_view path, std::string_view extension);
