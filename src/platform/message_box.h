// Where message boxes appear. The default sink writes each box to stderr as
// "NAME: CAPTION: TEXT" and a line feed (a CR LF inside the text becomes one
// line feed); a desktop sink and the tests' capturing sink replace it.
#pragma once

#include <string_view>

// Box styles, as the program asks for them.
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_TASKMODAL = 0x2000;

class MessageBoxSink {
 public:
  virtual ~MessageBoxSink() = default;
  // Shows one box and returns when it is closed: 1 when it was shown, 0
  // when it could not be.
  virtual int Show(std::string_view caption, std::string_view text, unsigned style) = 0;
};

// Installs a sink (nullptr: the default one) and returns the previous one.
MessageBoxSink* SetMessageBoxSink(MessageBoxSink* sink);

// Shows one modal box without an owner window. Caption and text are bytes in
// the user's charset, shown as they are.
int PlatformMessageBox(std::string_view text, std::string_view caption, unsigned style);

// The stderr form, for sinks that fall back to it.
int WriteMessageToStderr(std::string_view caption, std::string_view text);
