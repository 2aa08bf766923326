#include "support/tone_analysis.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

double MeasuredFrequency(const std::vector<int16_t>& samples, unsigned sample_rate) {
  // Samples of 0 (rounded near a crossing, or silence) are stepped over: a
  // crossing runs from a negative sample to the next positive one.
  std::vector<double> crossings;
  std::size_t last = 0;  // the last sample that was not 0
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (samples[i] == 0) continue;
    const int a = samples[last], b = samples[i];
    if (a < 0 && b > 0) {
      crossings.push_back(static_cast<double>(last) +
                          static_cast<double>(i - last) * -a / double(b - a));
    }
    last = i;
  }
  if (crossings.size() < 2) return 0;
  return static_cast<double>(crossings.size() - 1) * sample_rate /
         (crossings.back() - crossings.front());
}

int PeakAmplitude(const std::vector<int16_t>& samples, std::size_t begin, std::size_t end) {
  int peak = 0;
  for (std::size_t i = begin; i < end && i < samples.size(); ++i) {
    peak = std::max(peak, std::abs(int{samples[i]}));
  }
  return peak;
}

int LargestStep(const std::vector<int16_t>& samples) {
  int step = samples.empty() ? 0 : std::abs(int{samples.front()});  // from silence
  for (std::size_t i = 1; i < samples.size(); ++i) {
    step = std::max(step, std::abs(samples[i] - samples[i - 1]));
  }
  if (!samples.empty()) step = std::max(step, std::abs(int{samples.back()}));  // to silence
  return step;
}

std::vector<int16_t> ReadSamples(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<int16_t> samples(bytes.size() / 2);
  std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
  return samples;
}
