// Message texts live in the source as UTF-8 and are shown in the charset of
// the user's LC_CTYPE locale. Log and file-name bytes are never converted.
#pragma once

#include <string>
#include <string_view>

// The UTF-8 text in the current LC_CTYPE charset. When the charset cannot
// hold it (the C locale, say), the UTF-8 bytes are returned unchanged.
std::string LocalText(std::string_view utf8);

// Whether the current LC_CTYPE charset is UTF-8.
bool CharsetIsUtf8();

// Bytes of the current LC_CTYPE charset as UTF-8, for a display that wants
// UTF-8; a byte that is no valid character becomes U+FFFD.
std::string ToUtf8(std::string_view local);
