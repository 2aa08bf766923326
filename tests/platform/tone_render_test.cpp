#include "platform/tone_render.h"

#include <gtest/gtest.h>

#include <numbers>

#include "support/tone_analysis.h"

namespace {

TEST(RenderTone, SineOfTheFrequencyAndLengthWithoutClicks) {
  const struct {
    unsigned hz;
    unsigned ms;
  } cases[] = {
      {500, 150}, {400, 150},  // the two tones of a run
      {440, 101},              // stops in mid-cycle: only the fade keeps it from clicking
      {1000, 7},               // shorter than two fades
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.hz << " Hz, " << c.ms << " ms");
    const std::vector<int16_t> samples = RenderTone(c.hz, c.ms);
    ASSERT_EQ(samples.size(), std::size_t{c.ms} * kToneSampleRate / 1000);
    EXPECT_NEAR(MeasuredFrequency(samples, kToneSampleRate), c.hz, c.hz * 0.002);

    const double steepest = kTonePeak * 2 * std::numbers::pi * c.hz / kToneSampleRate;
    EXPECT_LE(LargestStep(samples), steepest + 2);

    const std::size_t ms = kToneSampleRate / 1000;
    EXPECT_LT(PeakAmplitude(samples, 0, ms), kTonePeak / 5) << "fades in";
    EXPECT_LT(PeakAmplitude(samples, samples.size() - ms, samples.size()), kTonePeak / 5)
        << "fades out";
    EXPECT_GT(PeakAmplitude(samples, 0, samples.size()), kTonePeak * 0.9) << "full strength";
  }
}

}  // namespace
