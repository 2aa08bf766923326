// Boxes as MessageBoxA, unless standard error is a file or a pipe (a test, a
// script's 2>log): then every box takes the stderr form and none is shown.
// Tones always through Beep.
#include "platform/desktop_output.h"

#include <string>

#include "platform/message_box.h"
#include "platform/tone.h"
#include "platform/windows/win32.h"

namespace {

class MessageBoxASink : public MessageBoxSink {
 public:
  int Show(std::string_view caption, std::string_view text, unsigned style) override {
    const std::string c(caption), t(text);
    if (MessageBoxA(nullptr, t.c_str(), c.c_str(), style) > 0) return 1;
    return WriteMessageToStderr(caption, text);  // no desktop to show it on
  }
};

class BeepSink : public ToneSink {
 public:
  void Play(unsigned frequency_hz, unsigned milliseconds) override {
    ::Beep(static_cast<DWORD>(frequency_hz), static_cast<DWORD>(milliseconds));
  }
};

bool StderrIsFileOrPipe() {
  const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (err == nullptr || err == INVALID_HANDLE_VALUE) return false;
  const DWORD type = GetFileType(err);
  return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

}  // namespace

void SetUpDesktopOutput() {
  static MessageBoxASink boxes;
  static BeepSink tones;
  if (!StderrIsFileOrPipe()) SetMessageBoxSink(&boxes);
  SetToneSink(&tones);
}
