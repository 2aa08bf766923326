// The save against hostile and careless surroundings, through the real
// program: long names, owners, groups, ACLs and attributes, other users'
// links, files of /proc and /sys, descriptor links of deleted files, a log
// another program holds open for writing, a mount point, no /proc at all,
// a closed stderr pipe and a terminal on stderr. Each case says what the log
// and the folder must hold afterwards.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/messages.h"
#include "support/sandbox.h"
#include "support/test_users.h"

namespace {

const std::string kLog = ".LOG\n9:05 2003/06/19\nBought milk.\n";
const std::string kSaved = ".LOG\r\n2003/06/19 09:05\tBought milk.\r\n";

std::string WriteError(const std::string& name) {
  return Box("書き込みエラー", "ファイル " + name + " に書き込めませんでした。");
}

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

std::optional<std::string> Attribute(const std::string& path, const char* name) {
  char value[4096];
  const ssize_t n = ::getxattr(path.c_str(), name, value, sizeof value);
  if (n < 0) return std::nullopt;
  return std::string(value, static_cast<std::size_t>(n));
}

// Runs a command to its end; its exit code.
int Command(const std::vector<std::string>& argv) {
  ChildProcess child(argv);
  return child.Wait();
}

// A run in ja_JP.UTF-8 (where the stamps convert) under the wrapper.
RunOptions Japanese(std::vector<std::string> wrapper = {}) {
  RunOptions options = Wrapped(std::move(wrapper));
  options.locale = "ja_JP.UTF-8";
  return options;
}

// Whether this process may make mount namespaces of its own (to bind-mount
// or hide /proc without touching the machine's mounts).
bool MayUnshareMounts() {
  return ::geteuid() == 0 && ::access("/usr/bin/unshare", X_OK) == 0 &&
         Command({"/usr/bin/unshare", "-m", "--propagation", "private", "true"}) == 0;
}

// A wrapper that runs the program in a mount namespace of its own after the
// shell command setup.
std::vector<std::string> InMountNamespace(const std::string& setup) {
  return {"/usr/bin/unshare", "-m", "--propagation", "private", "/bin/sh", "-c",
          setup + " && exec \"$@\"", "sh"};
}

// From a 240-byte name on, NAME.logstamp-XXXXXX exceeds the limit of 255;
// the name part of the temporary file is shortened instead, so the save
// still replaces the log by a rename: a new inode.
TEST(SaveSafety, LongNamesKeepTheAtomicSave) {
  Sandbox box;
  for (const std::size_t length : {239u, 240u, 250u, 255u}) {
    const std::string name = std::string(length - 4, 'n') + ".log";
    box.Write(name, kLog);
    const ino_t before = StatOf(box.Path(name)).st_ino;
    const RunResult r = box.Run({name}, InLocale("ja_JP.UTF-8"));
    EXPECT_EQ(r.err, "") << length;
    EXPECT_EQ(box.Read(name), kSaved) << length;
    EXPECT_NE(StatOf(box.Path(name)).st_ino, before) << length << ": replaced by a rename";
    EXPECT_EQ(box.List().size(), 2u) << length << ": no temporary file is left";
    std::remove(box.Path(name).c_str());
  }
}

// An ACL entry for a user and a user.* attribute come back with the log, and
// the group bits stay those of the ACL's mask; a log without an ACL in a
// folder with a default ACL gets none from the folder.
TEST(SaveSafety, AclsAndAttributesAreKept) {
  if (::access("/usr/bin/setfacl", X_OK) != 0) GTEST_SKIP() << "setfacl is missing (package acl)";
  Sandbox box;
  box.Write("acl.log", kLog);
  ::chmod(box.Path("acl.log").c_str(), 0640);
  if (Command({"/usr/bin/setfacl", "-m", "u:nobody:rw", box.Path("acl.log")}) != 0 ||
      ::setxattr(box.Path("acl.log").c_str(), "user.note", "diary", 5, 0) != 0) {
    GTEST_SKIP() << "the file system under /tmp keeps no ACLs or user.* attributes";
  }
  ::mkdir(box.Path("inherits").c_str(), 0777);
  box.Write("inherits/plain.log", kLog);
  ::chmod(box.Path("inherits/plain.log").c_str(), 0600);
  ASSERT_EQ(Command({"/usr/bin/setfacl", "-d", "-m", "u:nobody:rwx", box.Path("inherits")}), 0);

  const std::optional<std::string> acl = Attribute(box.Path("acl.log"), "system.posix_acl_access");
  ASSERT_TRUE(acl);
  const mode_t mode = StatOf(box.Path("acl.log")).st_mode;
  const RunResult r = box.Run({"acl.log", "inherits/plain.log"}, InLocale("ja_JP.UTF-8"));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(box.Read("acl.log"), kSaved);
  EXPECT_EQ(Attribute(box.Path("acl.log"), "system.posix_acl_access"), acl);
  EXPECT_EQ(Attribute(box.Path("acl.log"), "user.note"), "diary");
  EXPECT_EQ(StatOf(box.Path("acl.log")).st_mode, mode) << "the group bits stay the mask's";
  EXPECT_EQ(box.Read("inherits/plain.log"), kSaved);
  EXPECT_EQ(Attribute(box.Path("inherits/plain.log"), "system.posix_acl_access"), std::nullopt);
  EXPECT_EQ(StatOf(box.Path("inherits/plain.log")).st_mode & 07777, 0600u);
  EXPECT_EQ(box.List(), (std::vector<std::string>{"acl.log", "inherits", "logstamp"}));
}

// A log shared by a group, in a group-writable folder: a member converting
// it leaves it its owner's and its group's, with its mode. The member cannot
// give a new file away, so the log is rewritten in place (its inode stays);
// its owner, a member too, may keep owner and group on a new file.
TEST(SaveSafety, AGroupSharedLogKeepsItsOwnerAndGroup) {
  const std::string why = WhyNoTestUsers();
  if (!why.empty()) GTEST_SKIP() << why;
  const std::optional<TestUser> owner = EnsureTestUser("logstamp-t1", {"logstamp-tshare"});
  const std::optional<TestUser> member = EnsureTestUser("logstamp-t2", {"logstamp-tshare"});
  const std::optional<gid_t> shared = EnsureTestGroup("logstamp-tshare");
  ASSERT_TRUE(owner && member && shared);

  Sandbox box;
  const std::string folder = box.Path("shared");
  ::mkdir(folder.c_str(), 0);
  ASSERT_EQ(::chown(folder.c_str(), owner->uid, *shared), 0);
  ::chmod(folder.c_str(), 02775);
  for (const TestUser& who : {*member, *owner}) {
    box.Write("shared/diary.log", kLog);
    const std::string log = box.Path("shared/diary.log");
    ASSERT_EQ(::chown(log.c_str(), owner->uid, *shared), 0);
    ::chmod(log.c_str(), 0664);
    const struct stat before = StatOf(log);
    const RunResult r = box.Run({"shared/diary.log"}, Japanese(RunAs(who)));
    EXPECT_EQ(r.err, "") << who.name;
    EXPECT_EQ(box.Read("shared/diary.log"), kSaved) << who.name;
    const struct stat after = StatOf(log);
    EXPECT_EQ(after.st_uid, owner->uid) << who.name;
    EXPECT_EQ(after.st_gid, *shared) << who.name;
    EXPECT_EQ(after.st_mode & 07777, 0664u) << who.name;
    if (who.uid == member->uid) {
      EXPECT_EQ(after.st_ino, before.st_ino) << "rewritten in place";
    }
    EXPECT_EQ(box.List(), (std::vector<std::string>{"logstamp", "shared"}));
    std::remove(log.c_str());
  }
}

// A symbolic link is followed only when its owner is the caller, root, or
// the owner of the file it leads to; otherwise the write error and the file
// untouched. The kernel's protected_symlinks rule asks this only in sticky
// folders; a user's link anywhere must not make root, or anyone, write a
// file that is not the link owner's.
TEST(SaveSafety, OnlyTrustedLinksAreFollowed) {
  const std::string why = WhyNoTestUsers();
  if (!why.empty()) GTEST_SKIP() << why;
  const std::optional<TestUser> t1 = EnsureTestUser("logstamp-t1", {"logstamp-tshare"});
  const std::optional<TestUser> t2 = EnsureTestUser("logstamp-t2", {"logstamp-tshare"});
  const std::optional<gid_t> shared = EnsureTestGroup("logstamp-tshare");
  ASSERT_TRUE(t1 && t2 && shared);
  const TestUser root{"root", 0, 0};
  const struct {
    const char* what;
    const TestUser& caller;
    const TestUser& link_owner;
    const TestUser& target_owner;
    bool followed;
  } cases[] = {
      {"root through a user's link to root's file", root, *t1, root, false},
      {"root through a user's link to that user's file", root, *t1, *t1, true},
      {"root through its own link", root, root, *t1, true},
      {"a user through another's link to his own file", *t2, *t1, *t2, false},
      {"a user through another's link to that one's file", *t2, *t1, *t1, true},
      {"a user through root's link", *t2, root, *t1, true},
  };
  for (const auto& c : cases) {
    Sandbox box;
    box.Write("target.log", kLog);
    ASSERT_EQ(::chown(box.Path("target.log").c_str(), c.target_owner.uid, *shared), 0);
    ::chmod(box.Path("target.log").c_str(), 0664);
    ASSERT_EQ(::symlink("target.log", box.Path("diary.log").c_str()), 0);
    ASSERT_EQ(::lchown(box.Path("diary.log").c_str(), c.link_owner.uid, c.link_owner.gid), 0);
    const RunResult r = box.Run(
        {"diary.log"}, Japanese(c.caller.uid == 0 ? std::vector<std::string>{} : RunAs(c.caller)));
    EXPECT_EQ(box.Read("target.log"), c.followed ? kSaved : kLog) << c.what;
    EXPECT_EQ(r.err, c.followed ? "" : WriteError("diary.log") + Summary(1, 1)) << c.what;
    EXPECT_TRUE(S_ISLNK(StatOf(box.Path("diary.log")).st_mode)) << c.what;
    EXPECT_EQ(box.List(), (std::vector<std::string>{"diary.log", "logstamp", "target.log"})) << c.what;
  }
}

// Files of /proc and /sys are views of the kernel, not logs: the read error,
// nothing opened for writing. (/proc/self/status once passed for a regular
// file and was truncated as root.)
TEST(SaveSafety, PseudoFilesAreRefused) {
  Sandbox box;
  std::vector<std::string> names = {"/proc/self/status", "/proc/self/environ"};
  if (::access("/sys/kernel/uevent_seqnum", R_OK) == 0) names.push_back("/sys/kernel/uevent_seqnum");
  const RunResult r = box.Run(names);
  std::string expected;
  for (const std::string& name : names) expected += ReadError(name);
  EXPECT_EQ(r.err, expected + Summary(static_cast<int>(names.size()), static_cast<int>(names.size())));
  EXPECT_EQ(box.List(), std::vector<std::string>{"logstamp"});
}

// /dev/fd/N of a deleted file names no file: the read error, and no file
// "x.log (deleted)" made from the link's text.
TEST(SaveSafety, ADescriptorLinkOfADeletedFileIsRefused) {
  Sandbox box;
  box.Write("x.log", kLog);
  const int fd = ::open(box.Path("x.log").c_str(), O_RDWR);  // inherited by the run
  ASSERT_GE(fd, 3);
  std::remove(box.Path("x.log").c_str());
  const std::string name = "/dev/fd/" + std::to_string(fd);
  const RunResult r = box.Run({name});
  ::close(fd);
  EXPECT_EQ(r.err, ReadError(name) + Summary(1, 1));
  EXPECT_EQ(box.List(), std::vector<std::string>{"logstamp"});
}

// A program that holds the log open for writing across the run (exec 4>>log)
// would write on into a replaced file: the log is not replaced (the write
// error), and what that program writes later stays in the log. This rests on
// the read lease, which root may take on any file.
TEST(SaveSafety, ALogHeldOpenForWritingIsNotReplaced) {
  Sandbox box;
  box.Write("held.log", kLog);
  box.Write("free.log", kLog);
  const int writer = ::open(box.Path("held.log").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  const int reader = ::open(box.Path("free.log").c_str(), O_RDONLY | O_CLOEXEC);
  const bool leases = ::fcntl(reader, F_SETLEASE, F_RDLCK) == 0;
  ::close(reader);
  if (!leases) {
    ::close(writer);
    GTEST_SKIP() << "no read lease on this file system or for this user: identity checks only";
  }
  const RunResult r = box.Run({"held.log", "free.log"}, InLocale("ja_JP.UTF-8"));
  ASSERT_EQ(::write(writer, "later\n", 6), 6);
  ::close(writer);
  EXPECT_EQ(r.err, WriteError("held.log") + Summary(2, 1));
  EXPECT_EQ(box.Read("held.log"), kLog + "later\n");
  EXPECT_EQ(box.Read("free.log"), kSaved);
}

// A rename over a mount point fails (EBUSY): the bind-mounted log is then
// rewritten in place, the file behind the mount converted.
TEST(SaveSafety, ABindMountedLogIsRewrittenInPlace) {
  if (!MayUnshareMounts()) GTEST_SKIP() << "no mount namespace of our own here (needs root)";
  Sandbox box;
  box.Write("real.log", kLog);
  box.Write("mounted.log", "");
  const RunResult r =
      box.Run({"mounted.log"}, Japanese(InMountNamespace("mount --bind real.log mounted.log")));
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(box.Read("real.log"), kSaved);
  EXPECT_EQ(box.List(), (std::vector<std::string>{"logstamp", "mounted.log", "real.log"}));
}

// Without /proc the program cannot find its own path: it reads no settings
// file (never ./.ini of the current folder, which anyone may own) and names
// itself logstamp.
TEST(SaveSafety, WithoutProcNoSettingsFileIsRead) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the sanitizers' runtime needs /proc for itself";
#endif
  if (!MayUnshareMounts()) GTEST_SKIP() << "no mount namespace of our own here (needs root)";
  Sandbox box;
  box.Write(".ini", "[DateTime]\nFormat=yyyy\n");
  box.WriteIni("[DateTime]\nFormat=hh:nn\n");
  box.Write("a.log", kLog);
  const RunResult r =
      box.Run({"a.log", "missing.log"}, Japanese(InMountNamespace("mount -t tmpfs none /proc")));
  EXPECT_EQ(r.err, ReadError("missing.log") + Summary(2, 1));
  EXPECT_EQ(box.Read("a.log"), kSaved) << "the default pattern";
}

// A closed stderr pipe (logstamp a b 2>&1 | true) ends no run: the message
// for the first file is lost, the second file is converted.
TEST(SaveSafety, AClosedStderrPipeStopsNothing) {
  Sandbox box;
  box.Write("b.log", kLog);
  int pipefd[2];
  ASSERT_EQ(::pipe(pipefd), 0);
  ::close(pipefd[0]);  // no reader
  const std::string redirect = "exec \"$@\" 2>&" + std::to_string(pipefd[1]);
  ChildOptions options;
  options.cwd = box.Dir();
  options.env = RunEnvironment("ja_JP.UTF-8");
  ChildProcess run({"/bin/sh", "-c", redirect, "sh", box.Path("logstamp"), "missing.log", "b.log"},
                   options);
  ::close(pipefd[1]);
  EXPECT_EQ(run.Wait(), 0) << "not ended by SIGPIPE";
  EXPECT_EQ(box.Read("b.log"), kSaved);
}

// On a terminal, control bytes of file names and log lines are written as
// escapes, so that a name cannot clear the screen; the message's own line
// break (CR LF in the box) stays a line break. A pipe gets the bytes as they
// are.
TEST(SaveSafety, ControlBytesReachATerminalEscaped) {
  Sandbox box;
  const std::string log_name = "tab\t.log";
  box.Write(log_name, ".LOG\r\n9:05 2003/0\x1b/19\r\nx\r\n");
  const std::vector<std::string> args = {"a\x1b[2J\n.log", log_name};

  int master = -1, slave = -1;
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  struct termios raw {};
  ::tcgetattr(slave, &raw);
  ::cfmakeraw(&raw);  // the bytes as written, no CR added before LF
  ::tcsetattr(slave, TCSANOW, &raw);
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  ChildOptions options;
  options.cwd = box.Dir();
  options.env = RunEnvironment("ja_JP.UTF-8");
  std::vector<std::string> argv = {"/bin/sh", "-c", "exec \"$@\" 2>&" + std::to_string(slave), "sh",
                                   box.Path("logstamp")};
  argv.insert(argv.end(), args.begin(), args.end());
  ChildProcess run(argv, options);
  ::close(slave);
  std::string shown;
  char buf[4096];
  ssize_t n;
  while ((n = ::read(master, buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0) shown.append(buf, static_cast<std::size_t>(n));
  }
  ::close(master);
  EXPECT_EQ(run.Wait(), 0);
  const std::string conversion_error =
      Box("日時変換エラー", box.Dir() + "/tab\\t.log、旧2行目 での EConvertError\n"
                            "'2003/0\\e/19 9:05' は日付または時刻ではありません");
  EXPECT_EQ(shown, ReadError("a\\e[2J\\n.log") + conversion_error + Summary(2, 1));

  const RunResult piped = box.Run(args, InLocale("ja_JP.UTF-8"));
  EXPECT_EQ(piped.err, ReadError(args[0]) +
                           Box("日時変換エラー", box.Dir() + "/tab\t.log、旧2行目 での EConvertError\n"
                                                 "'2003/0\x1b/19 9:05' は日付または時刻ではありません") +
                           Summary(2, 1));
}

}  // namespace
