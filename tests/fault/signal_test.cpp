// Signals that end the process, sent while the real program is held by the
// fault shim at a chosen point of the save: writing the temporary file
// (replace by rename), writing the recovery file, and halfway through the
// rewrite in place (with and without a recovery file). A column per signal:
// SIGINT, SIGTERM, SIGHUP and SIGQUIT remove the temporary or recovery file
// and leave the log old, or are held back until the rewrite is done and the
// log is new; either way the process ends with that signal. SIGKILL cannot
// be caught: it may leave a temporary file, and halfway through the rewrite
// a half-written log, but then the recovery file holds the whole old log.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "fault_run.h"
#include "support/child_process.h"
#include "support/sandbox.h"
#include "support/temp_dir.h"

namespace {

const std::string kOld =
    ".LOG\r\n9:05 2003/06/19\r\nBought milk.\r\n\r\n10:30 2003/06/20\nPaid the rent.\n";
const std::string kNew =
    ".LOG\r\n2003/06/19 09:05\tBought milk.\r\n\r\n2003/06/20 10:30\tPaid the rent.\r\n";

enum class After { kOld, kNew, kHalf };  // what the log holds after a catchable signal or SIGKILL

struct Moment {
  const char* name;
  bool hard_link;           // a second link: the log is rewritten in place
  const char* pause_call;   // held before the first such call on pause_kind,
  const char* pause_kind;
  bool half_written;        // or before the second pwrite, the first having written half
  bool recovery_fails;      // no recovery file can be made: the old bytes in memory only
  After after_catchable;
  After after_kill;
};

void PrintTo(const Moment& moment, std::ostream* out) { *out << moment.name; }

const Moment kMoments[] = {
    {"WritingTheTemporaryFile", false, "write", "temp", false, false, After::kOld, After::kOld},
    {"WritingTheRecoveryFile", true, "write", "recovery", false, false, After::kOld, After::kOld},
    {"HalfwayThroughTheRewrite", true, "pwrite", "log", true, false, After::kNew, After::kHalf},
    {"RewritingWithoutRecoveryFile", true, "pwrite", "log", false, true, After::kNew, After::kOld},
};

std::string KindOf(const TracedCall& call) {
  if (call.path.find(".logstamp-old-") != std::string::npos) return "recovery";
  if (call.path.find(".logstamp-") != std::string::npos) return "temp";
  return "log";
}

// The first traced use of call on kind, as "CALL:N"; its index in *index.
std::string FirstUse(const Trace& trace, const std::string& call, const std::string& kind,
                     long* index = nullptr) {
  for (const TracedCall& c : trace.calls) {
    if (c.name == call && KindOf(c) == kind && (call != "open" || c.mode != "pa")) {
      if (index) *index = c.index;
      return call + ":" + std::to_string(c.index);
    }
  }
  return "";
}

// The program on a.log, b.log with the shim; no core file from SIGQUIT;
// the signals named in ignored ignored from the start, as nohup does.
class HeldRun : public ChildProcess {
 public:
  HeldRun(const Sandbox& box, const std::vector<std::string>& shim_env,
          const std::string& ignored = "")
      : ChildProcess({"/bin/sh", "-c",
                      "ulimit -c 0 && " + (ignored.empty() ? "" : "trap '' " + ignored + " && ") +
                          "exec \"$@\"",
                      "sh", box.Path("logstamp"), "a.log", "b.log"},
                     Options(box, shim_env)) {}

