#include "app/setting_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "app/mem_ini_file.h"
#include "convert/globals.h"
#include "platform/command_line.h"
#include "platform/exceptions.h"
#include "support/scoped_env.h"
#include "support/sandbox.h"

namespace {

std::string Format(const Sandbox& box, const std::string& ini) {
  box.WriteIni(ini);
  return TMemIniFile(box.Path("logstamp.ini")).ReadString("DateTime", "Format", "default");
}

TEST(TMemIniFile, ReadsKeysAsWrittenAfterTheFirstEquals) {
  Sandbox box;
  const struct {
    std::string ini;
    const char* format;
  } cases[] = {
      {"[DateTime]\r\nFormat=yyyy-mm-dd hh:nn\r\n", "yyyy-mm-dd hh:nn"},
      {"[datetime]\nFORMAT=hh:nn\n", "hh:nn"},                  // case is ignored
      {"[ DateTime ]\nFormat=hh:nn\n", "default"},               // blanks belong to the name
      {"[DateTime]\nFormat = hh:nn\n", "default"},               // so do they to the key
      {"[DateTime]\nFormat= hh:nn\n", " hh:nn"},
      {"[DateTime]\nFormat=\n", ""},                             // empty, not the default
      {"[DateTime]\nFormat=a=b\n", "a=b"},
      {"[DateTime]\n;Format=hh:nn\n", "default"},                // a comment
      {"[DateTime]\n ;x\nFormat=hh\n", "hh"},                    // only the first byte makes one
      {"Format=hh:nn\n[DateTime]\n", "default"},                 // before any section
      {"\xEF\xBB\xBF[DateTime]\nFormat=hh\n", "hh"},             // a UTF-8 BOM is skipped
      {"[DateTime]\n\xEF\xBB\xBF" "Format=hh\n", "default"},     // only at the file's start
      {"[DateTime]\nFormat=first\nFormat=second\n", "first"},
      {"[DateTime]\nx=1\n[DateTime]\nFormat=second\n", "default"},  // only the first section
      {"[DateTime]\rFormat=cr\r", "cr"},
      {"[Other]\n[DateTime] ;c\nFormat=y\n", "default"},  // no header: y stays in Other
      {"[DateTime]\nFormat=\xE5\xB9\xB4 yyyy\n", "\xE5\xB9\xB4 yyyy"},
      {std::string("[DateTime]\nFormat=ab\0cd\n", 24), "ab"},  // a NUL ends the text
  };
  for (const auto& c : cases) EXPECT_EQ(Format(box, c.ini), c.format) << c.ini;
}

TEST(TMemIniFile, MissingFileOrFolderGivesDefaultsAndUnreadableFileFails) {
  Sandbox box;
  EXPECT_EQ(TMemIniFile(box.Path("none.ini")).ReadString("DateTime", "Format", "d"), "d");
  ::mkdir(box.Path("dir.ini").c_str(), 0755);
  EXPECT_EQ(TMemIniFile(box.Path("dir.ini")).ReadString("DateTime", "Format", "d"), "d");
  ::mkfifo(box.Path("fifo.ini").c_str(), 0644);
  EXPECT_THROW(TMemIniFile(box.Path("fifo.ini")), EFOpenError);
}

TEST(TMemIniFile, NonAsciiNamesCompareByTheLocalesCaseRules) {
  ScopedLocale locale;
  ASSERT_TRUE(locale.Use("de_DE.UTF-8"));
  Sandbox box;
  box.WriteIni("[\xC3\x84nderung]\nSchl\xC3\xBC" "ssel=1\n");  // Änderung / Schlüssel
  const TMemIniFile ini(box.Path("logstamp.ini"));
  EXPECT_EQ(ini.ReadString("\xC3\xA4NDERUNG", "SCHL\xC3\x9CSSEL", "d"), "1");
}

// ReadSettingFile reads the settings file beside the running program: here
// the test program's own, written for each case and removed afterwards.
class ReadSettingFileTest : public ::testing::Test {
 protected:
  void TearDown() override { std::remove(IniPath().c_str()); }
  static std::string IniPath() { return ChangeFileExt(ParamStr(0), ".ini"); }
  static void Read(const std::string& ini) {
    std::ofstream(IniPath(), std::ios::binary) << ini;
    DateTimeFormat = "unset";
    Separator = 0;
    ReadSettingFile();
  }
};

// One test, not several: every case writes the same file.
TEST_F(ReadSettingFileTest, SeparatorKeywordsSingleBytesAndDefaults) {
  const struct {
    const char* value;
    char separator;
  } cases[] = {
      {"space", ' '},   {"Space", ' '},  {"SPACE", ' '},   {"commma", ','},
      {"COMMMA", ','},  {"comma", '\t'}, {",", ','},       {";", ';'},
      {"|", '|'},       {" ", ' '},      {"x", 'x'},       {"X", 'X'},
      {"tab", '\t'},    {"Tab", '\t'},   {"", '\t'},       {" space", '\t'},
      {"space ", '\t'}, {"\xE3\x80\x81", '\t'},  // one multi-byte character
  };
  for (const auto& c : cases) {
    Read(std::string("[Separate]\nSeparator=") + c.value + "\n");
    EXPECT_EQ(Separator, c.separator) << '"' << c.value << '"';
  }

  // Without the file, or without the section or key: the defaults.
  std::remove(IniPath().c_str());
  DateTimeFormat = "unset";
  Separator = 0;
  ReadSettingFile();
  EXPECT_EQ(DateTimeFormat, "yyyy/mm/dd hh:nn");
  EXPECT_EQ(Separator, '\t');
  Read("[DateTime]\nFormat=hh:nn\n[Separate]\n");
  EXPECT_EQ(DateTimeFormat, "hh:nn");
  EXPECT_EQ(Separator, '\t');
}

TEST(ChangeFileExt, ReplacesTheExtensionOfTheLastSegmentOnly) {
  EXPECT_EQ(ChangeFileExt("/opt/tools/logstamp", ".ini"), "/opt/tools/logstamp.ini");
  EXPECT_EQ(ChangeFileExt("/opt/tools/conv.exe", ".ini"), "/opt/tools/conv.ini");
  EXPECT_EQ(ChangeFileExt("/opt/tools/conv.old.exe", ".ini"), "/opt/tools/conv.old.ini");
  EXPECT_EQ(ChangeFileExt("/opt/my.dir/conv", ".ini"), "/opt/my.dir/conv.ini");
}

}  // namespace
