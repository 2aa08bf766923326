#include "platform/tone.h"

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
