// The real program with a fault injected at every point of a load and a
// save: each failing call in turn, each heap allocation in turn, the heap
// running out at several sizes, and another program changing the log while
// it is converted. Whatever fails, the log is byte for byte its old or its
// fully converted content, the message is the one for that failure, no
// temporary file stays, and the next file of the run is still converted.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "fault_run.h"
#include "support/sandbox.h"

namespace {

// Two entries, one lone-LF part: every byte of the file changes meaning.
const std::string kOld =
    ".LOG\r\n9:05 2003/06/19\r\nBought milk.\r\n\r\n10:30 2003/06/20\nPaid the rent.\n";
const std::string kNew =
    ".LOG\r\n2003/06/19 09:05\tBought milk.\r\n\r\n2003/06/20 10:30\tPaid the rent.\r\n";
// A stamp whose rewriting failed stays as loaded; the rest is converted.
const std::string kFirstStampLeft =
    ".LOG\r\n9:05 2003/06/19\r\nBought milk.\r\n\r\n2003/06/20 10:30\tPaid the rent.\r\n";
const std::string kSecondStampLeft =
    ".LOG\r\n2003/06/19 09:05\tBought milk.\r\n\r\n10:30 2003/06/20\r\nPaid the rent.\r\n";

const std::string kReadError = Box("読み込みエラー", "ファイル a.log を開けませんでした。");
const std::string kReadOther = Box("エラー発生", "function-ReadSingleFile、その他のエラー");
const std::string kCreateError = Box("書き込みエラー", "ファイル a.log に書き込めませんでした。");
const std::string kSaveOther = Box("エラー発生", "method-SaveToFile、その他のエラー");
const std::string kConvertOther =
    Box("日時変換エラー", "function-DateTimeStringToFormatedDateTimeString、その他のエラー");
const std::string kOneOfTwoFailed = Box("報告", "2件中 1件のファイルを処理できませんでした。");

constexpr mode_t kLogMode = 0640;

enum class Outcome {
  kConverted,    // the failure was recovered: converted, nothing said
  kReadError,    // the log could not be opened
  kReadOther,    // any other failure while loading
  kCreateError,  // the log could not be opened for writing
  kSaveOther,    // any other failure while saving
  kScanFailed,   // the scan gave up: not saved, only the summary tells
};

std::string MessagesOf(Outcome outcome) {
  switch (outcome) {
    case Outcome::kConverted: return "";
    case Outcome::kReadError: return kReadError + kOneOfTwoFailed;
    case Outcome::kReadOther: return kReadOther + kOneOfTwoFailed;
    case Outcome::kCreateError: return kCreateError + kOneOfTwoFailed;
    case Outcome::kSaveOther: return kSaveOther + kOneOfTwoFailed;
    case Outcome::kScanFailed: return kOneOfTwoFailed;
  }
  return "?";
}

// What a traced call works on: the log (found by an O_PATH descriptor, as
// loaded, or as opened for writing), the temporary or the recovery file
// beside it, or its folder (on the way to the log, or flushed after a save);
// a lease request by what it asks for.
std::string KindOf(const TracedCall& call) {
  if (call.name == "fcntl") {
    return call.path.find(".logstamp-") != std::string::npos ? call.mode + "-temp" : call.mode;
  }
  if (call.path == ".") return call.mode == "pa" ? "folder-path" : "folder";
  if (call.path.find(".logstamp-old-") != std::string::npos) return "recovery";
  if (call.path.find(".logstamp-") != std::string::npos) {
    return call.mode == "ro" ? "temp-read" : "temp";  // the new file, opened again to lease it
  }
  if (call.mode == "pa") return "log-path";
  return call.mode == "ro" ? "log-read" : "log-write";
}

// One failure to inject and what follows from it.
struct Injection {
  const char* error;  // FAULT_ERRNO
  Outcome outcome;
  // A file of ours left beside the log holding its old bytes, as its
  // removal was made to fail: the name it starts with.
  const char* leaves = nullptr;
};

constexpr const char* kRecoveryLeft = "a.log.logstamp-old-";
constexpr const char* kOldLogLeft = "a.log.logstamp-";

// An interrupted or short read or write is retried, so the run recovers.
const std::vector<Injection> kReadFailing = {
    {"EIO", Outcome::kReadOther}, {"EINTR", Outcome::kConverted}, {"short", Outcome::kConverted}};
const std::vector<Injection> kSaveReadFailing = {
    {"EIO", Outcome::kSaveOther}, {"EINTR", Outcome::kConverted}, {"short", Outcome::kConverted}};
const std::vector<Injection> kWriteFailing = {
    {"ENOSPC", Outcome::kSaveOther}, {"EINTR", Outcome::kConverted}, {"short", Outcome::kConverted}};
// The recovery file is only a safeguard: without it the old bytes are kept
// in memory, and the log is rewritten all the same.
const std::vector<Injection> kRecoveryFailing = {{"EIO", Outcome::kConverted}};

// The failures of each call, by what it works on.
const std::map<std::pair<std::string, std::string>, std::vector<Injection>> kInjections = {
    // The load.
    {{"open", "log-path"}, {{"EACCES", Outcome::kReadError}}},
    {{"open", "folder-path"}, {{"EACCES", Outcome::kReadError}}},
    {{"fstatfs", "log-path"}, {{"EIO", Outcome::kReadError}}},
    {{"open", "log-read"}, {{"EACCES", Outcome::kReadError}}},
    {{"close", "log-path"}, {{"EIO", Outcome::kConverted}}},  // descriptors only looked through
    {{"close", "folder-path"}, {{"EIO", Outcome::kConverted}}},
    // No lease where another program writes the log; identity checks alone
    // where the file system has none.
    {{"fcntl", "lease-take"}, {{"EAGAIN", Outcome::kCreateError}, {"EINVAL", Outcome::kConverted}}},
    {{"read", "log-read"}, kReadFailing},
    // The save.
    {{"fcntl", "lease-check"}, {{"EIO", Outcome::kCreateError}}},  // taken for a broken lease
    // In place, before our own open for writing; that open then finds the
    // lease in its way and gives up.
    {{"fcntl", "lease-drop"}, {{"EIO", Outcome::kCreateError}}},
    {{"faccessat", "log-read"}, {{"EACCES", Outcome::kCreateError}}},
    {{"close", "log-read"}, {{"EIO", Outcome::kConverted}}},  // every byte was read already
    {{"open", "temp"}, {{"EACCES", Outcome::kConverted}}},    // no new file: written in place
    {{"write", "temp"}, kWriteFailing},
    // Where the new file cannot carry the old one's owner or attributes,
    // the log is rewritten in place and keeps them.
    {{"fchown", "temp"}, {{"EPERM", Outcome::kConverted}}},
    {{"flistxattr", "log-read"}, {{"EIO", Outcome::kConverted}}},
    {{"flistxattr", "temp"}, {{"EIO", Outcome::kConverted}}},
    {{"fgetxattr", "log-read"}, {{"EIO", Outcome::kConverted}}},
    {{"fsetxattr", "temp"}, {{"EPERM", Outcome::kConverted}}},
    {{"fchmod", "temp"}, {{"EPERM", Outcome::kSaveOther}}},
    {{"fsync", "temp"}, {{"EIO", Outcome::kSaveOther}}},
    {{"close", "temp"}, {{"EIO", Outcome::kSaveOther}}},
    // A mount point or a sticky folder refuses the rename: in place then.
    {{"renameat", "temp"},
     {{"EIO", Outcome::kSaveOther}, {"EBUSY", Outcome::kConverted}, {"EPERM", Outcome::kConverted}}},
    // The commit swaps the new file with the log, both leased, and swaps
    // back should a writer of the old log turn up; a file system that
    // cannot swap gets a rename, and the new file's lease is only a help.
    {{"open", "temp-read"}, {{"EACCES", Outcome::kConverted}}},
    {{"close", "temp-read"}, {{"EIO", Outcome::kConverted}}},
    {{"fcntl", "lease-take-temp"}, {{"EAGAIN", Outcome::kConverted}}},
    {{"renameat2", "temp"},
     {{"EIO", Outcome::kSaveOther}, {"EINVAL", Outcome::kConverted}, {"EBUSY", Outcome::kConverted}}},
    {{"unlinkat", "temp"}, {{"EIO", Outcome::kConverted, kOldLogLeft}}},  // the old log, swapped out
    {{"open", "folder"}, {{"EACCES", Outcome::kConverted}}},  // flushing the folder is best effort
    {{"fsync", "folder"}, {{"EIO", Outcome::kConverted}}},
    {{"close", "folder"}, {{"EIO", Outcome::kConverted}}},
    // In place: the old bytes, the recovery file, the rewrite.
    {{"pread", "log-read"}, kSaveReadFailing},
    {{"open", "recovery"}, kRecoveryFailing},
    {{"write", "recovery"}, kRecoveryFailing},
    {{"fchown", "recovery"}, kRecoveryFailing},
    {{"fchmod", "recovery"}, kRecoveryFailing},
    {{"fsync", "recovery"}, kRecoveryFailing},
    {{"close", "recovery"}, kRecoveryFailing},
    {{"unlinkat", "recovery"}, {{"EIO", Outcome::kConverted, kRecoveryLeft}}},
    {{"open", "log-write"}, {{"EACCES", Outcome::kCreateError}}},
    {{"pwrite", "log-write"}, kWriteFailing},
    {{"ftruncate", "log-write"}, {{"EIO", Outcome::kSaveOther}}},
    {{"fsync", "log-write"}, {{"EIO", Outcome::kSaveOther}}},
    {{"close", "log-write"}, {{"EIO", Outcome::kConverted}}},  // only after the flush
};

struct Setup {
  const char* name;
  bool hard_link;  // a second name for the log: the save writes in place
  bool attribute;  // an extended attribute on the log, copied by the save
};

void PrintTo(const Setup& setup, std::ostream* out) { *out << setup.name; }

class Faults {
 public:
  explicit Faults(bool hard_link = false, bool attribute = false)
      : hard_link_(hard_link), attribute_(attribute) {}

