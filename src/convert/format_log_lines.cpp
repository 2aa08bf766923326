#include "convert/format_log_lines.h"

#include "convert/string_list.h"
#include "run/globals.h"

// For now the scan only refuses lists too short to hold an entry.
bool FormatLogLines() { return FileList->Count() >= 2; }
