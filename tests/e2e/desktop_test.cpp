// The real program on a desktop: an X server of the test's own (Xvfb) with a
// window manager (openbox, which draws the captions), the messages shown by
// zenity, read and closed by key presses through xdotool, and screenshots of
// each dialog kept in the build folder under test-artefacts/ for a person to
// look at.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/sandbox.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

struct CommandResult {
  int exit_code = -1;
  std::string out;
};

// The test's environment with DISPLAY set to the display.
std::vector<std::string> EnvironmentOn(const std::string& display) {
  std::vector<std::string> env;
  for (const std::string& e : CurrentEnvironment()) {
    if (!e.starts_with("DISPLAY=")) env.push_back(e);
  }
  env.push_back("DISPLAY=" + display);
  return env;
}

// Runs a program from PATH on the display and collects its stdout.
CommandResult RunOn(const std::string& display, const std::vector<std::string>& command) {
  ChildOptions options;
  options.env = EnvironmentOn(display);
  options.capture_stdout = true;
  ChildProcess process(command, options);
  CommandResult result;
  result.exit_code = process.Wait();
  result.out = process.Stdout();
  while (!result.out.empty() && result.out.back() == '\n') result.out.pop_back();
  return result;
}

// An X server on a free display, for the test's lifetime.
class Xvfb {
 public:
  Xvfb() {
    int ready[2];
    if (::pipe(ready) != 0) return;
    ::fcntl(ready[0], F_SETFD, FD_CLOEXEC);
    const std::string fd = std::to_string(ready[1]);
    server_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        "Xvfb", "-displayfd", fd, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    ::close(ready[1]);
    // Xvfb writes the display number once it accepts clients.
    std::string number;
    pollfd p{ready[0], POLLIN, 0};
    char c;
    while (::poll(&p, 1, 20000) == 1 && ::read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(ready[0]);
    if (!number.empty()) display_ = ":" + number;
  }
  ~Xvfb() { Stop(); }

  const std::string& Display() const { return display_; }
  void Stop() {
    if (!server_) return;
    server_->Signal(SIGTERM);
    server_->Wait();
    server_.reset();
  }

 private:
  std::unique_ptr<ChildProcess> server_;
  std::string display_;
};

// A window manager on the display, started and ready, for the test's lifetime.
class WindowManager {
 public:
  explicit WindowManager(const std::string& display) {
    const std::string ready = scratch_.Path("ready");
    ChildOptions options;
    options.env = EnvironmentOn(display);
    // openbox runs the --startup command once it manages the screen.
    manager_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"openbox", "--sm-disable", "--startup", "touch " + ready}, options);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (manager_->Running() && std::chrono::steady_clock::now() < deadline) {
      if (::access(ready.c_str(), F_OK) == 0) {
        ready_ = true;
        break;
      }
      std::this_thread::sleep_for(50ms);
    }
  }
  ~WindowManager() {
    manager_->Signal(SIGTERM);
    manager_->Wait();
  }
  bool Ready() const { return ready_; }

 private:
  TempDir scratch_{"logstamp-wm"};
  std::unique_ptr<ChildProcess> manager_;
  bool ready_ = false;
};

struct Window {
  std::string id;
  std::string pid;  // the dialog process's, to tell one dialog from the next
};

class Desktop {
 public:
  explicit Desktop(std::string display) : display_(std::move(display)) {}

  // A visible window titled exactly CAPTION whose process is not
  // not_from; empty after 30 seconds without one.
  Window WaitForDialog(const std::string& caption, const std::string& not_from = "") const {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
      std::istringstream ids(
          Run({"xdotool", "search", "--onlyvisible", "--name", "^" + caption + "$"}).out);
      std::string id;
      while (std::getline(ids, id)) {
        const std::string pid = Run({"xdotool", "getwindowpid", id}).out;
        if (!pid.empty() && pid != not_from) return {id, pid};
      }
      std::this_thread::sleep_for(100ms);
    }
    return {};
  }
  std::string Title(const Window& w) const { return Run({"xdotool", "getwindowname", w.id}).out; }
  // The whole screen, once the dialog has had time to draw itself.
  bool Screenshot(const std::string& path) const {
    std::this_thread::sleep_for(1s);
    return Run({"import", "-window", "root", path}).exit_code == 0;
  }
  bool Press(const Window& w, const std::string& key) const {
    return Run({"xdotool", "windowactivate", "--sync", w.id, "key", key}).exit_code == 0;
  }

 private:
  CommandResult Run(const std::vector<std::string>& command) const {
    return RunOn(display_, command);
  }
  std::string display_;
};

