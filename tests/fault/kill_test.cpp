// The real program killed (SIGKILL) at seeded moments while it converts a
// log of about 64 MiB: the log is always exactly its old or its new content,
// a killed run leaves at most one temporary file of its own, and a later run
// removes no file, such a leftover included.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/sandbox.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string GenerateLog(std::size_t size) {
  std::mt19937 rng(64);
  const char* texts[] = {"Bought milk. Paid the rent. Called the plumber about the sink.",
                         "牛乳を買った。家賃を払った。", "Meeting at 10:00 2003/06/19 about the budget",
                         "会議: 予算の見直し、来週までに資料をまとめる。"};
  std::string log = ".LOG\r\n";
  log.reserve(size + 4096);
  char stamp[32];
  while (log.size() < size) {
    const unsigned hour = rng() % 24, minute = rng() % 60, month = rng() % 12 + 1,
                   day = rng() % 28 + 1;
    std::snprintf(stamp, sizeof stamp, "%u:%02u 2003/%02u/%02u\r\n", hour, minute, month, day);
    log += stamp;
    for (unsigned lines = rng() % 4 + 1; lines > 0; --lines) {
      log += texts[rng() % std::size(texts)];
      log += "\r\n";
    }
    log += "\r\n";
  }
  return log;
}

// Writes the log and flushes it, so that no write-back of it slows the runs
// that follow and their timing stays that of the clean run.
void WriteFlushed(const Sandbox& box, const std::string& name, const std::string& bytes) {
  box.Write(name, bytes);
  const int fd = ::open(box.Path(name).c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ::fsync(fd);
  ::close(fd);
}

bool IsOurTemporary(const std::string& name) { return name.rfind("big.log.logstamp-", 0) == 0; }

bool HasTemporary(const std::string& dir) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return false;
  bool found = false;
  while (const dirent* e = ::readdir(d)) found = found || IsOurTemporary(e->d_name);
  ::closedir(d);
  return found;
}

// The sandbox's program converting big.log, started directly so that the
// test may kill it by its pid at any moment until it reaps it.
class Conversion : public ChildProcess {
 public:
  explicit Conversion(const Sandbox& box) : ChildProcess({box.Path("logstamp"), "big.log"}, Options(box)) {}
  void Kill() const { Signal(SIGKILL); }

 private:
  static ChildOptions Options(const Sandbox& box) {
    const char* locpath = std::getenv("LOCPATH");
    ChildOptions options;
    options.env = {"LC_ALL=ja_JP.UTF-8",
                   std::string("LOCPATH=") + (locpath ? locpath : LOGSTAMP_TEST_LOCPATH)};
    options.cwd = box.Dir();
    return options;
  }
};

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Waits until the run's temporary file appears or the run ends; the seconds
// it took.
double UntilTheSaveBegins(const Sandbox& box, const Conversion& run, Clock::time_point start) {
  while (run.Running() && !HasTemporary(box.Dir())) {
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return Since(start);
}

TEST(KilledWhileConverting, TheLogIsOldOrNewAndAtMostOneTemporaryFileStays) {
  const std::string old_log = GenerateLog(64 << 20);
  Sandbox box;
  WriteFlushed(box, "big.log", old_log);
  box.Write("notes.txt", "not a log of this run");  // must survive every run

  // A clean run, timed: how long the load and scan take, and the save.
  const Clock::time_point start = Clock::now();
  Conversion clean(box);
  const double load_seconds = UntilTheSaveBegins(box, clean, start);
  ASSERT_EQ(clean.Wait(), 0);
  const double save_seconds = Since(start) - load_seconds;
  const std::string new_log = box.Read("big.log");
  ASSERT_NE(new_log, old_log);
  EXPECT_EQ(box.List(), (std::vector<std::string>{"big.log", "logstamp", "notes.txt"}));

  // One run in three is killed at a random moment of the load and scan; the
  // others at a random moment from when the new text begins to be written
  // beside the log to a little past the end of the save.
  constexpr int kRuns = 24;
  std::mt19937 rng(20030619);
  std::uniform_real_distribution<double> fraction(0, 1);
  int stayed_old = 0, became_new = 0, left_temporary = 0;
  std::set<std::string> earlier;  // leftovers of the previous run
  bool is_old = false;
  for (int i = 0; i < kRuns; ++i) {
    if (!is_old) WriteFlushed(box, "big.log", old_log);
    const Clock::time_point began = Clock::now();
    Conversion run(box);
    double at;
    if (i % 3 == 0) {
      at = load_seconds * fraction(rng);
    } else {
      at = UntilTheSaveBegins(box, run, began) + save_seconds * 1.2 * fraction(rng);
    }
    std::this_thread::sleep_until(began + std::chrono::duration<double>(at));
    run.Kill();
    const int exit_code = run.Wait();
    char what[64];
    std::snprintf(what, sizeof what, "killed after %.3f s", at);
    if (exit_code != -1) {
      EXPECT_EQ(exit_code, 0) << what << ": ended by itself";
    }

    const std::string log = box.Read("big.log");
    is_old = log.size() == old_log.size() && log == old_log;
    if (is_old) {
      ++stayed_old;
    } else if (log.size() == new_log.size() && log == new_log) {
      ++became_new;
    } else {
      ADD_FAILURE() << what << ": the log is neither old nor new (" << log.size() << " bytes)";
    }

    std::set<std::string> fresh;
    const std::vector<std::string> names = box.List();
    for (const std::string& name : names) {
      EXPECT_TRUE(name == "big.log" || name == "logstamp" || name == "notes.txt" ||
                  IsOurTemporary(name))
          << what << ": unexpected " << name;
      if (IsOurTemporary(name) && !earlier.count(name)) fresh.insert(name);
    }
    for (const std::string& name : earlier) {
      EXPECT_TRUE(box.Exists(name)) << what << ": the earlier leftover " << name << " was removed";
      std::remove(box.Path(name).c_str());
    }
    EXPECT_LE(fresh.size(), 1u) << what;
    EXPECT_EQ(box.Read("notes.txt"), "not a log of this run") << what;
    left_temporary += !fresh.empty();
    earlier = fresh;
  }
  std::printf("load and scan %.2f s, save %.2f s; of %d runs killed, %d left the old log (%d with "
              "a temporary file beside it), %d the new one\n",
              load_seconds, save_seconds, kRuns, stayed_old, left_temporary, became_new);
  EXPECT_GT(left_temporary, 0) << "no kill came during the save";
}

}  // namespace
