#include "platform/posix/alsa_tone.h"

#include <vector>

#include "platform/tone_render.h"

#if LOGSTAMP_HAVE_ALSA
#include <alsa/asoundlib.h>

namespace {

// ALSA reports every failed open on stderr; a missing device is an expected
// case here and must not show up among the program's messages.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Plays the samples on the default device and waits until they have sounded.
// False when no device could be opened and set up.
bool PlayOnDefaultDevice(const std::vector<int16_t>& samples) {
  snd_lib_error_set_handler(IgnoreAlsaError);
  snd_pcm_t* pcm = nullptr;
  // Opened non-blocking so that a device held by another program fails at
  // once instead of waiting for it; the writes below block.
  if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
    snd_config_update_free_global();
    return false;
  }
  const bool ready = snd_pcm_nonblock(pcm, 0) == 0 &&
                     snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                                        1, kToneSampleRate, 1, 100000) == 0;
  if (ready) {
    const int16_t* next = samples.data();
    snd_pcm_uframes_t left = samples.size();
    while (left > 0) {
      snd_pcm_sframes_t written = snd_pcm_writei(pcm, next, left);
      if (written < 0) written = snd_pcm_recover(pcm, static_cast<int>(written), 1);
      if (written < 0) break;  // the device went away: the rest stays unplayed
      next += written;
      left -= static_cast<snd_pcm_uframes_t>(written);
    }
    snd_pcm_drain(pcm);
  }
  snd_pcm_close(pcm);
  // The configuration tree is cached process-wide; nothing else uses it.
  snd_config_update_free_global();
  return ready;
}

}  // namespace

bool AlsaBuilt() { return true; }

#else

namespace {

bool PlayOnDefaultDevice(const std::vector<int16_t>&) { return false; }

}  // namespace

bool AlsaBuilt() { return false; }

#endif

void AlsaToneSink::Play(unsigned frequency_hz, unsigned milliseconds) {
  if (!PlayOnDefaultDevice(RenderTone(frequency_hz, milliseconds))) {
    RingTerminalBell(milliseconds);
  }
}
