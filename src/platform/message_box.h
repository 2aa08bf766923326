// Message boxes. Every message goes through ShowMessageBox, which hands it to
// the installed sink: by default each box is written to stderr as
// "NAME: CAPTION: TEXT" and a line feed; a desktop sink and the tests'
// capturing sink replace it. Caption and text are bytes in the user's
// charset, shown as they are, and come in that order everywhere.
#pragma once

#include <cstdint>
#include <string>
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
  // Bytes from outside the program as this sink shows them inside a message
  // (see ShownText); unchanged unless a sink says otherwise.
  virtual std::string Shown(std::string_view bytes) const { return std::string(bytes); }
};

// Installs a sink (nullptr: the default one) and returns the previous one.
MessageBoxSink* SetMessageBoxSink(MessageBoxSink* sink);

// Shows one modal box without an owner window, in the given style.
int PlatformMessageBox(std::string_view caption, std::string_view text, unsigned style);

// Kind 'e' shows an error box, 'i' an information box, any other kind
// nothing. Returns what the box returned (1 shown, 0 not shown), or -1 when
// the kind shows no box.
int32_t ShowMessageBox(std::string_view Caption, std::string_view Text, char Kind);

// Bytes from outside the program (a file name, a line of a log) as they are
// to stand in a message: unchanged, except where the messages go to a
// terminal, which gets C0 control bytes and DEL as escapes (\e, \n, \x7f...),
// so that a name cannot move the cursor or clear the screen. The message's
// own line breaks are not such bytes and stay as they are.
std::string ShownText(std::string_view bytes);

// The bytes with every C0 control byte and DEL written as an escape: \a \b
// \t \n \v \f \r \e, others as \xHH. No other byte changes, so that the
// characters of any charset the program supports stay whole.
std::string EscapeControls(std::string_view bytes);

// The stderr form, for sinks that fall back to it.
int WriteMessageToStderr(std::string_view caption, std::string_view text);

// ShownText for the stderr form: escaped where stderr is a terminal.
std::string ShownOnStderr(std::string_view bytes);

// The text with every CR that stands before an LF left out: a box's line
// breaks are CR LF, a terminal's and a dialog's are LF.
std::string WithoutCrBeforeLf(std::string_view text);
