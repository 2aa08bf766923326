// Character lengths and letter case under code page 932, from the code page
// itself (the C runtime's multi-byte functions say one byte per character).
#include <gtest/gtest.h>

#include <string>

#include "locale/format_settings.h"
#include "platform/charset.h"
#include "text/ansi_pos.h"
#include "text/mbchar.h"
#include "text/text_case.h"

namespace {

class CodePage932 : public ::testing::Test {
 protected:
  void SetUp() override { GetFormatSettings(); }
};

TEST_F(CodePage932, MessageTextsAreShiftJisBytes) {
  EXPECT_EQ(LocalText("報告"), "\x95\xf1\x8d\x90");
  EXPECT_EQ(LocalText("ファイル "), "\x83\x74\x83\x40\x83\x43\x83\x8b ");
  EXPECT_EQ(ToUtf8("\x95\xf1\x8d\x90"), "報告");
  EXPECT_FALSE(CharsetIsUtf8());
}

TEST_F(CodePage932, ALeadByteAndTheByteAfterItAreOneCharacter) {
  const std::string text = "a\x95\x5c" "b\x82";  // a, 表 (trail byte 5C), b, a cut lead byte
  const char* const end = text.data() + text.size();
  bool cut = false;
  EXPECT_EQ(CharLen(text.data(), end), 1u);
  EXPECT_EQ(CharLen(text.data() + 1, end), 2u);
  EXPECT_EQ(CharLen(text.data() + 3, end), 1u);
  EXPECT_EQ(CharLen(text.data() + 4, end, &cut), 1u);
  EXPECT_TRUE(cut);
  // The trail byte 5C is never found as a backslash of its own.
  EXPECT_EQ(AnsiPos("\\", text), 0u);
  EXPECT_EQ(AnsiPos("b", "\x82" "b" "b"), 3u);
}

TEST_F(CodePage932, DoubleByteLettersCompareAndLowerWithoutCase) {
  const std::string fullA = "\x82\x60", fullB = "\x82\x61";  // Ａ Ｂ
  const std::string fulla = "\x82\x81", fullb = "\x82\x82";  // ａ ｂ
  EXPECT_TRUE(EqualIgnoringCase(fullA + fullB + "X", fulla + fullb + "x"));
  EXPECT_FALSE(EqualIgnoringCase(fullA, fullb));
  EXPECT_FALSE(EqualIgnoringCase(fullA, "A")) << "a double-byte letter is no single-byte one";
  EXPECT_FALSE(EqualIgnoringCase("\x82", "\x82")) << "a cut character matches nothing";
  EXPECT_TRUE(EqualIgnoringCase(LocalText("日時"), LocalText("日時")));
  EXPECT_FALSE(EqualIgnoringCase(LocalText("あ"), LocalText("ア"))) << "kana types differ";
  EXPECT_EQ(AnsiLowerCase(fullA + "SPACE" + LocalText("表")), fulla + "space" + LocalText("表"));
  EXPECT_EQ(AnsiLowerCase("\x83\x9f"), "\x83\xbf");  // Greek capital alpha to small alpha
}

}  // namespace
