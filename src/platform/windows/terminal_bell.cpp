#include "platform/tone.h"
#include "platform/windows/win32.h"

// The bell of a console that standard error is, and a wait for the tone's
// length; nothing elsewhere.
void RingTerminalBell(unsigned milliseconds) {
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (err == nullptr || err == INVALID_HANDLE_VALUE || !GetConsoleMode(err, &mode)) return;
  DWORD written = 0;
  if (!WriteFile(err, "\a", 1, &written, nullptr) || written != 1) return;
  Sleep(milliseconds);
}
