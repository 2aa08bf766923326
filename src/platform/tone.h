// Short tones. The default sink rings the terminal bell for the tone's length
// when stderr is a terminal and is silent otherwise; a sound-device sink and
// the tests' recording sink replace it.
#pragma once

class ToneSink {
 public:
  virtual ~ToneSink() = default;
  // Returns after the tone has sounded.
  virtual void Play(unsigned frequency_hz, unsigned milliseconds) = 0;
};

// Installs a sink (nullptr: the default one) and returns the previous one.
ToneSink* SetToneSink(ToneSink* sink);

void Beep(unsigned frequency_hz, unsigned milliseconds);

// The fallback: the terminal bell and a wait when stderr is a terminal.
void RingTerminalBell(unsigned milliseconds);
