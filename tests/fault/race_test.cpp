// The real program run over and over for a few seconds against a busy or
// hostile neighbour: a user who swaps his log with a link to a root-only
// file while root converts it, and a program that appends lines to the log
// all the while. Nothing may reach the root-only file, and no appended line
// may be lost.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdio.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/messages.h"
#include "support/sandbox.h"
#include "support/test_users.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kLog = ".LOG\n9:05 2003/06/19\nBought milk.\n";
const std::string kSaved = ".LOG\r\n2003/06/19 09:05\tBought milk.\r\n";

std::string WriteError(const std::string& name) {
  return Box("書き込みエラー", "ファイル " + name + " に書き込めませんでした。");
}

bool SameTimes(const struct stat& a, const struct stat& b) {
  return a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// A child process that swaps two names of a folder (renameat2 with
// RENAME_EXCHANGE) every few tens of microseconds for 50 ms, fast enough to
// catch any gap between a check and a use, then leaves them as they were
// for 50 ms, so that some runs go through; until it is killed.
class Swapper {
 public:
  Swapper(const std::string& folder, const std::string& a, const std::string& b) {
    pid_ = ::fork();
    if (pid_ != 0) return;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int dir = ::open(folder.c_str(), O_PATH | O_DIRECTORY);
    timespec start{}, now{};
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    unsigned seed = 245;
    long swaps = 0;
    do {  // at most a minute, should the test not stop it
      ::renameat2(dir, a.c_str(), dir, b.c_str(), RENAME_EXCHANGE);
      ++swaps;
      seed = seed * 1103515245 + 12345;
      timespec pause{0, static_cast<long>((seed >> 16) % 100) * 1000};
      ::clock_gettime(CLOCK_MONOTONIC, &now);
      const long ms = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
      if (ms % 100 >= 50 && swaps % 2 == 0) pause.tv_nsec = 50000000;  // a quiet while, as they were
      ::nanosleep(&pause, nullptr);
    } while (now.tv_sec - start.tv_sec < 60);
    ::_exit(0);
  }
  ~Swapper() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_;
};

// A user owns a folder, a log in it and a link in it to a root-only file,
// and swaps the two while root converts the log again and again: the
// root-only file is never written, whichever way each run goes. The log has
// a second link (which once took the save in place) or a name of 245 bytes
// (which once was too long for a temporary file beside it).
TEST(Races, ALogSwappedWithALinkNeverLetsTheSaveIntoTheLinksTarget) {
  const std::string why = WhyNoTestUsers();
  if (!why.empty()) GTEST_SKIP() << why;
  const std::optional<TestUser> user = EnsureTestUser("logstamp-t1");
  ASSERT_TRUE(user);
  const std::string secret_text = ".LOG\n9:05 2003/06/19\nroot only\n";
  const struct {
    const char* what;
    std::string log;
    bool hard_link;
  } variants[] = {{"a log with a second link", "diary.log", true},
                  {"a log with a long name", std::string(241, 'd') + ".log", false}};
  for (const auto& v : variants) {
    Sandbox box;
    box.Write("secret", secret_text);
    ::chmod(box.Path("secret").c_str(), 0600);
    struct stat secret_before;
    ASSERT_EQ(::stat(box.Path("secret").c_str(), &secret_before), 0);
    const std::string home = box.Path("home");
    ::mkdir(home.c_str(), 0755);
    ASSERT_EQ(::chown(home.c_str(), user->uid, user->gid), 0);
    box.Write("home/" + v.log, kLog);
    ASSERT_EQ(::chown(box.Path("home/" + v.log).c_str(), user->uid, user->gid), 0);
    if (v.hard_link) {
      ASSERT_EQ(::link(box.Path("home/" + v.log).c_str(), box.Path("home/second.log").c_str()), 0);
    }
    ASSERT_EQ(::symlink("../secret", box.Path("home/evil").c_str()), 0);
    ASSERT_EQ(::lchown(box.Path("home/evil").c_str(), user->uid, user->gid), 0);

    std::map<std::string, int> outcomes;
    const std::string name = "home/" + v.log;
    const std::vector<std::string> expected = {"", ReadError(name) + Summary(1, 1),
                                               WriteError(name) + Summary(1, 1)};
    {
      const Swapper swapper(home, v.log, "evil");
      const Clock::time_point end = Clock::now() + std::chrono::milliseconds(2000);
      while (Clock::now() < end) {
        const RunResult r = box.Run({name}, InLocale("ja_JP.UTF-8"));
        const bool known = r.err == expected[0] || r.err == expected[1] || r.err == expected[2];
        EXPECT_TRUE(known) << v.what << ": " << r.err;
        ++outcomes[r.err == expected[0] ? "converted" : r.err == expected[1] ? "read error"
                   : known                ? "write error"
                                          : "other"];
      }
    }
    struct stat secret_after;
    ASSERT_EQ(::stat(box.Path("secret").c_str(), &secret_after), 0);
    EXPECT_EQ(box.Read("secret"), secret_text) << v.what;
    EXPECT_TRUE(SameTimes(secret_before, secret_after)) << v.what << ": the root-only file was written";
    // The user's log, under whichever name it ended, is old or new.
    struct stat st;
    const std::string log_now = ::lstat(box.Path(name).c_str(), &st) == 0 && S_ISLNK(st.st_mode)
                                    ? box.Read("home/evil")
                                    : box.Read(name);
    EXPECT_TRUE(log_now == kLog || log_now == kSaved) << v.what << ": " << log_now;
    std::printf("%s: %d converted, %d read errors, %d write errors\n", v.what,
                outcomes["converted"], outcomes["read error"], outcomes["write error"]);
    EXPECT_GT(outcomes["converted"], 0) << v.what << ": no run went through";
  }
}

// Another program appends a line every few milliseconds (open, write,
// close, as a shell's >> does) while the log is converted again and again:
// every line is in the log at the end, once.
TEST(Races, NoLineAppendedDuringTheRunsIsLost) {
  Sandbox box;
  box.Write("busy.log", ".LOG\n");
  std::atomic<bool> done{false};
  constexpr int kLines = 600;
  std::thread appender([&] {
    std::mt19937 rng(4000);
    for (int i = 0; i < kLines; ++i) {
      const int fd = ::open(box.Path("busy.log").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
      if (fd >= 0) {
        const std::string line = "appended line " + std::to_string(i) + "\n";
        if (::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
          ADD_FAILURE() << "the append failed";
        }
        ::close(fd);
      }
      std::this_thread::sleep_for(std::chrono::microseconds(rng() % 10000));
    }
    done = true;
  });
  int runs = 0, converted = 0;
  while (!done) {
    const RunResult r = box.Run({"busy.log"}, InLocale("ja_JP.UTF-8"));
    ++runs;
    converted += r.err.empty();
    if (!r.err.empty() && r.err != WriteError("busy.log") + Summary(1, 1)) {
      ADD_FAILURE() << r.err;
    }
  }
  appender.join();
  const std::string log = box.Read("busy.log");
  int lost = 0, doubled = 0;
  for (int i = 0; i < kLines; ++i) {
    const std::string line = "\nappended line " + std::to_string(i);
    std::size_t at = log.find(line + "\r\n");
    if (at == std::string::npos) at = log.find(line + "\n");
    if (at == std::string::npos) {
      ++lost;
      continue;
    }
    doubled += log.find(line + "\r", at + 1) != std::string::npos ||
               log.find(line + "\n", at + 1) != std::string::npos;
  }
  std::printf("%d runs, %d converted the log; %d of %d lines lost\n", runs, converted, lost, kLines);
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(doubled, 0);
  EXPECT_GT(converted, 0) << "no run went through";
  EXPECT_EQ(box.List(), (std::vector<std::string>{"busy.log", "logstamp"}));
}

}  // namespace
