// Tones through the sound device (ALSA's default device, which reaches
// PulseAudio or PipeWire on a desktop). When no device opens, or the program
// was built without ALSA, the terminal bell stands in for the tone.
#pragma once

#include "platform/tone.h"

class AlsaToneSink : public ToneSink {
 public:
  // Returns after the tone has been played out.
  void Play(unsigned frequency_hz, unsigned milliseconds) override;
};

// Whether this build plays through ALSA at all.
bool AlsaBuilt();
