// The file beside a target: its lifecycle (prepare, write, sync, commit or
// roll back), names that fit the folder's limit, and its removal by the
// signals that end a process.
#include "platform/posix/safe_save.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/save_signals.h"
#include "support/sandbox.h"

namespace {

struct Folder {
  Sandbox box;
  FileDescriptor fd{::open(box.Dir().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)};
};

TEST(SafeSave, CommitReplacesTheTargetAndEveryOtherWayOutRemovesTheFile) {
  Folder folder;
  folder.box.Write("a.log", "old");
  {
    SafeSave save(folder.fd.Get(), "a.log");
    ASSERT_TRUE(save.Prepare());
    EXPECT_EQ(save.Name().rfind("a.log.logstamp-", 0), 0u) << save.Name();
    struct stat st;
    ASSERT_EQ(::fstat(save.Fd(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    ASSERT_TRUE(WriteAll(save.Fd(), "new", 3));
    ASSERT_TRUE(save.Sync());
    ASSERT_TRUE(save.Commit());
  }
  EXPECT_EQ(folder.box.Read("a.log"), "new");
  EXPECT_EQ(folder.box.List(), (std::vector<std::string>{"a.log", "logstamp"}));

  {  // not committed: gone with the object
    SafeSave save(folder.fd.Get(), "a.log");
    ASSERT_TRUE(save.Prepare());
    EXPECT_TRUE(folder.box.Exists(save.Name()));
  }
  EXPECT_EQ(folder.box.List(), (std::vector<std::string>{"a.log", "logstamp"}));

  {  // never over a target that exists, where none was expected
    SafeSave save(folder.fd.Get(), "a.log");
    ASSERT_TRUE(save.Prepare() && save.Sync());
    EXPECT_FALSE(save.Commit(false));
    EXPECT_EQ(errno, EEXIST);
  }
  EXPECT_EQ(folder.box.Read("a.log"), "new");

  {  // swapped: the file beside holds the old content, removed with it
    SafeSave save(folder.fd.Get(), "a.log");
    ASSERT_TRUE(save.Prepare() && WriteAll(save.Fd(), "newer", 5) && save.Sync());
    ASSERT_TRUE(save.Exchange());
    EXPECT_EQ(folder.box.Read("a.log"), "newer");
    EXPECT_EQ(folder.box.Read(save.Name()), "new");
  }
  EXPECT_EQ(folder.box.List(), (std::vector<std::string>{"a.log", "logstamp"}));

  std::string kept;
  {  // kept: stays
    SafeSave save(folder.fd.Get(), "a.log", SafeSave::Kind::kRecovery);
    ASSERT_TRUE(save.Prepare());
    EXPECT_EQ(save.Name().rfind("a.log.logstamp-old-", 0), 0u) << save.Name();
    kept = save.Name();
    save.Keep();
  }
  EXPECT_TRUE(folder.box.Exists(kept));
}

TEST(SafeSave, NamesStayWithinTheLimit) {
  const struct {
    std::size_t target;  // bytes of the target's name
    long name_max;
    std::size_t kept;    // bytes of it in the name
  } cases[] = {
      {10, 255, 10},    // short: whole
      {239, 255, 239},  // 239 + 16 = 255: still whole
      {240, 255, 239},  // one byte too long: cut
      {255, 255, 239},
      {255, 143, 127},  // a file system with a smaller limit
  };
  for (const auto& c : cases) {
    const std::string target(c.target, 'n');
    const std::string name = NameBeside(target, ".logstamp-XXXXXX", c.name_max);
    EXPECT_EQ(name, target.substr(0, c.kept) + ".logstamp-XXXXXX") << c.target << "/" << c.name_max;
  }
  Folder folder;
  SafeSave save(folder.fd.Get(), std::string(255, 'n'), SafeSave::Kind::kRecovery);
  ASSERT_TRUE(save.Prepare()) << std::strerror(errno);
  EXPECT_EQ(save.Name().size(), 255u);
}

// A child prepares a file, then gets the signal: the file is gone and the
// child ended by that signal.
TEST(SafeSave, EndingSignalsRemoveTheFileAndEndTheProcess) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    Folder folder;
    const pid_t child = ::fork();
    if (child == 0) {
      const rlimit no_core{0, 0};
      ::setrlimit(RLIMIT_CORE, &no_core);
      SafeSave save(folder.fd.Get(), "a.log");
      if (!save.Prepare()) ::_exit(10);
      ::raise(signal);
      ::_exit(11);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << strsignal(signal);
    EXPECT_EQ(folder.box.List(), std::vector<std::string>{"logstamp"}) << strsignal(signal);
  }
}

// Held back, a signal ends the process only when the block is over.
TEST(SafeSave, BlockedSignalsTakeEffectAfterTheBlock) {
  Folder folder;
  const pid_t child = ::fork();
  if (child == 0) {
    {
      const BlockedSignals blocked;
      ::raise(SIGTERM);
      folder.box.Write("done-in-block", "");
    }
    ::_exit(0);  // not reached: SIGTERM ends the process at the block's end
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_TRUE(folder.box.Exists("done-in-block"));
}

}  // namespace
