// The run-wide state that the conversion reads: one set for the whole
// process, reached directly by every operation. Everything starts as zero,
// empty or null.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TStringList;

extern std::string CurrentFileName;  // the argument as given, unexpanded
extern TStringList* FileList;      // the run's one line list
extern int32_t ProcessedCount;     // files loaded, scanned and saved
extern std::string DateTimeFormat; // pattern of rewritten time stamps
extern char Separator;             // joins a time stamp to its entry text
extern std::string CurrentLine;    // the line being examined or rewritten
extern int32_t LineIndex;          // 0-based index of that line
// When set, the texts of conversion error boxes are kept here, in the order
// they arose, instead of being shown at once.
extern std::vector<std::string>* DeferredConversionErrors;
