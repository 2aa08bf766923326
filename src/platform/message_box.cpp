#include "platform/message_box.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/command_line.h"

namespace {

class StderrSink : public MessageBoxSink {
 public:
  int Show(std::string_view caption, std::string_view text, unsigned) override {
    return WriteMessageToStderr(caption, text);
  }
};

StderrSink default_sink;
MessageBoxSink* current_sink = &default_sink;

std::string ProgramName() {
  const std::string path = ParamStr(0);
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

MessageBoxSink* SetMessageBoxSink(MessageBoxSink* sink) {
  MessageBoxSink* previous = current_sink;
  current_sink = sink ? sink : &default_sink;
  return previous;
}

int PlatformMessageBox(std::string_view text, std::string_view caption, unsigned style) {
  return current_sink->Show(caption, text, style);
}

int WriteMessageToStderr(std::string_view caption, std::string_view text) {
  std::string line = ProgramName();
  line += ": ";
  line += caption;
  line += ": ";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line += text[i];
  }
  line += '\n';
  const char* p = line.data();
  std::size_t left = line.size();
  while (left > 0) {
    const ssize_t n = ::write(STDERR_FILENO, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return 0;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return 1;
}
