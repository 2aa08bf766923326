// logstamp: rewrites the time-stamp lines of Notepad-style logs in place.
#include <new>

#include "app/program_run.h"
#include "app/uncaught_failure.h"
#include "locale/format_settings.h"
#include "platform/charset.h"
#include "platform/command_line.h"
#include "platform/desktop_output.h"
#include "platform/exceptions.h"
#include "platform/process_start.h"

int main(int argc, char** argv) {
  SetUpProcess();
  SetCommandLine(argc, argv);
  SetUpDesktopOutput();
  GetFormatSettings();
  try {
    RunProgram();
  } catch (const Exception& failure) {
    return ReportUncaughtFailure(failure.ClassName(), failure.Message);
  } catch (const std::bad_alloc&) {
    return ReportUncaughtFailure("EOutOfMemory", LocalText("メモリが不足しています"));
  }
  return 0;
}