 private:
  static ChildOptions Options(const Sandbox& box, const std::vector<std::string>& shim_env) {
    const char* locpath = std::getenv("LOCPATH");
    ChildOptions options;
    options.env = {"LC_ALL=ja_JP.UTF-8",
                   std::string("LOCPATH=") + (locpath ? locpath : LOGSTAMP_TEST_LOCPATH)};
    const RunOptions shim = WithShim("a.log", "b.log", shim_env);
    options.env->insert(options.env->end(), shim.env.begin(), shim.env.end());
    options.cwd = box.Dir();
    options.capture_stderr = true;
    return options;
  }
};

class SignalDuringTheSave : public ::testing::TestWithParam<Moment> {};

TEST_P(SignalDuringTheSave, LeavesTheLogOldOrNewAndNoFileOfOursButAWholeRecoveryFile) {
  const Moment& moment = GetParam();
  Sandbox box;
  TempDir scratch("logstamp-signal");
  const auto prepare = [&] {
    for (const std::string& name : box.List()) {
      if (name != "logstamp") std::remove(box.Path(name).c_str());
    }
    box.Write("a.log", kOld);
    if (moment.hard_link) ::link(box.Path("a.log").c_str(), box.Path("a2.log").c_str());
    box.Write("b.log", kOld);
  };

  // Where to hold the run, from a clean run's trace.
  prepare();
  {
    HeldRun clean(box, {"FAULT_TRACE=" + scratch.Path("trace")});
    ASSERT_EQ(clean.Wait(), 0) << clean.Stderr();
  }
  const Trace trace = ReadTrace(scratch.Path("trace"));
  long index = 0;
  std::string pause = FirstUse(trace, moment.pause_call, moment.pause_kind, &index);
  ASSERT_FALSE(pause.empty()) << "no " << moment.pause_call << " on the " << moment.pause_kind;
  std::vector<std::string> shim_env = {"FAULT_PAUSE_FILE=" + scratch.Path("paused")};
  if (moment.half_written) {
    shim_env.insert(shim_env.end(), {"FAULT_CALL=pwrite", "FAULT_AT=" + std::to_string(index),
                                     "FAULT_ERRNO=short"});
    pause = "pwrite:" + std::to_string(index + 1);
  }
  if (moment.recovery_fails) {
    long open_index = 0;
    ASSERT_FALSE(FirstUse(trace, "open", "recovery", &open_index).empty());
    shim_env.insert(shim_env.end(), {"FAULT_CALL=open", "FAULT_AT=" + std::to_string(open_index),
                                     "FAULT_ERRNO=EACCES"});
  }
  shim_env.push_back("FAULT_PAUSE=" + pause);

  // 0: SIGHUP sent, but ignored from the start: the run goes on to its end.
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGKILL, 0}) {
    const std::string what =
        std::string(moment.name) + ", " + (signal ? strsignal(signal) : "an ignored SIGHUP");
    prepare();
    HeldRun run(box, shim_env, signal ? "" : "HUP");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::access(scratch.Path("paused").c_str(), F_OK) != 0 && run.Running() &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const bool paused = ::access(scratch.Path("paused").c_str(), F_OK) == 0;
    run.Signal(signal ? signal : SIGHUP);
    std::remove(scratch.Path("paused").c_str());
    const int exit_code = run.Wait();
    ASSERT_TRUE(paused) << what << ": the run never reached its pause; " << run.Stderr();
    EXPECT_EQ(run.EndingSignal(), signal) << what;
    if (signal == 0) {
      EXPECT_EQ(exit_code, 0) << what;
      EXPECT_EQ(box.Read("a.log"), kNew) << what;
      EXPECT_EQ(box.Read("b.log"), kNew) << what << ": the next file too";
    }

    const After after = signal == SIGKILL  ? moment.after_kill
                        : signal == 0      ? After::kNew
                                           : moment.after_catchable;
    const std::string log = box.Read("a.log");
    if (after == After::kHalf) {
      EXPECT_NE(log, kOld) << what;
      EXPECT_NE(log, kNew) << what;
    } else {
      EXPECT_EQ(log, after == After::kOld ? kOld : kNew) << what;
    }
    std::vector<std::string> ours;
    for (const std::string& name : box.List()) {
      if (name.rfind("a.log.logstamp-", 0) == 0) ours.push_back(name);
    }
    if (signal != SIGKILL) {
      EXPECT_TRUE(ours.empty()) << what << ": " << (ours.empty() ? "" : ours[0]) << " is left";
    } else if (after == After::kHalf && !moment.recovery_fails) {
      ASSERT_EQ(ours.size(), 1u) << what;
      EXPECT_EQ(ours[0].rfind("a.log.logstamp-old-", 0), 0u) << what;
      EXPECT_EQ(box.Read(ours[0]), kOld) << what << ": the recovery file holds the old log";
    } else {
      EXPECT_LE(ours.size(), 1u) << what;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Saves, SignalDuringTheSave, ::testing::ValuesIn(kMoments),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
