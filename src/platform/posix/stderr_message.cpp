#include <unistd.h>

#include <string>

#include "platform/command_line.h"
#include "platform/message_box.h"
#include "platform/posix/descriptor.h"

int WriteMessageToStderr(std::string_view caption, std::string_view text) {
  std::string line = ProgramName();
  line += ": ";
  line += caption;
  line += ": ";
  line += WithoutCrBeforeLf(text);
  line += '\n';
  return WriteAll(STDERR_FILENO, line.data(), line.size()) ? 1 : 0;
}

std::string ShownOnStderr(std::string_view bytes) {
  if (!::isatty(STDERR_FILENO)) return std::string(bytes);
  return EscapeControls(bytes);
}
