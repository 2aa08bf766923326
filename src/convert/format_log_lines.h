// The bottom-up scan of FileList that rewrites every time-stamp line and
// joins it with the first line of its entry.
#pragma once

// True when FileList may be saved; false for fewer than two lines or after a
// failure other than a conversion error.
bool FormatLogLines();
