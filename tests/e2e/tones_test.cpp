// The tones of a run through the sound device. The test's own ALSA
// configuration (chosen by ALSA_CONFIG_PATH for the run alone) makes the
// default device a file PCM over the null device, so the played samples land
// in files of the sandbox: one file per tone, the second one numbered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/alsa_tone.h"
#include "platform/tone_render.h"
#include "support/sandbox.h"
#include "support/tone_analysis.h"

namespace {

std::vector<std::string> ToneFiles(const Sandbox& box) {
  std::vector<std::string> files;
  for (const std::string& name : box.List()) {
    if (name.starts_with("tone.raw")) files.push_back(name);
  }
  return files;  // sorted: tone.raw, then tone.raw.0001
}

TEST(Tones, EveryFileConvertedPlays500HzThen400Hz) {
  if (!AlsaBuilt()) GTEST_SKIP() << "built without ALSA: the tones can only ring the bell";
  Sandbox box;
  box.Write("asound.conf", "pcm.!default {\n"
                           "  type file\n"
                           "  slave.pcm { type null }\n"
                           "  file \"" + box.Path("tone.raw") + "\"\n"
                           "  format \"raw\"\n"
                           "  truncate false\n"
                           "}\n");
  RunOptions options = InLocale("ja_JP.UTF-8");
  options.env.push_back("ALSA_CONFIG_PATH=" + box.Path("asound.conf"));

  box.Write("a.log", ".LOG\n9:05 2003/06/19\nBought milk.");
  box.Write("b.log", ".LOG\n9:05 2003/06/19\nRead a book.");
  RunResult r = box.Run({"a.log", "b.log"}, options);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> files = ToneFiles(box);
  ASSERT_EQ(files.size(), 2u);
  const unsigned expected_hz[] = {500, 400};
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(files[i]);
    const std::vector<int16_t> samples = ReadSamples(box.Path(files[i]));
    EXPECT_EQ(samples.size(), 150u * kToneSampleRate / 1000);
    EXPECT_NEAR(MeasuredFrequency(samples, kToneSampleRate), expected_hz[i], 1);
    EXPECT_GT(PeakAmplitude(samples, 0, samples.size()), kTonePeak * 0.9);
  }

  // A run that did not convert every file ends with the summary, not tones.
  r = box.Run({"a.log", "missing.log"}, options);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.err, "");
  EXPECT_EQ(ToneFiles(box).size(), 2u);
}

}  // namespace
