// Loads and saves through descriptors. The load resolves the name once (see
// resolve_name.h), opens the file once for reading, takes a read lease on it
// where it can, and keeps the folder's and the file's descriptors until the
// save. The save writes a new file beside the log through the folder's
// descriptor and renames it over the log (safe_save.h), or rewrites the log
// in place through a descriptor of the same file, with a recovery copy of
// its old bytes beside it; it checks right before it replaces or rewrites
// anything that the file is still the one loaded, unchanged.
#include "platform/file_io.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string_view>
#include <thread>

#include "platform/exceptions.h"
#include "platform/file_errors.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/file_attributes.h"
#include "platform/posix/read_lease.h"
#include "platform/posix/resolve_name.h"
#include "platform/posix/safe_save.h"
#include "platform/posix/save_signals.h"

class LoadedFile {
 public:
  FileDescriptor folder;  // O_PATH: where the file was found
  std::string base;       // its name there
  FileDescriptor file;    // opened for reading
  struct stat loaded {};  // the file as it stood before it was read
  ReadLease lease;
  bool writer_present = false;       // another process held it open for writing
  bool changed_while_read = false;   // its state after the read was not that before
  bool links_may_be_followed = true;

  void Release() {
    lease.Forget();  // the lease ends with the descriptor
    file.Reset();
    folder.Reset();
  }
};

