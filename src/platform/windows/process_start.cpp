#include "platform/process_start.h"

#include "platform/windows/win32.h"

namespace {

// A crash ends the process with the exception's code, instead of a debugger
// or an error-report dialog taking it over (and, under Wine's debugger,
// sometimes ending it with 0).
LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS* exception) {
  ExitProcess(exception && exception->ExceptionRecord ? exception->ExceptionRecord->ExceptionCode
                                                      : 1);
}

}  // namespace

// The C runtime's locale is left alone: the program asks the system for
// every locale answer and works in the ANSI code page.
void SetUpProcess() {
  // A missing floppy or CD named in a path fails the open instead of asking.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(EndWithExceptionCode);
}
