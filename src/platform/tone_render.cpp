#include "platform/tone_render.h"

#include <algorithm>
#include <cmath>
#include <numbers>

std::vector<int16_t> RenderTone(unsigned frequency_hz, unsigned milliseconds) {
  constexpr unsigned sample_rate = kToneSampleRate;
  const std::size_t count = static_cast<std::size_t>(milliseconds) * sample_rate / 1000;
  const std::size_t fade = std::min<std::size_t>(
      static_cast<std::size_t>(kToneFadeMilliseconds) * sample_rate / 1000, count / 2);
  const double step = 2 * std::numbers::pi * frequency_hz / sample_rate;
  std::vector<int16_t> samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    // Raised-cosine envelope: 0 at both ends, 1 between the fades.
    const std::size_t edge = std::min(i, count - 1 - i);
    const double gain =
        edge < fade ? 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(edge) /
                                           static_cast<double>(fade))
                    : 1.0;
    samples[i] = static_cast<int16_t>(
        std::lround(kTonePeak * gain * std::sin(step * static_cast<double>(i))));
  }
  return samples;
}
