#include "platform/message_box.h"

namespace {

class StderrSink : public MessageBoxSink {
 public:
  int Show(std::string_view caption, std::string_view text, unsigned) override {
    return WriteMessageToStderr(caption, text);
  }
};

StderrSink default_sink;
MessageBoxSink* current_sink = &default_sink;

}  // namespace

MessageBoxSink* SetMessageBoxSink(MessageBoxSink* sink) {
  MessageBoxSink* previous = current_sink;
  current_sink = sink ? sink : &default_sink;
  return previous;
}

int PlatformMessageBox(std::string_view caption, std::string_view text, unsigned style) {
  return current_sink->Show(caption, text, style);
}

int32_t ShowMessageBox(std::string_view Caption, std::string_view Text, char Kind) {
  if (Kind == 'e') return PlatformMessageBox(Caption, Text, MB_ICONERROR);
  if (Kind == 'i') return PlatformMessageBox(Caption, Text, MB_ICONINFORMATION);
  return -1;
}

std::string WithoutCrBeforeLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}
