#include <time.h>
#include <unistd.h>

#include "platform/tone.h"

void RingTerminalBell(unsigned milliseconds) {
  if (!::isatty(STDERR_FILENO)) return;
  if (::write(STDERR_FILENO, "\a", 1) != 1) return;
  timespec wait{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  while (::nanosleep(&wait, &wait) != 0) {
  }
}
