#include "convert/string_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "support/reference_lines.h"
#include "support/sandbox.h"

namespace {

std::vector<std::string> Lines(const TStringList& list) {
  std::vector<std::string> lines;
  for (int32_t i = 0; i < list.Count(); ++i) lines.emplace_back(list.Strings(i));
  return lines;
}

void SetText(TStringList& list, const std::string& bytes) {
  std::unique_ptr<char[]> data(new char[bytes.size()]);  // exact: a write past it shows under ASan
  std::memcpy(data.get(), bytes.data(), bytes.size());
  list.SetText(std::move(data), bytes.size());
}

TEST(TStringList, SplitsAtCrLfLoneCrAndLoneLf) {
  const struct {
    const char* bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"\r", {""}},
      {"\n", {""}},
      {"x\r\ny\r\n", {"x", "y"}},
      {"x\r\ny", {"x", "y"}},
      {"x\ny\rz", {"x", "y", "z"}},
      {"x\r\n\r\n", {"x", ""}},
      {"x\n\ry", {"x", "", "y"}},  // LF then CR is two breaks
      {"a\tb \x81\x40\r\n", {"a\tb \x81\x40"}},
  };
  for (const auto& c : cases) {
    TStringList list;
    SetText(list, c.bytes);
    EXPECT_EQ(Lines(list), c.lines) << '"' << c.bytes << '"';
  }
}

TEST(TStringList, IndexOutsideTheListIsAnIndexFailure) {
  TStringList list;
  list.Add("a");
  list.Add("b");
  EXPECT_THROW(list.Strings(-1), EStringListError);
  EXPECT_THROW(list.Strings(2), EStringListError);
  EXPECT_THROW(list.SetStrings(2, "x"), EStringListError);
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.Delete(2), EStringListError);
  EXPECT_THROW(list.JoinWithNext(-1, "x", ' '), EStringListError);
  EXPECT_THROW(list.JoinWithNext(1, "x", ' '), EStringListError) << "no line below the last";
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b"}));
  try {
    list.Strings(5);
    ADD_FAILURE() << "Strings(5) of a two-line list was not refused";
  } catch (const EStringListError& e) {
    EXPECT_NE(e.Message.find("(5)"), std::string::npos) << e.Message;
  }

  TStringList fresh;  // the first line stored apart may be empty
  fresh.Add("");
  EXPECT_EQ(Lines(fresh), std::vector<std::string>{""});
}

// The scan replaces and deletes lines bottom-up; the list must behave like a
// plain vector under any mix of those operations.
TEST(TStringList, ReplaceAndDeleteBehaveLikeAVector) {
  TStringList list;
  SetText(list, "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n");
  std::vector<std::string> model = Lines(list);
  unsigned seed = 7;
  for (int step = 0; step < 400 && !model.empty(); ++step) {
    seed = seed * 1103515245 + 12345;
    const int32_t i = static_cast<int32_t>((seed >> 8) % model.size());
    switch ((seed >> 20) % 5) {
      case 0:
        list.Delete(i);
        model.erase(model.begin() + i);
        break;
      case 1: {  // a line replaced by text that includes another line of the list
        const std::string joined = std::string(list.Strings(i)) + "|" +
                                   std::string(list.Strings(static_cast<int32_t>(model.size()) - 1));
        list.SetStrings(i, joined);
        model[static_cast<std::size_t>(i)] = joined;
        break;
      }
      case 2:
        list.SetStrings(i, list.Strings(i));
        break;
      case 3:  // the scan's join, with a line of the list as its head
        if (i + 1 < static_cast<int32_t>(model.size())) {
          const std::string head(list.Strings(0));
          list.JoinWithNext(i, list.Strings(0), ':');
          model[static_cast<std::size_t>(i)] = head + ":" + model[static_cast<std::size_t>(i) + 1];
          model.erase(model.begin() + i + 1);
        }
        break;
      default:
        list.Add(std::to_string(step));
        model.push_back(std::to_string(step));
    }
    ASSERT_EQ(Lines(list), model) << "step " << step;
  }
}

