// Sinks that record what the run shows and plays instead of showing it.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/message_box.h"
#include "platform/tone.h"

struct ShownBox {
  std::string caption;
  std::string text;
  unsigned style;
  bool operator==(const ShownBox&) const = default;
};

// Installs itself for its lifetime.
class CapturedOutput : public MessageBoxSink, public ToneSink {
 public:
  CapturedOutput() : previous_box_(SetMessageBoxSink(this)), previous_tone_(SetToneSink(this)) {}
  ~CapturedOutput() override {
    SetMessageBoxSink(previous_box_);
    SetToneSink(previous_tone_);
  }
  int Show(std::string_view caption, std::string_view text, unsigned style) override {
    boxes.push_back({std::string(caption), std::string(text), style});
    return 1;
  }
  void Play(unsigned hz, unsigned ms) override { tones.emplace_back(hz, ms); }

  std::vector<ShownBox> boxes;
  std::vector<std::pair<unsigned, unsigned>> tones;

 private:
  MessageBoxSink* previous_box_;
  ToneSink* previous_tone_;
};
