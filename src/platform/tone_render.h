// The samples of one tone, as the sound device plays it: a sine of the given
// frequency and length, 16-bit signed mono, with a short fade in and out so
// that it starts and stops without a click.
#pragma once

#include <cstdint>
#include <vector>

constexpr unsigned kToneSampleRate = 48000;
constexpr unsigned kToneFadeMilliseconds = 5;
constexpr int16_t kTonePeak = 16384;  // half of full scale

// milliseconds * kToneSampleRate / 1000 samples. The fades take
// kToneFadeMilliseconds each, or half the tone when it is shorter than two.
std::vector<int16_t> RenderTone(unsigned frequency_hz, unsigned milliseconds);