  // A settings file, and what the second log then becomes.
  void Settings(const std::string& ini, const std::string& b_new) {
    box_.WriteIni(ini);
    has_settings_ = true;
    b_new_ = b_new;
  }

  // Puts both logs back to their old content.
  void Prepare(const std::string& a_content = kOld) {
    std::remove(box_.Path("a.log").c_str());
    std::remove(box_.Path("a2.log").c_str());
    box_.Write("a.log", a_content);
    ::chmod(box_.Path("a.log").c_str(), kLogMode);
    if (hard_link_) ::link(box_.Path("a.log").c_str(), box_.Path("a2.log").c_str());
    if (attribute_) ::setxattr(box_.Path("a.log").c_str(), "user.note", "kept", 4, 0);
    box_.Write("b.log", kOld);
  }

  // Whether the sandbox's file system keeps user attributes.
  bool TakesAttributes() const {
    box_.Write("probe", "");
    const bool takes = ::setxattr(box_.Path("probe").c_str(), "user.probe", "1", 1, 0) == 0;
    std::remove(box_.Path("probe").c_str());
    return takes;
  }

  // Runs on a.log and b.log with the shim watching a.log, driven by shim_env.
  RunResult Run(const std::vector<std::string>& shim_env) {
    return box_.Run({"a.log", "b.log"}, WithShim("a.log", "b.log", shim_env));
  }

