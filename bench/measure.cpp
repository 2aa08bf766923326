// measure: runs a command and records what it cost, for the benchmark.
//
//   measure RESULT COMMAND [ARGS...]
//
// Writes one line to the file RESULT: the wall time in seconds, the peak
// resident memory in KiB, the user and system CPU seconds, and the exit
// status (128 + the signal number when the command was killed). The
// command's own output goes where measure's goes. Exits with 0 when the
// command ran at all.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace {

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

double Now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: measure RESULT COMMAND [ARGS...]\n");
    return 2;
  }
  const double start = Now();
  const pid_t child = ::fork();
  if (child < 0) {
    std::perror("fork");
    return 1;
  }
  if (child == 0) {
    ::execvp(argv[2], argv + 2);
    std::perror(argv[2]);
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (::wait4(child, &status, 0, &usage) != child) {
    std::perror("wait4");
    return 1;
  }
  const double wall = Now() - start;
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::FILE* result = std::fopen(argv[1], "w");
  if (!result) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(result, "%.4f %ld %.4f %.4f %d\n", wall, usage.ru_maxrss, Seconds(usage.ru_utime),
               Seconds(usage.ru_stime), code);
  return std::fclose(result) == 0 ? 0 : 1;
}
