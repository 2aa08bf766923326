#include "convert/format_log_lines.h"

#include "convert/globals.h"
#include "convert/string_list.h"
#include "convert/timestamp_rewriting.h"

namespace {

// A time stamp such as "9:05 2003/06/19" or "10:30 2003/06/20": 15 or 16
// bytes with the first blank at the 5th or 6th byte.
bool HasTimeStampShape(std::string_view line) {
  if (line.size() - 15 >= 2) return false;
  const std::size_t blank = line.find(' ');
  return blank != std::string_view::npos && blank + 1 - 5 < 2;
}

}  // namespace

bool FormatLogLines() {
  try {
    if (FileList->Count() < 2) return false;
    bool JoinBlocked = false;  // the line below must not be joined to this one
    LineIndex = FileList->Count() - 1;
    do {
      const std::string_view line = FileList->Strings(LineIndex);
      if (!HasTimeStampShape(line)) {
        JoinBlocked = line.empty();
      } else {
        TimeDateStringToDateTimeString(line, CurrentLine);
        if (DateTimeStringToFormatedDateTimeString(CurrentLine)) {
          if (LineIndex != FileList->Count() - 1 && !JoinBlocked) {
            FileList->JoinWithNext(LineIndex, CurrentLine, Separator);
          } else {
            FileList->SetStrings(LineIndex, CurrentLine);
          }
          JoinBlocked = true;
        }
      }
      --LineIndex;
    } while (LineIndex != 0);
  } catch (...) {
    --LineIndex;  // the turn's step down runs also when it failed
    return false;
  }
  return true;
}
