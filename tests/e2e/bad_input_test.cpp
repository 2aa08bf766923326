// Hostile and broken input through the real program: empty, huge and binary
// logs, logs in another charset than the locale's, and odd file names. Each
// converts or fails with its message; nothing crashes, nothing is lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "support/messages.h"
#include "support/reference_lines.h"
#include "support/sandbox.h"

namespace {

TEST(BadInput, AnEmptyLogIsLeftAsItIsAndTheRunGoesOn) {
  Sandbox box;
  box.Write("empty.log", "");
  box.Write("next.log", ".LOG\n9:05 2003/06/19\nBought milk.\n");
  const RunResult r = box.Run({"empty.log", "next.log"}, InLocale("ja_JP.UTF-8"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, Summary(2, 1)) << "too short to hold an entry: not saved, no message";
  EXPECT_EQ(box.Read("empty.log"), "");
  EXPECT_EQ(box.Read("next.log"), ".LOG\r\n2003/06/19 09:05\tBought milk.\r\n");
}

// 100 MiB without a line break, joined to the stamp above it: the line list
// keeps a line of any length.
TEST(BadInput, AHugeLineIsJoinedWhole) {
  std::string text;
  text.reserve(100 << 20);
  const std::string piece = "日記 diary\tentry ";  // multi-byte text, a TAB, no break
  while (text.size() + piece.size() <= (100u << 20)) text += piece;
  Sandbox box;
  box.Write("huge.log", ".LOG\r\n9:05 2003/06/19\r\n" + text);
  const RunResult r = box.Run({"huge.log"}, InLocale("ja_JP.UTF-8"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, "");
  const std::string converted = box.Read("huge.log");
  const std::string head = ".LOG\r\n2003/06/19 09:05\t";
  ASSERT_EQ(converted.size(), head.size() + text.size() + 2);
  EXPECT_TRUE(converted.compare(0, head.size(), head) == 0 &&
              converted.compare(head.size(), text.size(), text) == 0 &&
              converted.compare(converted.size() - 2, 2, "\r\n") == 0);
}

TEST(BadInput, AMillionEmptyLinesStayAndBlockNoJoinBelowThem) {
  const std::string empties_lf(1000000, '\n');
  std::string empties_crlf;
  empties_crlf.reserve(2000000);
  for (int i = 0; i < 1000000; ++i) empties_crlf += "\r\n";
  Sandbox box;
  box.Write("empty_lines.log", ".LOG\n9:05 2003/06/19\n" + empties_lf + "10:30 2003/06/20\nPaid.\n");
  const RunResult r = box.Run({"empty_lines.log"}, InLocale("ja_JP.UTF-8"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(box.Read("empty_lines.log") ==
              ".LOG\r\n2003/06/19 09:05\r\n" + empties_crlf + "2003/06/20 10:30\tPaid.\r\n");
}

// Random bytes: with a NUL they are no text and stay untouched (read error);
// without one (and without a blank, so that no line looks like a time stamp)
// every line comes back, each followed by CR LF, in every charset.
TEST(BadInput, RandomBytesAreRefusedWithANulAndKeptWithout) {
  std::mt19937 rng(2003);
  std::string with_nul(256 << 10, '\0'), without(256 << 10, '\0');
  for (char& c : with_nul) c = static_cast<char>(rng());
  with_nul[with_nul.size() / 2] = '\0';
  for (char& c : without) {
    do c = static_cast<char>(rng());
    while (c == '\0' || c == ' ');
  }
  for (const char* locale : {"ja_JP.UTF-8", "ja_JP.SJIS", "ja_JP.EUC-JP", "C"}) {
    Sandbox box;
    box.Write("nul.log", with_nul);
    box.Write("random.log", without);
    const RunResult r = box.Run({"nul.log", "random.log"}, InLocale(locale));
    EXPECT_EQ(r.exit_code, 0) << locale;
    EXPECT_EQ(box.Read("nul.log"), with_nul) << locale;
    EXPECT_TRUE(box.Read("random.log") == ReferenceText(without)) << locale;
    // One read error and the summary, in the locale's charset.
    EXPECT_NE(r.err.find("nul.log"), std::string::npos) << locale;
    EXPECT_EQ(r.err.find("random.log"), std::string::npos) << locale;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << locale << ": " << r.err;
  }
}

// Text in another charset than the locale's passes through byte for byte;
// the ASCII time stamps still convert. The Shift_JIS text holds 0x5C and '|'
// trail bytes; the UTF-8 text ends in a byte that Shift_JIS takes for a lead
// byte.
TEST(BadInput, TextInTheOtherCharsetPassesThroughUnchanged) {
  const std::string sjis_text = "\x95\x5c\x82\xcc\x83\x5c\x83\x74\x83\x67\x81\x7c";  // 表のソフト－
  const std::string utf8_text = "表のソフト、あ";                                       // ends in 0x82
  const struct {
    const char* locale;
    std::string text;
  } cases[] = {{"ja_JP.UTF-8", sjis_text}, {"ja_JP.SJIS", utf8_text}, {"ja_JP.EUC-JP", sjis_text}};
  for (const auto& c : cases) {
    Sandbox box;
    box.Write("other.log", ".LOG\r\n9:05 2003/06/19\r\n" + c.text + "\r\n\r\n10:30 2003/06/20\r\n" +
                               c.text + "\r\n" + c.text + "\r\n");
    const RunResult r = box.Run({"other.log"}, InLocale(c.locale));
    EXPECT_EQ(r.exit_code, 0) << c.locale;
    EXPECT_EQ(r.err, "") << c.locale;
    EXPECT_EQ(box.Read("other.log"), ".LOG\r\n2003/06/19 09:05\t" + c.text +
                                         "\r\n\r\n2003/06/20 10:30\t" + c.text + "\r\n" + c.text +
                                         "\r\n")
        << c.locale;
  }
}

// A line of time-stamp shape that ends in a character of the other charset
// (in Shift_JIS, a lone lead byte at its end): the conversion error quotes
// its bytes as they are, and the line stays as loaded.
TEST(BadInput, AStampEndingInTheOtherCharsetFailsWithItsBytesQuoted) {
  const struct {
    const char* locale;
    std::string tail;  // the stamp's last character, in the other charset
  } cases[] = {{"ja_JP.SJIS", "あ"}, {"ja_JP.EUC-JP", "あ"}, {"ja_JP.UTF-8", "\x95\x5c"}};
  for (const auto& c : cases) {
    Sandbox box;
    const std::string log = ".LOG\r\n9:05 2003/06/" + c.tail + "\r\nx\r\n";
    box.Write("stamp.log", log);
    const RunResult r = box.Run({"stamp.log"}, InLocale(c.locale));
    EXPECT_EQ(r.exit_code, 0) << c.locale;
    EXPECT_EQ(box.Read("stamp.log"), log) << c.locale;
    EXPECT_NE(r.err.find("\n'2003/06/" + c.tail + " 9:05' "), std::string::npos)
        << c.locale << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << c.locale << ": one box";
  }
}

TEST(BadInput, NamesWithANewlineOrInvalidUtf8AreNamesLikeAnyOther) {
  const std::vector<std::string> names = {"line\nbreak.log", "\xff\xfe invalid.log",
                                          "\x82\xa0.log" /* あ in Shift_JIS */};
  Sandbox box;
  std::vector<std::string> args;
  for (const std::string& name : names) {
    box.Write(name, ".LOG\n9:05 2003/06/19\nBought milk.\n");
    args.push_back(name);
  }
  args.push_back("missing\n\xff.log");
  const RunResult r = box.Run(args, InLocale("ja_JP.UTF-8"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, Box("読み込みエラー", "ファイル missing\n\xff.log を開けませんでした。") +
                       Summary(4, 1));
  for (const std::string& name : names) {
    EXPECT_EQ(box.Read(name), ".LOG\r\n2003/06/19 09:05\tBought milk.\r\n") << name;
  }
  EXPECT_EQ(box.List().size(), names.size() + 1) << "no temporary file is left";
}

}  // namespace

namespace {

// A UTF-16 log of CJK text only has no NUL byte to give it away; its
// byte-order mark does. Read as bytes it would be split at its 0x0A bytes
// and corrupted; it is refused untouched like any other UTF-16 log.
TEST(BadInput, AUtf16LogWithoutNulBytesIsRefusedByItsByteOrderMark) {
  const std::string little = "\xFF\xFE\x0A\x4E\x0A\x4E";  // 上上, little-endian
  const std::string big = "\xFE\xFF\x4E\x0A\x4E\x0A";     // the same, big-endian
  Sandbox box;
  box.Write("le.log", little);
  box.Write("be.log", big);
  const RunResult r = box.Run({"le.log", "be.log"}, InLocale("ja_JP.UTF-8"));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, ReadError("le.log") + ReadError("be.log") + Summary(2, 2));
  EXPECT_EQ(box.Read("le.log"), little);
  EXPECT_EQ(box.Read("be.log"), big);
}

}  // namespace
