// The signals that end a process, around a save. While a file beside a log
// is registered, SIGINT, SIGTERM, SIGHUP and SIGQUIT remove it and then end
// the process as they would have; a signal that was ignored stays ignored.
// Around the steps that must not be cut short, the same signals and SIGPIPE
// are held back and take effect when the step is over.
#pragma once

#include <signal.h>

#include <string>

// Names the one file that an ending signal removes: name in the folder of
// folder_fd. Call with the signals held back (BlockedSignals), together with
// the creation of that file, so that no signal finds one without the other.
void RemoveOnEndingSignal(int folder_fd, const std::string& name);

// No file is removed by a signal any more.
void ForgetOnEndingSignal();

// Holds back SIGINT, SIGTERM, SIGHUP, SIGQUIT and SIGPIPE for its lifetime.
class BlockedSignals {
 public:
  BlockedSignals();
  ~BlockedSignals();
  BlockedSignals(const BlockedSignals&) = delete;
  BlockedSignals& operator=(const BlockedSignals&) = delete;

 private:
  sigset_t saved_;  // the mask before
};
