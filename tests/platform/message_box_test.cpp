// Escaping the bytes of names and log lines for a terminal.
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>

#include "support/capture.h"

namespace {

TEST(EscapeControls, WritesC0AndDelAsEscapesAndNothingElse) {
  const struct {
    std::string bytes, escaped;
  } cases[] = {
      {"plain.log", "plain.log"},
      {"\x1b[2J", "\\e[2J"},                   // clear the screen
      {"a\nb\rc\td", "a\\nb\\rc\\td"},
      {"\a\b\v\f", "\\a\\b\\v\\f"},
      {std::string("\x01\x1f\x7f", 3), "\\x01\\x1f\\x7f"},
      {"\\", "\\"},                           // a backslash stays: it is a Shift_JIS trail byte too
      {"\xe6\x97\xa5\xe8\xa8\x98", "\xe6\x97\xa5\xe8\xa8\x98"},  // 日記 in UTF-8
      {"\x93\xfa\x8b\x4c\x95\x5c", "\x93\xfa\x8b\x4c\x95\x5c"},  // 日記表 in Shift_JIS
      {"\xc2\x9b", "\xc2\x9b"},               // C1 controls are characters of the charset here
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeControls(c.bytes), c.escaped) << c.bytes;
}

TEST(ShownText, OnlyTheStderrSinkOnATerminalEscapes) {
  const CapturedOutput capture;  // a sink that shows no terminal
  EXPECT_EQ(ShownText("a\x1b[2J\n.log"), "a\x1b[2J\n.log");
}

}  // namespace
