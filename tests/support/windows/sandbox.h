// End-to-end test support on Windows: a new folder under the user's
// temporary folder with its own copy of logstamp.exe (so its settings file
// is the folder's own), files written and read as bytes through the ...A
// functions (names in the ANSI code page), and runs of the copy with its
// standard error captured through a pipe.
#pragma once

#include <string>
#include <vector>

struct RunResult {
  unsigned long exit_code = 0;
  std::string err;  // everything written to standard error
};

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // The folder, without a trailing backslash.
  const std::string& Dir() const { return dir_; }
  std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  void MakeFolder(const std::string& name) const;
  void WriteIni(const std::string& bytes) const { Write("logstamp.ini", bytes); }
  // Names in the folder, sorted (the program's copy and its settings included).
  std::vector<std::string> List(const std::string& folder = "") const;

  // Runs the copy with the arguments (each quoted so that it arrives as it
  // is), from the folder as current directory.
  RunResult Run(const std::vector<std::string>& args) const;
  // Runs the copy with the command line after the program's name as given.
  RunResult RunCommandLine(const std::string& arguments) const;

 private:
  std::string dir_;
};

// The argument quoted by the C runtime's rules, so that it splits back to
// itself.
std::string QuoteArgument(const std::string& argument);

// Whether the tests run under Wine (ntdll exports wine_get_version), and its
// version.
bool RunningUnderWine();
std::string WineVersion();
