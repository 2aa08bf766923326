#include "convert/line_splitter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/reference_lines.h"

namespace {

using Breaks = std::vector<std::pair<std::size_t, std::size_t>>;

struct Split {
  Breaks breaks;
  bool nul;
};

Split SplitOf(const std::string& text) {
  Split split;
  split.nul = SplitLines(text.data(), text.size(), [&](std::size_t end, std::size_t next) {
    split.breaks.emplace_back(end, next);
  });
  return split;
}

// The lines the breaks make, as the line list takes them.
std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  SplitLines(text.data(), text.size(), [&](std::size_t end, std::size_t next) {
    lines.push_back(text.substr(start, end - start));
    start = next;
  });
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

TEST(SplitLines, FindsEveryKindOfBreakAndTheNulBytes) {
  const std::string x63(63, 'x');
  const std::string x64(64, 'x');
  const struct {
    std::string text;
    Breaks breaks;
    bool nul;
  } cases[] = {
      {"", {}, false},
      {"abc", {}, false},
      {"a\r\nb", {{1, 3}}, false},
      {"a\rb\nc", {{1, 2}, {3, 4}}, false},
      {"\n\r\r\n\n", {{0, 1}, {1, 2}, {2, 4}, {4, 5}}, false},  // LF CR CRLF LF
      {"\r\n\r", {{0, 2}, {2, 3}}, false},                      // a CR at the very end
      {std::string("a\0b\n", 4), {{3, 4}}, true},
      {x64 + std::string(1, '\0'), {}, true},  // a NUL alone in the short last block
      // CR LF across two blocks: one break, never a second at the LF.
      {x63 + "\r\n" + "y", {{63, 65}}, false},
      // A lone CR at a block's end, and an LF that opens the next block alone.
      {x63 + "\r" + "y\n", {{63, 64}, {65, 66}}, false},
      {x64 + "\n", {{64, 65}}, false},
      {x63 + "\n\r\n", {{63, 64}, {64, 66}}, false},
  };
  for (const auto& c : cases) {
    const Split split = SplitOf(c.text);
    EXPECT_EQ(split.breaks, c.breaks) << c.text.size() << " bytes";
    EXPECT_EQ(split.nul, c.nul) << c.text.size() << " bytes";
  }
}

// Texts of breaks and short runs at every offset around the 64-byte blocks
// split as the plain reference loop splits them.
TEST(SplitLines, AgreesWithThePlainLoopOnRandomTexts) {
  std::mt19937 random(7);
  const char alphabet[] = {'\r', '\n', 'a', 'b', '\0'};
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 300, 'x');
    for (char& c : text) c = alphabet[random() % (round % 2 ? 5 : 3)];
    EXPECT_EQ(LinesOf(text), ReferenceLines(text)) << "round " << round;
    EXPECT_EQ(SplitOf(text).nul, text.find('\0') != std::string::npos) << "round " << round;
  }
}

}  // namespace
