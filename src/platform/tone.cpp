#include "platform/tone.h"

#include <time.h>
#include <unistd.h>

namespace {

class BellSink : public ToneSink {
 public:
  void Play(unsigned, unsigned milliseconds) override { RingTerminalBell(milliseconds); }
};

BellSink default_sink;
ToneSink* current_sink = &default_sink;

}  // namespace

ToneSink* SetToneSink(ToneSink* sink) {
  ToneSink* previous = current_sink;
  current_sink = sink ? sink : &default_sink;
  return previous;
}

void Beep(unsigned frequency_hz, unsigned milliseconds) {
  current_sink->Play(frequency_hz, milliseconds);
}

void RingTerminalBell(unsigned milliseconds) {
  if (!::isatty(STDERR_FILENO)) return;
  if (::write(STDERR_FILENO, "\a", 1) != 1) return;
  timespec wait{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  while (::nanosleep(&wait, &wait) != 0) {
  }
}