  // A run without a fault, with every counted call traced.
  Trace CleanTrace(const std::string& a_content = kOld) {
    Prepare(a_content);
    std::remove(scratch_.Path("trace").c_str());
    const RunResult r = Run({"FAULT_TRACE=" + scratch_.Path("trace")});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.err, "");
    return ReadTrace(scratch_.Path("trace"));
  }

  // What every run must leave: exit code 0, the next file converted, no
  // temporary file (a recovery file only where its removal was made to
  // fail, holding the old bytes), the log's mode and attribute kept and its
  // hard link in step.
  void CheckCommon(const RunResult& r, const std::string& what, mode_t mode = kLogMode,
                   const char* leaves = nullptr) {
    EXPECT_EQ(r.exit_code, 0) << what;
    EXPECT_EQ(box_.Read("b.log"), b_new_) << what << ": the next file is still converted";
    std::vector<std::string> names = {"a.log", "b.log", "logstamp"};
    if (hard_link_) names.insert(names.begin() + 1, "a2.log");
    if (has_settings_) names.push_back("logstamp.ini");
    std::vector<std::string> found = box_.List();
    if (leaves) {
      const auto left = std::find_if(found.begin(), found.end(), [&](const std::string& name) {
        return name.rfind(leaves, 0) == 0;
      });
      EXPECT_NE(left, found.end()) << what;
      if (left != found.end()) {
        EXPECT_EQ(box_.Read(*left), kOld) << what << ": the file left holds the old log";
        std::remove(box_.Path(*left).c_str());
        found.erase(left);
      }
    }
    EXPECT_EQ(found, names) << what << ": no temporary file is left";
    struct stat st;
    ASSERT_EQ(::stat(box_.Path("a.log").c_str(), &st), 0) << what;
    EXPECT_EQ(st.st_mode & 07777, mode) << what;
    if (hard_link_) {
      EXPECT_EQ(box_.Read("a2.log"), box_.Read("a.log")) << what;
    }
    if (attribute_) {
      char value[16] = {};
      EXPECT_EQ(::getxattr(box_.Path("a.log").c_str(), "user.note", value, sizeof value), 4) << what;
      EXPECT_EQ(std::string(value), "kept") << what;
    }
  }

