// Desktop dialogs, shown by stand-ins for zenity, kdialog and xmessage: small
// scripts in a folder that is the whole PATH, each recording its arguments
// and the environment it was given, and ending with the exit code it is told.
#include "platform/posix/desktop_dialog.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/charset.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

struct Call {
  std::string program;
  std::vector<std::string> args;
  std::map<std::string, std::string> env;  // LC_ALL, ZENITY_OK, ZENITY_ESC
};

// Points fd 2 at a file (or a device) for the scope.
class ScopedStderr {
 public:
  explicit ScopedStderr(const std::string& path) : saved_(::dup(STDERR_FILENO)) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(fd, STDERR_FILENO);
    ::close(fd);
  }
  explicit ScopedStderr(int fd) : saved_(::dup(STDERR_FILENO)) { ::dup2(fd, STDERR_FILENO); }
  ~ScopedStderr() {
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
  }

 private:
  int saved_;
};

constexpr int kMissing = -1;  // no such program on PATH
constexpr int kAborts = -2;   // dies of SIGABRT

class FakeDialogs : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(locale_.Use("ja_JP.UTF-8")); }

  // Installs a stand-in that exits with the code, or none for kMissing.
  void Fake(const std::string& program, int exit_code) {
    const std::string path = dir_ + "/" + program;
    std::filesystem::remove(path);
    if (exit_code == kMissing) return;
    std::ofstream script(path);
    // Fields end with NUL, calls with RS (036); only shell built-ins are used
    // since PATH holds nothing else.
    script << "#!/bin/sh\n"
           << "{ printf '%s\\0' " << program << " \"$@\"\n"
           << "  printf 'LC_ALL=%s\\0ZENITY_OK=%s\\0ZENITY_ESC=%s\\0\\036' "
              "\"$LC_ALL\" \"$ZENITY_OK\" \"$ZENITY_ESC\"\n"
           << "} >> '" << dir_ << "/calls'\n"
           << (exit_code == kAborts ? "kill -ABRT $$\n" : "exit " + std::to_string(exit_code) + "\n");
    script.close();
    ::chmod(path.c_str(), 0755);
  }
  void Fakes(int zenity, int kdialog, int xmessage) {
    Fake("zenity", zenity);
    Fake("kdialog", kdialog);
    Fake("xmessage", xmessage);
  }

  // Shows one box with PATH and stderr redirected; stderr's bytes go to err.
  int Show(std::string_view caption, std::string_view text, unsigned style) {
    ScopedEnv path("PATH", dir_);
    ScopedStderr to_file(dir_ + "/stderr");
    return DesktopDialogSink().Show(caption, text, style);
  }

  std::vector<Call> Calls() const {
    std::vector<Call> calls;
    std::ifstream in(dir_ + "/calls", std::ios::binary);
    std::string record;
    while (std::getline(in, record, '\036')) {
      std::vector<std::string> fields;
      std::istringstream fields_in(record);
      std::string field;
      while (std::getline(fields_in, field, '\0')) fields.push_back(field);
      Call call;
      call.program = fields.at(0);
      for (std::size_t i = 1; i + 3 < fields.size(); ++i) call.args.push_back(fields[i]);
      for (std::size_t i = fields.size() - 3; i < fields.size(); ++i) {
        const std::size_t eq = fields[i].find('=');
        call.env[fields[i].substr(0, eq)] = fields[i].substr(eq + 1);
      }
      calls.push_back(call);
    }
    return calls;
  }
  std::vector<std::string> Programs() const {
    std::vector<std::string> programs;
    for (const Call& call : Calls()) programs.push_back(call.program);
    return programs;
  }
  std::string Err() const {
    std::ifstream in(dir_ + "/stderr", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  ScopedLocale locale_;
  TempDir scratch_{"logstamp-dialogs"};
  const std::string& dir_ = scratch_.Dir();
};

TEST_F(FakeDialogs, ZenityShowsTheBoxWithTheIconOfTheStyle) {
  Fakes(0, 0, 0);
  EXPECT_EQ(Show("読み込みエラー", "ファイル a.log を開けませんでした。", 0x10), 1);
  EXPECT_EQ(Show("報告", "1件中 1件のファイルを処理できませんでした。", 0x40), 1);
  EXPECT_EQ(Show("アプリケーション エラー", "x", 0x10 | 0x2000), 1);
  const std::vector<Call> calls = Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].program, "zenity");
  EXPECT_EQ(calls[0].args,
            (std::vector<std::string>{"--error", "--title", "読み込みエラー", "--text",
                                      "ファイル a.log を開けませんでした。", "--no-markup"}));
  EXPECT_EQ(calls[1].args.at(0), "--info");
  EXPECT_EQ(calls[2].args.at(0), "--error");
  // Escape or the close button must count as closing the box, like OK.
  EXPECT_EQ(calls[0].env.at("ZENITY_OK"), "0");
  EXPECT_EQ(calls[0].env.at("ZENITY_ESC"), "0");
  const char* lc_all = std::getenv("LC_ALL");
  EXPECT_EQ(calls[0].env.at("LC_ALL"), lc_all ? lc_all : "") << "a UTF-8 locale is kept";
  EXPECT_EQ(Err(), "");
}

