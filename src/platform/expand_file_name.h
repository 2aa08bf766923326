// The full path of a file name, as the system resolves it for display, and
// the bytes that separate a path's parts.
#pragma once

#include <string>
#include <string_view>

// The name joined to the current folder when it is relative, with "." and
// ".." segments and repeated slashes resolved lexically: nothing is asked of
// the file system beyond the current folder, and symbolic links are not
// followed. A result longer than PATH_MAX gives the name as it was.
std::string ExpandFileName(std::string_view FileName);

// Whether the byte ends a folder or drive part of a path ('/'; on Windows
// also '\\' and ':').
bool IsPathDelimiter(char c);
