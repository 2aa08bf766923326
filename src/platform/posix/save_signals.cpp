#include "platform/posix/save_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The registered file, read by the handler: only plain stores and loads of
// these, made while the signals are held back.
volatile sig_atomic_t registered_folder = -1;
char registered_name[NAME_MAX + 1];

void OnEndingSignal(int signal) {
  // Only async-signal-safe calls here.
  if (registered_folder >= 0) ::unlinkat(registered_folder, registered_name, 0);
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  ::raise(signal);  // held back until the handler returns, then ends the process
}

void InstallHandlersOnce() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (const int signal : kEndingSignals) {
    struct sigaction previous {};
    if (::sigaction(signal, nullptr, &previous) != 0) continue;
    if (!(previous.sa_flags & SA_SIGINFO) && previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnEndingSignal;
    ::sigemptyset(&action.sa_mask);
    for (const int other : kEndingSignals) ::sigaddset(&action.sa_mask, other);
    ::sigaction(signal, &action, nullptr);
  }
}

sigset_t HeldBack() {
  sigset_t set;
  ::sigemptyset(&set);
  for (const int signal : kEndingSignals) ::sigaddset(&set, signal);
  ::sigaddset(&set, SIGPIPE);
  return set;
}

}  // namespace

void RemoveOnEndingSignal(int folder_fd, const std::string& name) {
  InstallHandlersOnce();
  if (name.size() > NAME_MAX) return;
  registered_folder = -1;
  std::memcpy(registered_name, name.c_str(), name.size() + 1);
  registered_folder = folder_fd;
}

void ForgetOnEndingSignal() { registered_folder = -1; }

BlockedSignals::BlockedSignals() {
  const sigset_t set = HeldBack();
  ::sigprocmask(SIG_BLOCK, &set, &saved_);
}

BlockedSignals::~BlockedSignals() {
  ::sigprocmask(SIG_SETMASK, &saved_, nullptr);
}