  std::string Log() const { return box_.Read("a.log"); }
  const Sandbox& Folder() const { return box_; }
  const TempDir& Files() const { return scratch_; }

 private:
  bool hard_link_;
  bool attribute_;
  bool has_settings_ = false;
  std::string b_new_ = kNew;
  Sandbox box_;
  TempDir scratch_{"logstamp-fault"};  // the trace and the pause file, apart from the sandbox
};

class EveryCallFailing : public ::testing::TestWithParam<Setup> {};

TEST_P(EveryCallFailing, LeavesTheOldOrTheNewLogWithTheMessageOfTheFailure) {
  Faults faults(GetParam().hard_link, GetParam().attribute);
  if (GetParam().attribute && !faults.TakesAttributes()) {
    GTEST_SKIP() << "the file system under /tmp keeps no user.* attributes";
  }
  const Trace clean = faults.CleanTrace();
  ASSERT_EQ(faults.Log(), kNew);

  std::set<std::string> seen;
  for (const TracedCall& call : clean.calls) {
    if (call.name == "malloc") continue;
    seen.insert(call.name);
    const std::string kind = KindOf(call);
    const auto rule = kInjections.find({call.name, kind});
    ASSERT_NE(rule, kInjections.end()) << "no expectation for " << call.name << " on the "
                                       << kind << "; add it to kInjections";
    for (const Injection& injection : rule->second) {
      const std::string what = call.name + " #" + std::to_string(call.index) + " (" + kind +
                               ") failing with " + injection.error;
      faults.Prepare();
      const RunResult r = faults.Run({"FAULT_CALL=" + call.name,
                                      "FAULT_AT=" + std::to_string(call.index),
                                      "FAULT_ERRNO=" + std::string(injection.error)});
      EXPECT_EQ(faults.Log(), injection.outcome == Outcome::kConverted ? kNew : kOld) << what;
      EXPECT_EQ(r.err, MessagesOf(injection.outcome)) << what;
      faults.CheckCommon(r, what, kLogMode, injection.leaves);
    }
  }
  // The shim saw the whole load and save; else the loop above proved little.
  std::set<std::string> expected = {"open", "fstatfs", "fcntl", "read", "faccessat", "close"};
  if (GetParam().hard_link) {
    expected.insert({"pread", "write", "fchown", "fchmod", "fsync", "unlinkat", "pwrite",
                     "ftruncate"});
  } else {
    expected.insert({"write", "fchown", "flistxattr", "fchmod", "fsync", "renameat2", "unlinkat"});
  }
  if (GetParam().attribute) expected.insert({"fgetxattr", "fsetxattr"});
  EXPECT_EQ(seen, expected);
}

