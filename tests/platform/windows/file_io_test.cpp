#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/windows/handle.h"
#include "platform/windows/win32.h"
#include "support/windows/sandbox.h"

namespace {

void Replace(const std::string& path, const std::string& text, const FileIdentity* expected = nullptr) {
  ReplaceFileContent(path, [&](BlockSink& sink) { sink.Write(text.data(), text.size()); }, expected);
}

std::string AsRead(const std::string& path) {
  const FileBytes bytes = ReadWholeFile(path);
  return std::string(bytes.data.get(), bytes.size);
}

Handle OpenFor(const std::string& path, DWORD access, DWORD share) {
  return Handle(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr));
}

TEST(ReadWholeFile, ReadsDiskFilesOnlyAndNoneThatAnotherProgramWrites) {
  Sandbox box;
  box.Write("a.log", std::string("x\0y\r\n", 5));
  EXPECT_EQ(AsRead(box.Path("a.log")), std::string("x\0y\r\n", 5));
  box.MakeFolder("dir.log");
  EXPECT_THROW(ReadWholeFile(box.Path("dir.log")), EFOpenError);
  EXPECT_THROW(ReadWholeFile(box.Path("missing.log")), EFOpenError);
  EXPECT_THROW(ReadWholeFile("NUL"), EFOpenError) << "a device";
  const Handle writer = OpenFor(box.Path("a.log"), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(writer.Valid());
  EXPECT_THROW(ReadWholeFile(box.Path("a.log")), EFOpenError);
}

TEST(ReplaceFileContent, ReplacesTheFileAndLeavesNothingBeside) {
  Sandbox box;
  box.Write("a.log", "old");
  SetFileAttributesA(box.Path("a.log").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  Replace(box.Path("a.log"), "new text");
  EXPECT_EQ(box.Read("a.log"), "new text");
  EXPECT_EQ(GetFileAttributesA(box.Path("a.log").c_str()) & FILE_ATTRIBUTE_HIDDEN,
            DWORD{FILE_ATTRIBUTE_HIDDEN});
  EXPECT_EQ(box.List(), (std::vector<std::string>{"a.log", "logstamp.exe"}));
  Replace(box.Path("new.log"), "created");  // a missing file is created
  EXPECT_EQ(box.Read("new.log"), "created");
  EXPECT_THROW(Replace(box.Path("no folder\\a.log"), "x"), EFCreateError);
}

TEST(ReplaceFileContent, AReadOnlyFileOrOneHeldOpenIsACreateFailureAndKeepsItsBytes) {
  Sandbox box;
  box.Write("ro.log", "old");
  SetFileAttributesA(box.Path("ro.log").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_THROW(Replace(box.Path("ro.log"), "new"), EFCreateError);
  EXPECT_EQ(box.Read("ro.log"), "old");
  box.Write("held.log", "old");
  {
    const Handle reader = OpenFor(box.Path("held.log"), GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(reader.Valid());
    EXPECT_THROW(Replace(box.Path("held.log"), "new"), EFCreateError);
  }
  EXPECT_EQ(box.Read("held.log"), "old");
  box.MakeFolder("dir.log");
  EXPECT_THROW(Replace(box.Path("dir.log"), "new"), EFCreateError);
  EXPECT_EQ(box.List(), (std::vector<std::string>{"dir.log", "held.log", "logstamp.exe", "ro.log"}));
}

TEST(ReplaceFileContent, AFileChangedSinceItWasReadIsNotWrittenOver) {
  Sandbox box;
  box.Write("a.log", "as read");
  const FileBytes read = ReadWholeFile(box.Path("a.log"));
  Sleep(20);  // a later last-write time, whatever the clock's grain
  box.Write("a.log", "another program's text");
  EXPECT_THROW(Replace(box.Path("a.log"), "converted", &read.identity), EFCreateError);
  EXPECT_EQ(box.Read("a.log"), "another program's text");

  // Replaced by another file of the same bytes: another identity.
  box.Write("b.log", "same");
  const FileBytes b = ReadWholeFile(box.Path("b.log"));
  box.Write("c.log", "same");
  ASSERT_TRUE(MoveFileExA(box.Path("c.log").c_str(), box.Path("b.log").c_str(),
                          MOVEFILE_REPLACE_EXISTING));
  EXPECT_THROW(Replace(box.Path("b.log"), "converted", &b.identity), EFCreateError);
  EXPECT_EQ(box.Read("b.log"), "same");

  // Unchanged: written. Deleted meanwhile: created anew.
  const FileBytes again = ReadWholeFile(box.Path("a.log"));
  Replace(box.Path("a.log"), "converted", &again.identity);
  EXPECT_EQ(box.Read("a.log"), "converted");
  const FileBytes gone = ReadWholeFile(box.Path("a.log"));
  ASSERT_TRUE(DeleteFileA(box.Path("a.log").c_str()));
  Replace(box.Path("a.log"), "created", &gone.identity);
  EXPECT_EQ(box.Read("a.log"), "created");
}

TEST(ReplaceFileContent, HardLinksAreRewrittenInPlaceSoBothNamesSeeTheText) {
  Sandbox box;
  box.Write("a.log", "old");
  if (!CreateHardLinkA(box.Path("b.log").c_str(), box.Path("a.log").c_str(), nullptr)) {
    GTEST_SKIP() << "this file system makes no hard links (error " << GetLastError() << ")";
  }
  Replace(box.Path("a.log"), "new");
  EXPECT_EQ(box.Read("a.log"), "new");
  EXPECT_EQ(box.Read("b.log"), "new");
}

TEST(ReplaceFileContent, ALinkStaysALinkAndItsTargetGetsTheText) {
  Sandbox box;
  box.Write("target.log", "old");
  if (!CreateSymbolicLinkA(box.Path("link.log").c_str(), box.Path("target.log").c_str(), 0)) {
    GTEST_SKIP() << "no symbolic link can be made here (error " << GetLastError()
                 << "): on Windows that needs the right to create them or developer mode";
  }
  if (!box.Exists("link.log")) {
    GTEST_SKIP() << "CreateSymbolicLinkA reports success but makes no link (Wine " << WineVersion()
                 << "'s is a stub); tests/wine/symlink-test converts a log through a Unix link";
  }
  Replace(box.Path("link.log"), "new");
  EXPECT_EQ(box.Read("target.log"), "new");
  EXPECT_NE(GetFileAttributesA(box.Path("link.log").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u)
      << "the link itself is still a link";
  EXPECT_EQ(box.List(), (std::vector<std::string>{"link.log", "logstamp.exe", "target.log"}));
}

std::vector<char> Dacl(const std::string& path) {
  DWORD needed = 0;
  GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
  std::vector<char> descriptor(needed);
  if (needed == 0 || !GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(),
                                       needed, &needed)) {
    descriptor.clear();
  }
  return descriptor;
}

TEST(ReplaceFileContent, TheNewFileHasTheOldOnesAccessRights) {
  if (RunningUnderWine()) {
    GTEST_SKIP() << "Wine " << WineVersion() << " keeps a file's access rights as its Unix mode "
                 << "bits and maps a security descriptor to them and back lossily (a log of mode "
                 << "0600 comes back 0770), so the descriptor cannot be compared here";
  }
  Sandbox box;
  box.Write("a.log", "old");
  const std::vector<char> before = Dacl(box.Path("a.log"));
  ASSERT_FALSE(before.empty());
  Replace(box.Path("a.log"), "new");
  EXPECT_EQ(Dacl(box.Path("a.log")), before);
}

TEST(ExistsAndIsNoFolder, TellsFilesFromFoldersAndMissingNames) {
  Sandbox box;
  box.Write("a.ini", "");
  box.MakeFolder("d.ini");
  EXPECT_TRUE(ExistsAndIsNoFolder(box.Path("a.ini")));
  EXPECT_FALSE(ExistsAndIsNoFolder(box.Path("d.ini")));
  EXPECT_FALSE(ExistsAndIsNoFolder(box.Path("none.ini")));
}

}  // namespace
