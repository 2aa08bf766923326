// The stderr form of a box: written with WriteFile, so that no C runtime
// text mode turns its line feed into CR LF.
#include <string>

#include "platform/command_line.h"
#include "platform/message_box.h"
#include "platform/windows/handle.h"
#include "platform/windows/win32.h"

namespace {

// The program's name as scripts know it: logstamp, not logstamp.exe.
std::string NameWithoutExtension() {
  std::string name = ProgramName();
  if (name.size() > 4 && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE,
                                        name.c_str() + name.size() - 4, 4, ".exe", 4) == CSTR_EQUAL) {
    name.resize(name.size() - 4);
  }
  return name;
}

}  // namespace

int WriteMessageToStderr(std::string_view caption, std::string_view text) {
  std::string line = NameWithoutExtension();
  line += ": ";
  line += caption;
  line += ": ";
  line += WithoutCrBeforeLf(text);
  line += '\n';
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err == nullptr || err == INVALID_HANDLE_VALUE) return 0;
  return WriteAll(err, line.data(), line.size()) ? 1 : 0;
}

std::string ShownOnStderr(std::string_view bytes) {
  // A console would act on control bytes: escaped there, raw for pipes and files.
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err == nullptr || err == INVALID_HANDLE_VALUE || GetFileType(err) != FILE_TYPE_CHAR) {
    return std::string(bytes);
  }
  return EscapeControls(bytes);
}
