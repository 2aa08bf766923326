#include "convert/format_log_lines.h"

#include "convert/globals.h"
#include "convert/string_list.h"
#include "convert/time_stamp_shape.h"
#include "convert/timestamp_rewriting.h"

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
