#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

extern char** environ;

std::vector<std::string> CurrentEnvironment() {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  return env;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options) {
  if (argv.empty()) throw std::invalid_argument("no program to start");
  const std::vector<std::string> env = options.env ? *options.env : CurrentEnvironment();
  std::vector<char*> cargv, cenv;
  for (const auto& a : argv) cargv.push_back(const_cast<char*>(a.c_str()));
  cargv.push_back(nullptr);
  for (const auto& e : env) cenv.push_back(const_cast<char*>(e.c_str()));
  cenv.push_back(nullptr);

  int out[2] = {-1, -1}, err[2] = {-1, -1};
  if ((options.capture_stdout && ::pipe2(out, O_CLOEXEC) != 0) ||
      (options.capture_stderr && ::pipe2(err, O_CLOEXEC) != 0)) {
    throw std::runtime_error("pipe failed");
  }
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    const int devnull = ::open("/dev/null", O_RDWR);
    ::dup2(devnull, STDIN_FILENO);
    ::dup2(options.capture_stdout ? out[1] : devnull, STDOUT_FILENO);
    ::dup2(options.capture_stderr ? err[1] : devnull, STDERR_FILENO);
    if (!options.cwd.empty() && ::chdir(options.cwd.c_str()) != 0) ::_exit(126);
    if (options.file_size_limit >= 0) {
      const rlimit limit{static_cast<rlim_t>(options.file_size_limit),
                         static_cast<rlim_t>(options.file_size_limit)};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::signal(SIGPIPE, SIG_DFL);
    if (argv[0].find('/') != std::string::npos) {
      ::execve(cargv[0], cargv.data(), cenv.data());
    } else {
      ::execvpe(cargv[0], cargv.data(), cenv.data());
    }
    ::_exit(127);
  }
  if (options.capture_stdout) {
    ::close(out[1]);
    out_fd_ = out[0];
  }
  if (options.capture_stderr) {
    ::close(err[1]);
    err_fd_ = err[0];
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !exit_code_) {
    ::kill(pid_, SIGKILL);
    Wait();
  }
  if (out_fd_ >= 0) ::close(out_fd_);
  if (err_fd_ >= 0) ::close(err_fd_);
}

bool ChildProcess::Running() const {
  if (pid_ <= 0 || exit_code_) return false;
  siginfo_t info{};
  return ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == 0;
}

void ChildProcess::Signal(int signal) const {
  if (pid_ > 0 && !exit_code_) ::kill(pid_, signal);  // unreaped: still our child
}

void ChildProcess::Collect() {
  // Both pipes at once, so that a child filling one is never stuck on it.
  while (out_fd_ >= 0 || err_fd_ >= 0) {
    pollfd fds[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      int& fd = i == 0 ? out_fd_ : err_fd_;
      if (fd < 0 || fds[i].revents == 0) continue;
      char buf[4096];
      const ssize_t n = ::read(fd, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        ::close(fd);
        fd = -1;
        continue;
      }
      (i == 0 ? out_ : err_).append(buf, static_cast<std::size_t>(n));
    }
  }
}

int ChildProcess::Wait() {
  if (exit_code_) return *exit_code_;
  if (pid_ <= 0) return *(exit_code_ = 127);
  Collect();
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (WIFSIGNALED(status)) ending_signal_ = WTERMSIG(status);
  return *exit_code_;
}