TEST_F(FakeDialogs, TextReachesTheDialogAsItIsWithBytesThatAreNoCharacterReplaced) {
  Fakes(0, 0, 0);
  const std::string text =
      "ファイル $(touch x) `id` \"q\" 'a' <b>&amp; C:\\new\\t ~ * \x93\xfa\x8b\x4c.log\r\nnext";
  EXPECT_EQ(Show("<&>", text, 0x10), 1);
  const std::vector<Call> calls = Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args.at(2), "<&>");
  EXPECT_EQ(calls[0].args.at(4),
            "ファイル $(touch x) `id` \"q\" 'a' <b>&amp; C:\\new\\t ~ * "
            "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDL.log\nnext");
}

TEST_F(FakeDialogs, OtherCharsetsReachTheDialogAsUtf8) {
  ScopedLocale locale;
  Fakes(0, 0, 0);
  ASSERT_TRUE(locale.Use("ja_JP.SJIS"));
  EXPECT_EQ(Show(LocalText("報告"), "\x93\xfa\x8b\x4c.log", 0x40), 1);
  locale.Use("C");  // LocalText falls back to UTF-8 here
  EXPECT_EQ(Show(LocalText("報告"), "a", 0x40), 1);

  const std::vector<Call> calls = Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].args.at(2), "報告");
  EXPECT_EQ(calls[0].args.at(4), "日記.log");
  EXPECT_EQ(calls[0].env.at("LC_ALL"), "C.UTF-8") << "reads its arguments as UTF-8";
  EXPECT_EQ(calls[1].args.at(2), "報告");
  EXPECT_EQ(calls[1].env.at("LC_ALL"), "C.UTF-8");
}

TEST_F(FakeDialogs, TriesTheProgramsInTurnAndFallsBackToStderr) {
  const struct {
    int zenity, kdialog, xmessage;
    std::vector<std::string> tried;
    bool on_stderr;
  } cases[] = {
      {0, 0, 0, {"zenity"}, false},
      {kMissing, 0, 0, {"kdialog"}, false},
      {255, kMissing, 0, {"zenity", "xmessage"}, false},  // zenity's own failure
      {1, kAborts, 0, {"zenity", "kdialog", "xmessage"}, false},  // no display, say
      {1, 1, 1, {"zenity", "kdialog", "xmessage"}, true},
      {kMissing, kMissing, kMissing, {}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.zenity << " " << c.kdialog << " " << c.xmessage);
    std::filesystem::remove(dir_ + "/calls");
    Fakes(c.zenity, c.kdialog, c.xmessage);
    EXPECT_EQ(Show("読み込みエラー", "ファイル a.log を開けませんでした。", 0x10), 1);
    EXPECT_EQ(Programs(), c.tried);
    EXPECT_EQ(Err().ends_with(": 読み込みエラー: ファイル a.log を開けませんでした。\n"),
              c.on_stderr)
        << Err();
  }
}

TEST_F(FakeDialogs, KdialogAndXmessageGetTitleIconAndText) {
  Fakes(kMissing, 0, 0);
  Show("報告", "t1", 0x40);
  Show("読み込みエラー", "t2", 0x10);
  Fakes(kMissing, kMissing, 0);
  Show("報告", "t3", 0x40);
  const std::vector<Call> calls = Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].args, (std::vector<std::string>{"--title", "報告", "--msgbox", "t1"}));
  EXPECT_EQ(calls[1].args,
            (std::vector<std::string>{"--title", "読み込みエラー", "--error", "t2"}));
  EXPECT_EQ(calls[2].program, "xmessage");
  EXPECT_EQ(calls[2].args.at(0), "-title");
  EXPECT_EQ(calls[2].args.at(1), "報告");
  EXPECT_EQ(calls[2].args.back(), "t3");
}

TEST_F(FakeDialogs, NothingCouldShowTheBox) {
  Fakes(kMissing, kMissing, kMissing);
  ScopedEnv path("PATH", dir_);
  const int full = ::open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  int result;
  {
    ScopedStderr to_full(full);
    result = DesktopDialogSink().Show("c", "t", 0x10);
  }
  ::close(full);
  EXPECT_EQ(result, 0);
}

TEST(DesktopDialogsWanted, OnlyWithADisplayAndNoTerminal) {
  const struct {
    std::optional<std::string> display, wayland;
    bool wanted;
  } cases[] = {
      {std::nullopt, std::nullopt, false},
      {":0", std::nullopt, true},
      {std::nullopt, "wayland-0", true},
      {"", "", false},
      {"localhost:10.0", "", true},
  };
  const std::string err_file = testing::TempDir() + "logstamp-dialogs-wanted";
  for (const auto& c : cases) {
    ScopedEnv display("DISPLAY", c.display);
    ScopedEnv wayland("WAYLAND_DISPLAY", c.wayland);
    bool wanted;
    {
      ScopedStderr to_file(err_file);
      wanted = DesktopDialogsWanted();
    }
    EXPECT_EQ(wanted, c.wanted) << c.display.value_or("(unset)") << " "
                                << c.wayland.value_or("(unset)");
  }
  std::filesystem::remove(err_file);

  // A terminal on stderr keeps the messages there.
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  ScopedEnv display("DISPLAY", ":0");
  bool wanted;
  {
    ScopedStderr to_terminal(terminal);
    wanted = DesktopDialogsWanted();
  }
  EXPECT_FALSE(wanted);
  ::close(terminal);
  ::close(master);
}

}  // namespace