INSTANTIATE_TEST_SUITE_P(Saves, EveryCallFailing,
                         ::testing::Values(Setup{"ReplacedByRename", false, false},
                                           Setup{"WrittenInPlace", true, false},
                                           Setup{"WithAnAttribute", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EveryAllocationFailing, LeavesTheOldOrTheNewLogOrOneStampAsLoaded) {
  Faults faults;
  const Trace clean = faults.CleanTrace();
  long allocations = 0;
  for (const TracedCall& call : clean.calls) allocations += call.name == "malloc";
  ASSERT_GT(allocations, 0) << "the shim saw no allocation";

  std::map<std::string, int> outcomes;
  for (long n = 1; n <= allocations; ++n) {
    const std::string what = "allocation #" + std::to_string(n) + " failing";
    faults.Prepare();
    const RunResult r = faults.Run({"FAULT_CALL=malloc", "FAULT_AT=" + std::to_string(n)});
    const std::string log = faults.Log();
    if (log == kNew) {
      EXPECT_EQ(r.err, "") << what;
      ++outcomes["converted"];
    } else if (log == kOld) {
      const std::set<std::string> failures = {MessagesOf(Outcome::kReadOther),
                                              MessagesOf(Outcome::kSaveOther),
                                              MessagesOf(Outcome::kScanFailed)};
      EXPECT_TRUE(failures.count(r.err)) << what << ": " << r.err;
      ++outcomes[r.err];
    } else if (log == kFirstStampLeft || log == kSecondStampLeft) {
      EXPECT_EQ(r.err, kConvertOther) << what;
      ++outcomes["stamp left"];
    } else {
      ADD_FAILURE() << what << " left neither the old nor the new log:\n" << log;
    }
    faults.CheckCommon(r, what);
  }
  // Both the load and the save allocate (the file's bytes, the block written).
  EXPECT_GT(outcomes[MessagesOf(Outcome::kReadOther)], 0);
  EXPECT_GT(outcomes[MessagesOf(Outcome::kSaveOther)], 0);
}

// A log of a few hundred kilobytes against a heap that may grow by less and
// less: the load, the scan or the save runs out, and the run goes on. The
// stamps grow, so that the scan needs memory of its own.
TEST(HeapRunningOut, FailsTheLoadTheScanOrTheSaveAndLosesNothing) {
  std::string old_log = ".LOG\r\n", new_log = ".LOG\r\n";
  const std::string text(100, 'x');
  for (int i = 0; i < 2500; ++i) {
    old_log += "9:05 2003/06/19\r\n" + text + "\r\n\r\n";
    new_log += "2003/06/19 09:05:00 (2003)\t" + text + "\r\n\r\n";
  }
  Faults faults;
  faults.Settings("[DateTime]\nFormat=yyyy/mm/dd hh:nn:ss (yyyy)\n",
                  ".LOG\r\n2003/06/19 09:05:00 (2003)\tBought milk.\r\n\r\n"
                  "2003/06/20 10:30:00 (2003)\tPaid the rent.\r\n");
  const Trace clean = faults.CleanTrace(old_log);
  ASSERT_EQ(faults.Log(), new_log);
  ASSERT_GT(clean.peak, static_cast<long long>(old_log.size()));

  const long long floor = 64 << 10;  // what the messages themselves need
  std::set<std::string> failures;
  for (int step = 0; step <= 16; ++step) {
    const long long budget = floor + (clean.peak - floor) * step / 16;
    const std::string what = "heap budget " + std::to_string(budget);
    faults.Prepare(old_log);
    const RunResult r = faults.Run({"FAULT_MALLOC_BUDGET=" + std::to_string(budget)});
    const std::string log = faults.Log();
    if (step == 16) {
      EXPECT_TRUE(log == new_log) << what << ": the clean run's peak is enough";
      EXPECT_EQ(r.err, "") << what;
    } else if (log != new_log) {
      EXPECT_TRUE(log == old_log) << what << " left neither the old nor the new log";
      // Stamps may fail one by one before the save gives up for good.
      std::string err = r.err;
      while (err.rfind(kConvertOther, 0) == 0) err.erase(0, kConvertOther.size());
      EXPECT_TRUE(err == MessagesOf(Outcome::kReadOther) ||
                  err == MessagesOf(Outcome::kScanFailed) ||
                  err == MessagesOf(Outcome::kSaveOther))
          << what << ": " << r.err.substr(0, 500);
      failures.insert(err);
    }
    faults.CheckCommon(r, what);
  }
  EXPECT_EQ(failures.size(), 3u) << "the budgets reach the load, the scan and the save";
}

// Another program acts on the log while logstamp holds it between load and
// save: the run must not write over that program's change.
TEST(ChangedWhileConverted, TheOtherProgramsChangeIsKept) {
  Faults faults;
  const Trace clean = faults.CleanTrace();
  // Where to hold the run: before the read that finds the end of the log,
  // once the load is done, and once the new text is written beside the log
  // but before it replaces the log.
  std::string last_read, after_load, before_replace;
  for (const TracedCall& call : clean.calls) {
    const std::string at = call.name + ":" + std::to_string(call.index);
    if (call.name == "read" && KindOf(call) == "log-read") last_read = at;
    if (after_load.empty() && KindOf(call) == "lease-check") after_load = at;  // the save's first
    if (before_replace.empty() && call.name == "fsync" && KindOf(call) == "temp") {
      before_replace = at;
    }
  }
  ASSERT_FALSE(last_read.empty());
  ASSERT_FALSE(after_load.empty());
  ASSERT_FALSE(before_replace.empty());

  const std::string appended = kOld + "11:00 2003/06/21\nAdded in the meantime.\n";
  const std::string replaced = ".LOG\r\nWritten by another program.\r\n";
  const mode_t umask = ::umask(0);
  ::umask(umask);
  enum class Action { kAppend, kReplace, kDelete };
  const struct {
    const std::string& pause;
    Action action;
    std::string log_after;
    std::string err;
    mode_t mode;
  } cases[] = {
      // A change while the log is read is a change: nothing is written, as
      // below (the state after the read may count bytes that were not read).
      {last_read, Action::kAppend, appended, kCreateError + kOneOfTwoFailed, kLogMode},
      // Later changes are kept: nothing is written.
      {after_load, Action::kAppend, appended, kCreateError + kOneOfTwoFailed, kLogMode},
      {before_replace, Action::kAppend, appended, kCreateError + kOneOfTwoFailed, kLogMode},
      {after_load, Action::kReplace, replaced, kCreateError + kOneOfTwoFailed, kLogMode},
      {before_replace, Action::kReplace, replaced, kCreateError + kOneOfTwoFailed, kLogMode},
      // A log that vanished is created anew with the converted text: as a
      // new file when the save had not begun, else with the old log's mode.
      {after_load, Action::kDelete, kNew, "", static_cast<mode_t>(0666 & ~umask)},
      {before_replace, Action::kDelete, kNew, "", kLogMode},
  };
  const Sandbox& box = faults.Folder();
  const std::string pause_file = faults.Files().Path("paused");
  for (const auto& c : cases) {
    const char* const actions[] = {"append", "replace", "delete"};
    const std::string what = actions[static_cast<int>(c.action)] + (" at " + c.pause);
    faults.Prepare();
    RunResult r;
    std::thread run([&] {
      r = faults.Run({"FAULT_PAUSE=" + c.pause, "FAULT_PAUSE_FILE=" + pause_file});
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::access(pause_file.c_str(), F_OK) != 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const bool paused = ::access(pause_file.c_str(), F_OK) == 0;
    if (paused) {
      switch (c.action) {
        case Action::kAppend: {
          std::FILE* f = std::fopen(box.Path("a.log").c_str(), "ab");
          std::fputs("11:00 2003/06/21\nAdded in the meantime.\n", f);
          std::fclose(f);
          break;
        }
        case Action::kReplace:
          box.Write("a.new", replaced);
          ::chmod(box.Path("a.new").c_str(), kLogMode);
          std::rename(box.Path("a.new").c_str(), box.Path("a.log").c_str());
          break;
        case Action::kDelete:
          std::remove(box.Path("a.log").c_str());
          break;
      }
    }
    std::remove(pause_file.c_str());
    run.join();
    ASSERT_TRUE(paused) << what << ": the run never reached its pause";
    EXPECT_EQ(faults.Log(), c.log_after) << what;
    EXPECT_EQ(r.err, c.err) << what;
    faults.CheckCommon(r, what, c.mode);
  }
}

// The commit swaps the new log with the old one and looks a moment later
// whether someone opened the old one for writing meanwhile (an open whose
// lookup came before the swap). Here a writer opens the old log under the
// temporary name it has for that moment: the old log is swapped back, the
// writer's line lands in it, and nothing is replaced.
TEST(ChangedWhileConverted, AWriterOfTheOldLogAtTheSwapGetsItBack) {
  Faults faults;
  const Trace clean = faults.CleanTrace();
  // Held at the look after the swap: the first lease check after it.
  std::string after_swap;
  bool swapped = false;
  for (const TracedCall& call : clean.calls) {
    if (call.name == "renameat2") swapped = true;
    if (swapped && after_swap.empty() && KindOf(call) == "lease-check") {
      after_swap = call.name + ":" + std::to_string(call.index);
    }
  }
  ASSERT_FALSE(after_swap.empty());
  const Sandbox& box = faults.Folder();
  const std::string pause_file = faults.Files().Path("paused");
  faults.Prepare();
  RunResult r;
  std::thread run([&] { r = faults.Run({"FAULT_PAUSE=" + after_swap, "FAULT_PAUSE_FILE=" + pause_file}); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (::access(pause_file.c_str(), F_OK) != 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::string old_log;  // where the old log stands while the new one has its name
  for (const std::string& name : box.List()) {
    if (name.rfind("a.log.logstamp-", 0) == 0) old_log = name;
  }
  std::thread writer;
  if (!old_log.empty()) {
    writer = std::thread([&] {  // its open waits until the run decides
      std::FILE* f = std::fopen(box.Path(old_log).c_str(), "ab");
      if (!f) return;
      std::fputs("11:00 2003/06/21\nAdded in the meantime.\n", f);
      std::fclose(f);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::remove(pause_file.c_str());
  run.join();
  if (writer.joinable()) writer.join();
  ASSERT_FALSE(old_log.empty()) << "the run never reached its pause";
  EXPECT_EQ(faults.Log(), kOld + "11:00 2003/06/21\nAdded in the meantime.\n");
  EXPECT_EQ(r.err, kCreateError + kOneOfTwoFailed);
  faults.CheckCommon(r, "a writer at the swap");
}

}  // namespace
