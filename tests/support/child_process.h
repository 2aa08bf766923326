// Programs the tests start: the real logstamp, dialog stand-ins, X servers.
// One way to start them, watch them, signal them and collect their output.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

struct ChildOptions {
  // The whole environment of the child; nullopt: this process's own.
  std::optional<std::vector<std::string>> env;
  std::string cwd;                 // empty: this process's current folder
  bool capture_stdout = false;     // else /dev/null
  bool capture_stderr = false;     // else /dev/null
  long file_size_limit = -1;       // RLIMIT_FSIZE in bytes, when >= 0
};

// A started child. Descriptors this process opened without O_CLOEXEC are
// inherited; stdin is /dev/null. A child still running when the object goes
// is killed (SIGKILL) and reaped.
class ChildProcess {
 public:
  // argv[0] without a slash is looked up on the PATH of the child's env.
  ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  // Not yet ended (an ended child stays unreaped until Wait).
  bool Running() const;
  void Signal(int signal) const;
  // Reads the captured output to its end, then reaps the child: its exit
  // code, -1 when a signal ended it (or it could not start: 127).
  int Wait();
  // After Wait: the signal that ended the child, or 0.
  int EndingSignal() const { return ending_signal_; }
  const std::string& Stdout() const { return out_; }
  const std::string& Stderr() const { return err_; }

 private:
  void Collect();
  pid_t pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  std::optional<int> exit_code_;
  int ending_signal_ = 0;
  std::string out_;
  std::string err_;
};

// This process's environment as NAME=VALUE entries.
std::vector<std::string> CurrentEnvironment();