// Random texts of every kind of break, lines of every length around the
// 64-byte blocks the splitter works in, then replacements that fit in place
// or not, joins and deletes in the scan's bottom-up order and at random, and
// a save: list and file must match a plain model at every step.
TEST(TStringList, SplitEditAndSaveMatchAPlainModelOnRandomTexts) {
  std::mt19937 rng(20030619);
  const auto random_text = [&](std::size_t max_size) {
    std::string text(rng() % (max_size + 1), 'x');
    for (char& c : text) c = "ab \t\x81\xe6"[rng() % 6];
    return text;
  };
  // Around the room a line and its break leave: just fitting, or not.
  const auto text_near = [&](std::size_t size) {
    const std::size_t wanted = size + rng() % 6;  // size - 2 to size + 3
    std::string text(wanted >= 2 ? wanted - 2 : 0, 'x');
    for (char& c : text) c = "ab \t\x81\xe6"[rng() % 6];
    return text;
  };
  Sandbox box;
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    const int count = static_cast<int>(rng() % 40);
    for (int i = 0; i < count; ++i) {
      bytes += random_text(rng() % 4 == 0 ? 130 : 20);
      bytes += std::vector<std::string>{"\r\n", "\r\n", "\n", "\r", "\n\r"}[rng() % 5];
    }
    if (rng() % 3 == 0) bytes += random_text(70);  // a last line without a break
    TStringList list;
    SetText(list, bytes);
    std::vector<std::string> model = ReferenceLines(bytes);
    ASSERT_EQ(Lines(list), model) << "round " << round;

    const bool bottom_up = rng() % 2 == 0;
    for (int32_t index = static_cast<int32_t>(model.size()) - 1; index >= 0; --index) {
      const int32_t i = bottom_up ? index : static_cast<int32_t>(rng() % model.size());
      const std::size_t at = static_cast<std::size_t>(i);
      const int32_t last = static_cast<int32_t>(model.size()) - 1;
      switch (rng() % 4) {
        case 0: {  // shorter or longer than the line and its break
          const std::string text = rng() % 2 ? text_near(model[at].size()) : random_text(30);
          list.SetStrings(i, text);
          model[at] = text;
          break;
        }
        case 1:
          if (i < last) {
            const std::string head = rng() % 2 ? text_near(model[at].size()) : random_text(40);
            const char separator = "\t ,"[rng() % 3];
            list.JoinWithNext(i, head, separator);
            model[at] = head + separator + model[at + 1];
            model.erase(model.begin() + i + 1);
          }
          break;
        case 2:
          if (i < last) {
            list.Delete(i + 1);
            model.erase(model.begin() + i + 1);
          }
          break;
        default: {  // a line of the list as the new text or head
          const int32_t from = static_cast<int32_t>(rng() % model.size());
          if (i < last && rng() % 2) {
            const std::string head = model[static_cast<std::size_t>(from)];
            list.JoinWithNext(i, list.Strings(from), '\t');
            model[at] = head + '\t' + model[at + 1];
            model.erase(model.begin() + i + 1);
          } else {
            list.SetStrings(i, list.Strings(from));
            model[at] = model[static_cast<std::size_t>(from)];
          }
        }
      }
      ASSERT_EQ(Lines(list), model) << "round " << round << ", line " << i;
    }
    if (round % 4 != 0) continue;  // saving costs a flush to disk
    list.SaveToFile(box.Path("saved.log"));
    std::string expected;
    for (const std::string& line : model) expected += line + "\r\n";
    ASSERT_EQ(box.Read("saved.log"), expected) << "round " << round;
  }
}

// A line of 16 MiB or more does not fit the compact record and is held
// apart; it must behave like any other.
TEST(TStringList, LinesOf16MiBAndMoreBehaveLikeShortOnes) {
  std::string long_line(std::size_t{1} << 24, 'a');
  long_line.back() = 'z';
  TStringList list;
  SetText(list, ".LOG\r\n9:05\r\n" + long_line + "\r\n" + long_line + "\r\nend");
  ASSERT_EQ(list.Count(), 5);
  EXPECT_TRUE(list.Strings(2) == long_line);

  list.JoinWithNext(1, "time", '\t');  // in place, before the long line's bytes
  list.JoinWithNext(0, "a head longer than the marker", ' ');  // no room: stored apart
  list.SetStrings(1, "short");        // a short line over a long one, in place
  list.SetStrings(2, list.Strings(0));  // a long line over a short one
  const std::string joined = "a head longer than the marker time\t" + long_line;
  EXPECT_TRUE(Lines(list) == (std::vector<std::string>{joined, "short", joined}));

  Sandbox box;
  list.SaveToFile(box.Path("long.log"));
  EXPECT_TRUE(box.Read("long.log") == joined + "\r\nshort\r\n" + joined + "\r\n");
}

TEST(TStringList, LoadingReplacesThePreviousFileAndRefusesNulAndNonFiles) {
  Sandbox box;
  box.Write("a.log", "one\r\ntwo\r\n");
  box.Write("b.log", "three");
  box.Write("nul.log", std::string("x\r\ny\0z\r\n", 8));
  ::mkdir(box.Path("dir").c_str(), 0755);
  ::mkfifo(box.Path("fifo").c_str(), 0644);

  TStringList list;
  list.LoadFromFile(box.Path("a.log"));
  list.LoadFromFile(box.Path("b.log"));
  EXPECT_EQ(Lines(list), std::vector<std::string>{"three"});
  for (const char* name : {"nul.log", "dir", "fifo", "missing.log"}) {
    EXPECT_THROW(list.LoadFromFile(box.Path(name)), EFOpenError) << name;
    EXPECT_EQ(Lines(list), std::vector<std::string>{"three"}) << name;
  }
  // The settings reader's variant: a NUL ends the text.
  list.LoadFromFileUpToNul(box.Path("nul.log"));
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"x", "y"}));

  // A NUL anywhere in a longer file, inside a block of the splitter or in
  // its short last block.
  for (std::size_t at : {0, 63, 64, 127, 150, 191}) {
    std::string bytes(192, 'a');
    for (std::size_t i = 30; i < bytes.size(); i += 31) bytes[i] = '\n';
    bytes[at] = '\0';
    box.Write("long-nul.log", bytes);
    EXPECT_THROW(list.LoadFromFile(box.Path("long-nul.log")), EFOpenError) << at;
  }
}

