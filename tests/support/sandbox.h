// End-to-end test support: a temporary folder with its own copy of the real
// build/logstamp (so its settings file is the folder's own), files written
// and read back as bytes, and runs of the program with captured stderr.
#pragma once

#include <string>
#include <vector>

#include "support/temp_dir.h"

struct RunResult {
  int exit_code = -1;  // -1 when killed by a signal
  std::string err;     // everything written to stderr
};

struct RunOptions {
  std::string locale = "C.UTF-8";     // LC_ALL for the run
  std::vector<std::string> env;       // extra NAME=VALUE entries
  std::vector<std::string> wrapper;   // a command the program runs under (setpriv, ...)
  long file_size_limit = -1;          // RLIMIT_FSIZE in bytes, when >= 0
};

inline RunOptions InLocale(std::string locale) {
  RunOptions options;
  options.locale = std::move(locale);
  return options;
}
inline RunOptions WithFileSizeLimit(long bytes) {
  RunOptions options;
  options.file_size_limit = bytes;
  return options;
}
inline RunOptions Wrapped(std::vector<std::string> wrapper) {
  RunOptions options;
  options.wrapper = std::move(wrapper);
  return options;
}

// The environment of a run of the program: this process's, without its
// locale and desktop variables, with LC_ALL set to locale and LOCPATH to the
// test locales.
std::vector<std::string> RunEnvironment(const std::string& locale);

class Sandbox {
 public:
  Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::string& Dir() const { return dir_.Dir(); }
  std::string Path(const std::string& name) const { return dir_.Path(name); }
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // The settings file beside the program's copy.
  void WriteIni(const std::string& bytes) const { Write("logstamp.ini", bytes); }
  // Names in the folder, sorted (the program's copy and its settings included).
  std::vector<std::string> List() const;

  // Runs the copy with the arguments, from the folder as current directory.
  RunResult Run(const std::vector<std::string>& args, const RunOptions& options = {}) const;

 private:
  TempDir dir_;
};