std::filesystem::path ArtefactDir() {
  auto dir = std::filesystem::path(LOGSTAMP_EXE).parent_path() / "test-artefacts";
  std::filesystem::create_directories(dir);
  return dir;
}

struct Dialog {
  const char* caption;
  const char* key;  // the key that closes it
  const char* screenshot;
};

class DesktopRun : public testing::Test {
 protected:
  void SetUp() override {
    std::string missing;
    for (const char* tool : {"Xvfb", "openbox", "zenity", "xdotool", "import", "fc-list"}) {
      if (!OnPath(tool)) missing += std::string(" ") + tool;
    }
    if (!missing.empty()) {
      GTEST_SKIP() << "the X packages are not installed (./scripts/setup installs them); "
                      "missing:"
                   << missing;
    }
    xvfb_ = std::make_unique<Xvfb>();
    ASSERT_FALSE(xvfb_->Display().empty()) << "Xvfb did not start";
    window_manager_ = std::make_unique<WindowManager>(xvfb_->Display());
    ASSERT_TRUE(window_manager_->Ready()) << "openbox did not start";
    if (RunOn(xvfb_->Display(), {"fc-list", ":lang=ja", "family"}).out.empty()) {
      GTEST_SKIP() << "no Japanese font (fonts-ipafont-gothic or fonts-noto-cjk) is installed";
    }
  }
  void TearDown() override {
    window_manager_.reset();
    xvfb_.reset();
  }

  // Runs the program on the files and expects the dialogs in this order,
  // each closed by its key; then the run must end with exit code 0 and
  // nothing on stderr.
  void ExpectDialogs(const std::vector<std::string>& files, const std::string& locale,
                     const std::vector<Dialog>& dialogs) {
    const Desktop desktop(xvfb_->Display());
    Sandbox box;
    RunOptions options = InLocale(locale);
    options.env.push_back("DISPLAY=" + xvfb_->Display());
    options.env.push_back("NO_AT_BRIDGE=1");  // no accessibility bus to wait for here
    RunResult result;
    std::thread run([&] { result = box.Run(files, options); });

    const auto artefacts = ArtefactDir();
    std::string previous;
    bool shown = true;
    for (const Dialog& d : dialogs) {
      SCOPED_TRACE(d.screenshot);
      const Window w = desktop.WaitForDialog(d.caption, previous);
      if (w.id.empty()) {
        ADD_FAILURE() << "no dialog titled " << d.caption;
        shown = false;
        break;
      }
      EXPECT_EQ(desktop.Title(w), d.caption);
      EXPECT_TRUE(desktop.Screenshot(artefacts / d.screenshot));
      std::cout << "screenshot: " << (artefacts / d.screenshot).string() << "\n";
      EXPECT_TRUE(desktop.Press(w, d.key));
      previous = w.pid;
    }
    if (!shown) xvfb_->Stop();  // the open dialog fails and the run can end
    run.join();
    if (!shown) return;
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.err, "") << "every message was shown as a dialog";
  }

 private:
  std::unique_ptr<Xvfb> xvfb_;
  std::unique_ptr<WindowManager> window_manager_;
};

// Two files that cannot be read: a name with markup characters, shown as it
// is, and a Shift_JIS name under a UTF-8 desktop, shown with replacement
// characters. Escape closes a box as OK does.
TEST_F(DesktopRun, MessagesAreModalDialogsAndTheRunGoesOnAfterEach) {
  ExpectDialogs({"無い<b>&amp;.log", "\x93\xfa\x8b\x4c.log"}, "ja_JP.UTF-8",
                {{"読み込みエラー", "Return", "desktop-read-error.png"},
                 {"読み込みエラー", "Escape", "desktop-read-error-sjis-name.png"},
                 {"報告", "Return", "desktop-summary.png"}});
}

// Under a Shift_JIS locale the texts reach the dialog as UTF-8 all the same.
TEST_F(DesktopRun, ShiftJisLocaleShowsReadableDialogs) {
  ExpectDialogs({"\x93\xfa\x8b\x4c.log"}, "ja_JP.SJIS",
                {{"読み込みエラー", "Return", "desktop-sjis-locale-read-error.png"},
                 {"報告", "Return", "desktop-sjis-locale-summary.png"}});
}

}  // namespace