namespace {

FileIdentity IdentityOf(const struct stat& st) {
  return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
          static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
          static_cast<long long>(st.st_mtim.tv_nsec)};
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The same file in the same state: no write, truncation, link or change of
// its attributes between the two (the change time moves with each of them,
// and no one can set it back).
bool SameState(const struct stat& a, const struct stat& b) {
  return SameFile(a, b) && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
         a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
         a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// File systems whose files are views of the kernel's state, not text.
bool IsPseudoFileSystem(long type) {
  switch (type) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case 0x62656570:  // configfs
    case EFIVARFS_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
      return true;
    default:
      return false;
  }
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// What a save writes to and what it checks before it replaces anything.
struct Target {
  const std::string& name;  // as given, for the messages
  int folder = -1;          // the folder's descriptor
  std::string base;         // the file's name in it
  int file = -1;            // the file, readable; -1 when it is to be created
  struct stat st {};        // the file when it was loaded or found
  ReadLease* lease = nullptr;             // held since the load, or null
  const FileIdentity* expected = nullptr; // the state the caller read, or null
};

enum class Found { kStillThere, kVanished };

// Raises the create failure unless the file is still the one loaded, in the
// state it was loaded in, under its name; a file that vanished is no
// conflict: it is created anew.
Found CheckUnchanged(const Target& target) {
  if (target.file < 0) return Found::kVanished;
  const auto conflict = [&] { throw EFCreateError(CreateErrorMessage(target.name)); };
  if (target.lease && target.lease->Broken()) conflict();
  // The name first: removing a file changes its state too.
  struct stat named;
  if (::fstatat(target.folder, target.base.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return Found::kVanished;
    conflict();
  }
  if (!SameFile(named, target.st)) conflict();
  struct stat now;
  if (::fstat(target.file, &now) != 0 || !SameState(now, target.st)) conflict();
  if (target.expected && !(IdentityOf(now) == *target.expected)) conflict();
  return Found::kStillThere;
}

// Collects the produced text in large blocks and writes each to a
// descriptor. A broken lease stops it: someone is about to write the log.
class DescriptorSink : public BlockSink {
 public:
  DescriptorSink(int fd, const Target& target)
      : fd_(fd), target_(target), buffer_(new char[kBlock]) {}
  void Write(const char* data, std::size_t size) override {
    if (used_ + size > kBlock) {
      Flush();
      if (size >= kBlock) {
        Put(data, size);
        return;
      }
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
  }
  void Flush() {
    if (used_ > 0) Put(buffer_.get(), used_);
    used_ = 0;
  }

 private:
  void Put(const char* data, std::size_t size) {
    if (target_.lease && target_.lease->Broken()) {
      throw EFCreateError(CreateErrorMessage(target_.name));
    }
    if (!WriteAll(fd_, data, size)) RaiseWriteError();
  }
  static constexpr std::size_t kBlock = 1 << 20;
  int fd_;
  const Target& target_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

// Collects the whole produced text in memory.
class StringSink : public BlockSink {
 public:
  void Write(const char* data, std::size_t size) override { text.append(data, size); }
  std::string text;
};

enum class Replaced { kDone, kRewriteInPlace, kByRename };

// How long an open of the old log for writing may still take to break its
// lease once the log was swapped: its name lookup came before the swap.
constexpr std::chrono::milliseconds kOpensInFlight{2};

// Commits the new file by swapping it with the log while both are leased,
// then looks whether another program opened the old log for writing just
// before the swap: such an open waits in the kernel for its lease, and
// would write into a file no longer under the name. Then the old log is
// swapped back, its writer goes on with it, and nothing is replaced. Where
// the file system cannot swap, or the log vanished, the caller renames
// instead.
Replaced CommitBySwap(const Target& target, SafeSave& temp) {
  FileDescriptor fresh(::openat(target.folder, temp.Name().c_str(),
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  ReadLease fresh_lease;  // who opens the new log while it stands under the name
  if (fresh.Get() >= 0) fresh_lease.Take(fresh.Get());
  const HeldLeases held;  // a writer's open waits for the decision below
  if (CheckUnchanged(target) == Found::kVanished) return Replaced::kByRename;
  if (!temp.Exchange()) {
    if (errno == EINVAL || errno == ENOSYS) return Replaced::kByRename;
    if (errno == EBUSY || errno == EPERM) return Replaced::kRewriteInPlace;
    RaiseWriteError();
  }
  const auto swapped = std::chrono::steady_clock::now();
  SyncFolder(target.folder);
  std::this_thread::sleep_until(swapped + kOpensInFlight);
  if (target.lease->Broken() && !fresh_lease.Broken()) {
    if (!temp.Exchange()) {
      temp.Keep();  // the old log, with what its writer adds, stays beside the new one
    } else {
      SyncFolder(target.folder);
    }
    throw EFCreateError(CreateErrorMessage(target.name));
  }
  temp.Rollback();  // the old log, no longer under its name
  return Replaced::kDone;
}

// The new text into a new file beside the log, given the log's owner,
// group, mode and attributes, and renamed over the log. Where the new file
// could not carry all of those, or the folder takes no new file, or the
// rename is refused for this file, nothing is replaced and the log is to be
// rewritten in place.
Replaced ReplaceByRename(const Target& target, const std::function<void(BlockSink&)>& produce) {
  const bool exists = target.file >= 0;
  SafeSave temp(target.folder, target.base);
  if (!temp.Prepare()) {
    if (!exists) throw EFCreateError(CreateErrorMessage(target.name));  // a closed folder
    return Replaced::kRewriteInPlace;  // the folder takes no new file
  }
  DescriptorSink sink(temp.Fd(), target);
  produce(sink);
  sink.Flush();
  if (exists) {
    switch (CopyAttributes(target.file, target.st, temp.Fd())) {
      case AttributesCopied::kAll: break;
      case AttributesCopied::kCannotKeep: return Replaced::kRewriteInPlace;
      case AttributesCopied::kFailed: RaiseWriteError();
    }
  } else if (::fchmod(temp.Fd(), 0666 & ~CurrentUmask()) != 0) {
    RaiseWriteError();
  }
  if (!temp.Sync()) RaiseWriteError();
  if (exists && target.lease) {
    const Replaced swapped = CommitBySwap(target, temp);
    if (swapped != Replaced::kByRename) return swapped;
  }
  // Once more, right before the log is replaced. A log that vanished is
  // created anew, but never over a file that took its name meanwhile.
  const bool replace = CheckUnchanged(target) == Found::kStillThere;
  if (!temp.Commit(replace)) {
    if (exists && replace && (errno == EBUSY || errno == EPERM)) {
      return Replaced::kRewriteInPlace;  // a mount point, a sticky folder
    }
    if (errno == EEXIST) throw EFCreateError(CreateErrorMessage(target.name));
    RaiseWriteError();
  }
  SyncFolder(target.folder);
  return Replaced::kDone;
}

// A recovery file beside the log holding its old bytes, flushed, or false
// when none can be made.
bool MakeRecoveryFile(const Target& target, const std::string& old, SafeSave& recovery) {
  if (!recovery.Prepare() || !WriteAll(recovery.Fd(), old.data(), old.size())) return false;
  // As readable as the log, by no one else.
  if (::fchown(recovery.Fd(), target.st.st_uid, target.st.st_gid) == 0) {
    ::fchmod(recovery.Fd(), target.st.st_mode & 0666);
  }
  if (!recovery.Sync()) return false;
  SyncFolder(target.folder);
  return true;
}

// Rewrites the log through a descriptor of the very file loaded. The whole
// new text is built first, and the old bytes are kept in a recovery file
// beside the log (or, where the folder takes none, in memory only) until
// the new ones are on disk; a failed write puts them back. The signals
// that end a process are held back while the log is rewritten.
void RewriteInPlace(const Target& target, const std::function<void(BlockSink&)>& produce) {
  StringSink next;
  produce(next);
  std::string old(static_cast<std::size_t>(target.st.st_size), '\0');
  if (!ReadAllAt(target.file, old.data(), old.size(), 0)) RaiseWriteError();
  SafeSave recovery(target.folder, target.base, SafeSave::Kind::kRecovery);
  if (!MakeRecoveryFile(target, old, recovery)) recovery.Rollback();

  if (CheckUnchanged(target) == Found::kVanished) {
    throw EFCreateError(CreateErrorMessage(target.name));
  }
  // Our own open for writing would break our lease: it ends here, and the
  // state of the file opened for writing is checked once more instead.
  if (target.lease) target.lease->Release();
  FileDescriptor out(::openat(target.folder, target.base.c_str(),
                              O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat st;
  if (out.Get() < 0 || ::fstat(out.Get(), &st) != 0 || !SameState(st, target.st)) {
    throw EFCreateError(CreateErrorMessage(target.name));
  }
  // Once the new text is on disk the old bytes could no longer be put back:
  // a failing close afterwards is no failure of the save, so the descriptor
  // closes without a check.
  const BlockedSignals blocked;
  if (WriteAll(out.Get(), next.text.data(), next.text.size(), 0) &&
      ::ftruncate(out.Get(), static_cast<off_t>(next.text.size())) == 0 && ::fsync(out.Get()) == 0) {
    return;  // the recovery file goes with its SafeSave
  }
  const bool restored = WriteAll(out.Get(), old.data(), old.size(), 0) &&
                        ::ftruncate(out.Get(), static_cast<off_t>(old.size())) == 0 &&
                        ::fsync(out.Get()) == 0;
  if (!restored) recovery.Keep();  // then the one whole copy of the old bytes
  RaiseWriteError();
}

void Save(const Target& target, const std::function<void(BlockSink&)>& produce) {
  if (CheckUnchanged(target) == Found::kVanished) {
    Target anew{target.name, target.folder, target.base};
    ReplaceByRename(anew, produce);
    return;
  }
  // Can the file be written at all? Checked before anything is written.
  if (::faccessat(target.file, "", W_OK, AT_EACCESS | AT_EMPTY_PATH) != 0) {
    throw EFCreateError(CreateErrorMessage(target.name));
  }
  // A rename would split the hard links.
  if (target.st.st_nlink > 1 || ReplaceByRename(target, produce) == Replaced::kRewriteInPlace) {
    RewriteInPlace(target, produce);
  }
}

void SaveLoaded(const std::string& name, const std::function<void(BlockSink&)>& produce,
                const FileIdentity* expected, LoadedFile& loaded) {
  if (!loaded.links_may_be_followed || loaded.writer_present || loaded.changed_while_read ||
      loaded.file.Get() < 0) {
    throw EFCreateError(CreateErrorMessage(name));
  }
  Target target{name, loaded.folder.Get(), loaded.base, loaded.file.Get(), loaded.loaded,
                loaded.lease.Held() ? &loaded.lease : nullptr, expected};
  Save(target, produce);
}

// A save without a load: the name is resolved now.
void SaveByName(const std::string& name, const std::function<void(BlockSink&)>& produce,
                const FileIdentity* expected) {
  ResolvedName resolved;
  if (!ResolveName(name, resolved)) throw EFCreateError(CreateErrorMessage(name));
  Target target{name, resolved.folder.Get(), resolved.base};
  target.expected = expected;
  FileDescriptor file;
  if (resolved.file.Get() >= 0) {
    struct stat st;
    if (::fstat(resolved.file.Get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        !LinksMayBeFollowed(resolved.link_owners, st.st_uid, ::geteuid())) {
      throw EFCreateError(CreateErrorMessage(name));
    }
    file = FileDescriptor(::openat(target.folder, target.base.c_str(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0 || ::fstat(file.Get(), &target.st) != 0 || !SameFile(st, target.st)) {
      throw EFCreateError(CreateErrorMessage(name));
    }
    target.file = file.Get();
  }
  Save(target, produce);
}

}  // namespace

FileBytes ReadWholeFile(const std::string& name) {
  // The name as the system resolves it must lead to the file resolved here
  // (a descriptor's link in /proc of a deleted file does not).
  struct stat named;
  if (::stat(name.c_str(), &named) != 0) throw EFOpenError(OpenErrorMessage(name));
  ResolvedName resolved;
  struct stat st;
  struct statfs fs;
  if (!ResolveName(name, resolved) || resolved.file.Get() < 0 ||
      ::fstat(resolved.file.Get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      ::fstatfs(resolved.file.Get(), &fs) != 0 || IsPseudoFileSystem(fs.f_type)) {
    throw EFOpenError(OpenErrorMessage(name));
  }
  auto loaded = std::make_shared<LoadedFile>();
  loaded->file = FileDescriptor(::openat(resolved.folder.Get(), resolved.base.c_str(),
                                         O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
  if (loaded->file.Get() < 0) throw EFOpenError(OpenErrorMessage(name));
  const int fd = loaded->file.Get();
  loaded->writer_present = loaded->lease.Take(fd) == ReadLease::Taken::kWriterPresent;
  // The identity from before the read: a change during the read is a change.
  if (::fstat(fd, &loaded->loaded) != 0 || !SameFile(loaded->loaded, st) ||
      !SameFile(named, st)) {
    throw EFOpenError(OpenErrorMessage(name));
  }
  loaded->links_may_be_followed =
      LinksMayBeFollowed(resolved.link_owners, loaded->loaded.st_uid, ::geteuid());

  // One request for the size seen at the open; a file that grew meanwhile is
  // read on to its end.
  std::size_t capacity = static_cast<std::size_t>(loaded->loaded.st_size) + 1;
  FileBytes bytes;
  bytes.data.reset(new char[capacity]);
  while (true) {
    if (bytes.size == capacity) {
      const std::size_t bigger = capacity + capacity / 2 + 4096;
      std::unique_ptr<char[]> grown(new char[bigger]);
      std::memcpy(grown.get(), bytes.data.get(), bytes.size);
      bytes.data = std::move(grown);
      capacity = bigger;
    }
    const ssize_t n = ::read(fd, bytes.data.get() + bytes.size, capacity - bytes.size);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseReadError();
    }
    if (n == 0) break;
    bytes.size += static_cast<std::size_t>(n);
  }
  struct stat after;
  if (::fstat(fd, &after) != 0) RaiseReadError();
  loaded->changed_while_read = !SameState(after, loaded->loaded) || bytes.size != static_cast<std::size_t>(after.st_size);
  bytes.identity = IdentityOf(loaded->loaded);
  loaded->folder = std::move(resolved.folder);
  loaded->base = resolved.base;
  bytes.file = std::move(loaded);
  return bytes;
}

void ReplaceFileContent(const std::string& name, const std::function<void(BlockSink&)>& produce,
                        const FileIdentity* expected, LoadedFile* loaded) {
  if (!loaded) {
    SaveByName(name, produce, expected);
    return;
  }
  struct Release {
    LoadedFile& file;
    ~Release() { file.Release(); }
  } release{*loaded};
  SaveLoaded(name, produce, expected, *loaded);
}
