#include "support/sandbox.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/child_process.h"

Sandbox::Sandbox() {
  ::chmod(dir_.Dir().c_str(), 0777);  // other users' runs (setpriv) may use it too
  std::filesystem::copy_file(LOGSTAMP_EXE, Path("logstamp"));
  ::chmod(Path("logstamp").c_str(), 0755);
}

void Sandbox::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + name);
}

std::string Sandbox::Read(const std::string& name) const {
  std::ifstream in(Path(name), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool Sandbox::Exists(const std::string& name) const {
  struct stat st;
  return ::lstat(Path(name).c_str(), &st) == 0;
}

std::vector<std::string> Sandbox::List() const {
  std::vector<std::string> names;
  for (auto& entry : std::filesystem::directory_iterator(Dir())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> RunEnvironment(const std::string& locale) {
  std::vector<std::string> env;
  for (const std::string& entry : CurrentEnvironment()) {
    if (entry.rfind("LC_", 0) == 0 || entry.rfind("LANG", 0) == 0 ||
        entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0) {
      continue;
    }
    env.push_back(entry);
  }
  env.push_back("LC_ALL=" + locale);
  if (!std::getenv("LOCPATH")) env.push_back(std::string("LOCPATH=") + LOGSTAMP_TEST_LOCPATH);
  return env;
}

RunResult Sandbox::Run(const std::vector<std::string>& args, const RunOptions& options) const {
  std::vector<std::string> argv = options.wrapper;
  argv.push_back(Path("logstamp"));
  argv.insert(argv.end(), args.begin(), args.end());

  std::vector<std::string> env = RunEnvironment(options.locale);
  env.insert(env.end(), options.env.begin(), options.env.end());

  ChildOptions child;
  child.env = env;
  child.cwd = Dir();
  child.capture_stderr = true;
  child.file_size_limit = options.file_size_limit;
  ChildProcess process(argv, child);
  RunResult result;
  result.exit_code = process.Wait();
  result.err = process.Stderr();
  return result;
}