TEST(TStringList, SaveWritesCrLfAfterEveryLineAndRoundTripsCrLfFiles) {
  Sandbox box;
  const std::string crlf = ".LOG\r\n9:05 2003/06/19\r\n\r\n\xe6\x97\xa5\xe8\xa8\x98\t \r\n";
  box.Write("a.log", crlf);
  box.Write("b.log", "x\ny\rz");
  TStringList list;
  list.LoadFromFile(box.Path("a.log"));
  list.SaveToFile(box.Path("a.log"));
  EXPECT_EQ(box.Read("a.log"), crlf);
  list.LoadFromFile(box.Path("b.log"));
  list.SaveToFile(box.Path("b.log"));
  EXPECT_EQ(box.Read("b.log"), "x\r\ny\r\nz\r\n");
  TStringList empty;
  empty.SaveToFile(box.Path("b.log"));
  EXPECT_EQ(box.Read("b.log"), "");

  // Unchanged lines go out as runs of the loaded bytes, several megabytes
  // at a time.
  std::string big;
  for (int i = 0; big.size() < (std::size_t{10} << 20); ++i) big += std::to_string(i) + "\r\n";
  box.Write("big.log", big);
  list.LoadFromFile(box.Path("big.log"));
  list.SaveToFile(box.Path("big.log"));
  EXPECT_TRUE(box.Read("big.log") == big);
}

TEST(TStringList, SaveKeepsLinksModeAndPlaceAndLeavesNoTemporaryFile) {
  Sandbox box;
  box.Write("target.log", "old\r\n");
  ::chmod(box.Path("target.log").c_str(), 0640);
  ASSERT_EQ(::symlink("target.log", box.Path("link.log").c_str()), 0);
  box.Write("hard.log", "old\r\n");
  ASSERT_EQ(::link(box.Path("hard.log").c_str(), box.Path("hard2.log").c_str()), 0);

  TStringList list;
  list.Add("new");
  list.SaveToFile(box.Path("link.log"));
  list.SaveToFile(box.Path("hard.log"));
  list.SaveToFile(box.Path("created.log"));

  struct stat st;
  ASSERT_EQ(::lstat(box.Path("link.log").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
  EXPECT_EQ(box.Read("target.log"), "new\r\n");
  ASSERT_EQ(::stat(box.Path("target.log").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(box.Read("hard2.log"), "new\r\n") << "both hard links see the new text";
  EXPECT_EQ(box.Read("created.log"), "new\r\n");
  EXPECT_EQ(box.List(), (std::vector<std::string>{"created.log", "hard.log", "hard2.log",
                                                  "link.log", "logstamp", "target.log"}));
}

TEST(TStringList, SaveThatCannotCreateIsACreateFailureAndChangesNothing) {
  Sandbox box;
  ::mkdir(box.Path("dir.log").c_str(), 0755);
  TStringList list;
  list.Add("new");
  EXPECT_THROW(list.SaveToFile(box.Path("dir.log")), EFCreateError);
  EXPECT_THROW(list.SaveToFile(box.Path("nofolder/a.log")), EFCreateError);
  ::mkfifo(box.Path("fifo").c_str(), 0644);
  EXPECT_THROW(list.SaveToFile(box.Path("fifo")), EFCreateError);
}

}  // namespace

namespace {

// Another program's change between load and save must not be written over.
TEST(TStringList, SaveRefusesAFileChangedSinceItWasLoaded) {
  Sandbox box;
  box.Write("a.log", ".LOG\r\nold\r\n");
  TStringList list;
  list.LoadFromFile(box.Path("a.log"));
  list.SetStrings(1, "new");
  box.Write("a.log", ".LOG\r\nold\r\nappended by someone else\r\n");
  EXPECT_THROW(list.SaveToFile(box.Path("a.log")), EFCreateError);
  EXPECT_EQ(box.Read("a.log"), ".LOG\r\nold\r\nappended by someone else\r\n");
  EXPECT_EQ(box.List(), (std::vector<std::string>{"a.log", "logstamp"}));

  list.LoadFromFile(box.Path("a.log"));
  std::remove(box.Path("a.log").c_str());  // a log that vanished is created anew
  list.SaveToFile(box.Path("a.log"));
  EXPECT_EQ(box.Read("a.log"), ".LOG\r\nold\r\nappended by someone else\r\n");
}

}  // namespace
