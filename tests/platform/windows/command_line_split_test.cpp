#include "platform/windows/command_line_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/windows/sandbox.h"

namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheCRuntimesArgvRules) {
  const struct {
    const char* line;
    Args args;
  } cases[] = {
      {"logstamp.exe", {"logstamp.exe"}},
      {"logstamp.exe a.log b.log", {"logstamp.exe", "a.log", "b.log"}},
      {"logstamp.exe  \t a.log\t\tb.log  ", {"logstamp.exe", "a.log", "b.log"}},
      // The program's name: quotes group, backslashes are plain.
      {"\"C:\\Program Files\\logstamp.exe\" a", {"C:\\Program Files\\logstamp.exe", "a"}},
      {"C:\\x\\\"y z\" a", {"C:\\x\\y z", "a"}},
      // Quotes group blanks and are dropped, also in the middle of an argument.
      {"p \"my log.log\" x\"y z\"w", {"p", "my log.log", "xy zw"}},
      {"p \"unterminated quote", {"p", "unterminated quote"}},
      // An empty quoted argument is an argument, empty (the run skips it).
      {"p \"\" a", {"p", "", "a"}},
      // "" inside quotes is a literal quote, and the quotes go on.
      {"p \"a\"\"b c\" d", {"p", "a\"b c", "d"}},
      // Backslashes: plain unless before a quote; 2n give n, 2n+1 give n and a quote.
      {"p C:\\logs\\a.log \\\\server\\share", {"p", "C:\\logs\\a.log", "\\\\server\\share"}},
      {"p a\\\"b", {"p", "a\"b"}},
      {"p a\\\\\"b c\"", {"p", "a\\b c"}},
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},
      {"p \"C:\\logs\\\\\" next", {"p", "C:\\logs\\", "next"}},
      {"p \"C:\\logs\\\" next", {"p", "C:\\logs\" next"}},
      // Other control bytes belong to the argument.
      {"p a\x01" "b\x1f", {"p", "a\x01" "b\x1f"}},
      // A lead byte takes its trail byte: 表 (95 5C) before a quote is no backslash.
      {"p \"\x95\x5c\" x", {"p", "\x95\x5c", "x"}},
      {"p \x95\x5c\"a b\"", {"p", "\x95\x5c" "a b"}},
      // 日記.log in code page 932, blanks inside quotes.
      {"p \"\x93\xfa \x8b\x4c.log\"", {"p", "\x93\xfa \x8b\x4c.log"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitCommandLine(c.line), c.args) << "command line [" << c.line << "]";
  }
}

TEST(SplitCommandLine, SplitsAQuotedArgumentBackToItself) {
  for (const std::string arg : {"plain", "with blank", "", "a\"b", "end\\", "end\\\\", "C:\\a b\\",
                                "\\\"", "\x95\x5c", "\x95\x5c\x95\x5c\""}) {
    EXPECT_EQ(SplitCommandLine("p " + QuoteArgument(arg) + " next"), (Args{"p", arg, "next"}))
        << "argument [" << arg << "]";
  }
}

}  // namespace
