// Measurements of rendered or recorded tones (16-bit mono samples).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The frequency from the rising zero crossings: whole periods between the
// first and the last crossing over the samples they span, each crossing placed
// between its samples by linear interpolation. 0 when fewer than two.
double MeasuredFrequency(const std::vector<int16_t>& samples, unsigned sample_rate);

// The largest absolute sample within [begin, end).
int PeakAmplitude(const std::vector<int16_t>& samples, std::size_t begin, std::size_t end);

// The largest step between two neighbouring samples: a click shows as a step
// far above the sine's own steepest slope.
int LargestStep(const std::vector<int16_t>& samples);

// A file of raw native-endian 16-bit samples.
std::vector<int16_t> ReadSamples(const std::string& path);
