#include "platform/message_box.h"

namespace {

class StderrSink : public MessageBoxSink {
 public:
  int Show(std::string_view caption, std::string_view text, unsigned) override {
    return WriteMessageToStderr(caption, text);
  }
  std::string Shown(std::string_view bytes) const override { return ShownOnStderr(bytes); }
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

std::string ShownText(std::string_view bytes) { return current_sink->Shown(bytes); }

std::string EscapeControls(std::string_view bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      out += c;
      continue;
    }
    out += '\\';
    switch (byte) {
      case '\a': out += 'a'; break;
      case '\b': out += 'b'; break;
      case '\t': out += 't'; break;
      case '\n': out += 'n'; break;
      case '\v': out += 'v'; break;
      case '\f': out += 'f'; break;
      case '\r': out += 'r'; break;
      case 0x1b: out += 'e'; break;
      default:
        out += 'x';
        out += kHex[byte >> 4];
        out += kHex[byte & 0xf];
    }
  }
  return out;
}
