#include "convert/string_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "support/sandbox.h"

namespace {

std::vector<std::string> Lines(const TStringList& list) {
  std::vector<std::string> lines;
  for (int32_t i = 0; i < list.Count(); ++i) lines.emplace_back(list.Strings(i));
  return lines;
}

void SetText(TStringList& list, const std::string& bytes) {
  std::unique_ptr<char[]> data(new char[bytes.size() + 1]);
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
  EXPECT_EQ(list.Strings(1), "b");
  try {
    list.Strings(5);
  } catch (const EStringListError& e) {
    EXPECT_NE(e.Message.find("(5)"), std::string::npos) << e.Message;
  }
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
    switch ((seed >> 20) % 4) {
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
      default:
        list.Add(std::to_string(step));
        model.push_back(std::to_string(step));
    }
    ASSERT_EQ(Lines(list), model) << "step " << step;
  }
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
