#include "support/sandbox.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

Sandbox::Sandbox() {
  char tmpl[] = "/tmp/logstamp-test-XXXXXX";
  if (!::mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
  dir_ = tmpl;
  ::chmod(dir_.c_str(), 0777);  // other users' runs (setpriv) may use it too
  std::filesystem::copy_file(LOGSTAMP_EXE, Path("logstamp"));
  ::chmod(Path("logstamp").c_str(), 0755);
}

Sandbox::~Sandbox() {
  std::error_code ec;
  // Restore permissions that tests took away, so everything can be removed.
  for (auto& entry : std::filesystem::recursive_directory_iterator(dir_, ec)) {
    ::chmod(entry.path().c_str(), 0777);
  }
  std::filesystem::remove_all(dir_, ec);
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
  for (auto& entry : std::filesystem::directory_iterator(dir_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

RunResult Sandbox::Run(const std::vector<std::string>& args, const RunOptions& options) const {
  std::vector<std::string> argv = options.wrapper;
  argv.push_back(Path("logstamp"));
  argv.insert(argv.end(), args.begin(), args.end());

  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("LC_", 0) == 0 || entry.rfind("LANG", 0) == 0 ||
        entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0) {
      continue;
    }
    env.push_back(entry);
  }
  env.push_back("LC_ALL=" + options.locale);
  if (!std::getenv("LOCPATH")) env.push_back(std::string("LOCPATH=") + LOGSTAMP_TEST_LOCPATH);
  env.insert(env.end(), options.env.begin(), options.env.end());

  int pipefd[2];
  if (::pipe(pipefd) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipefd[1], STDERR_FILENO);
    ::close(pipefd[0]);
    ::close(pipefd[1]);
    const int devnull = ::open("/dev/null", O_RDWR);
    ::dup2(devnull, STDIN_FILENO);
    ::dup2(devnull, STDOUT_FILENO);
    if (::chdir(dir_.c_str()) != 0) ::_exit(126);
    if (options.file_size_limit >= 0) {
      const rlimit limit{static_cast<rlim_t>(options.file_size_limit),
                         static_cast<rlim_t>(options.file_size_limit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    std::vector<char*> cargv, cenv;
    for (auto& a : argv) cargv.push_back(const_cast<char*>(a.c_str()));
    cargv.push_back(nullptr);
    for (auto& e : env) cenv.push_back(const_cast<char*>(e.c_str()));
    cenv.push_back(nullptr);
    ::execve(cargv[0], cargv.data(), cenv.data());
    if (errno == ENOENT) ::execvpe(cargv[0], cargv.data(), cenv.data());
    ::_exit(127);
  }
  ::close(pipefd[1]);
  RunResult result;
  char buf[4096];
  ssize_t n;
  while ((n = ::read(pipefd[0], buf, sizeof buf)) != 0) {
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    result.err.append(buf, static_cast<std::size_t>(n));
  }
  ::close(pipefd[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}
