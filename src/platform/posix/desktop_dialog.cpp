#include "platform/posix/desktop_dialog.h"

#include <fcntl.h>
#include <langinfo.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/charset.h"
#include "platform/message_box.h"

extern char** environ;

namespace {

using Command = std::vector<std::string>;

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// Dialog texts are UTF-8. A CR LF (a line break as boxes take it) becomes a
// line feed.
std::string DialogText(std::string_view local) { return ToUtf8(WithoutCrBeforeLf(local)); }

// The dialog programs read their arguments in the charset of their locale.
// They are given UTF-8, so under a locale of another charset they run under
// C.UTF-8. Closing a zenity box without its OK button (Escape, the window's
// close button) counts as closed too: its exit code is made 0 like the OK
// button's, so that any other code means the box could not be shown.
std::vector<std::string> DialogEnvironment() {
  const bool utf8 = CharsetIsUtf8();
  std::vector<std::string> env;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view e = *entry;
    if (e.starts_with("ZENITY_OK=") || e.starts_with("ZENITY_ESC=")) continue;
    if (!utf8 && e.starts_with("LC_ALL=")) continue;
    env.emplace_back(e);
  }
  env.push_back("ZENITY_OK=0");
  env.push_back("ZENITY_ESC=0");
  if (!utf8) env.push_back("LC_ALL=C.UTF-8");
  return env;
}

std::vector<Command> DialogCommands(const std::string& caption, const std::string& text,
                                    bool error) {
  return {
      // --no-markup: a file name holding < or & is shown as it is.
      {"zenity", error ? "--error" : "--info", "--title", caption, "--text", text, "--no-markup"},
      {"kdialog", "--title", caption, error ? "--error" : "--msgbox", text},
      // international: draws the text in the locale's charset where the X
      // server has the fonts for it.
      {"xmessage", "-title", caption, "-xrm", "*international: true", "-buttons", "OK:0",
       "-default", "OK", "-center", text},
  };
}

// Starts the command from PATH, without a shell, and waits for it. True when
// it ran and exited with 0: the box was shown and closed.
bool RunDialog(const Command& command, const std::vector<std::string>& env) {
  std::vector<char*> argv;
  for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  // The dialog programs' own warnings would only clutter the program's
  // stderr; a box that fails shows up there in the stderr form instead.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  // Signals the program ignores (SIGXFSZ) are the dialog's to handle again.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  const int started =
      posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return false;

  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int DesktopDialogSink::Show(std::string_view caption, std::string_view text, unsigned style) {
  const bool error = (style & 0xF0) == MB_ICONERROR;  // the icon's bits of the style
  const std::vector<std::string> env = DialogEnvironment();
  for (const Command& command : DialogCommands(DialogText(caption), DialogText(text), error)) {
    if (RunDialog(command, env)) return 1;
  }
  return WriteMessageToStderr(caption, text);
}

bool DesktopDialogsWanted() {
  if (::isatty(STDERR_FILENO)) return false;
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}
