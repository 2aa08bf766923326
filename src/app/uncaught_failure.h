// The last resort for a failure that no operation caught: one task-modal
// error box naming the failure, then the process ends with exit code 1.
#pragma once

#include <string_view>

// Shows the box and returns the exit code, 1.
int ReportUncaughtFailure(std::string_view class_name, std::string_view message);
