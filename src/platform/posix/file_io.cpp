#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/charset.h"
#include "platform/exceptions.h"
#include "platform/posix/descriptor.h"

namespace {

std::string OpenErrorMessage(const std::string& name) {
  return LocalText("ファイル ") + name + LocalText(" は開けません");
}

std::string CreateErrorMessage(const std::string& name) {
  return LocalText("ファイル ") + name + LocalText(" を作成できません");
}

[[noreturn]] void RaiseWriteError() { throw EWriteError(LocalText("ストリームへの書き込みエラー")); }

// Collects the produced text in large blocks and writes each to a descriptor.
class DescriptorSink : public BlockSink {
 public:
  explicit DescriptorSink(int fd) : fd_(fd), buffer_(new char[kBlock]) {}
  void Write(const char* data, std::size_t size) override {
    if (used_ + size > kBlock) {
      Flush();
      if (size >= kBlock) {
        if (!WriteAll(fd_, data, size)) RaiseWriteError();
        return;
      }
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
  }
  void Flush() {
    if (used_ > 0 && !WriteAll(fd_, buffer_.get(), used_)) RaiseWriteError();
    used_ = 0;
  }

 private:
  static constexpr std::size_t kBlock = 1 << 20;
  int fd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

// Collects the whole produced text in memory.
class StringSink : public BlockSink {
 public:
  void Write(const char* data, std::size_t size) override { text.append(data, size); }
  std::string text;
};

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file that receives the content: a symbolic link is followed to its
// final target, so that the link itself stays as it is.
std::string ResolveTarget(const std::string& name) {
  struct stat st;
  if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return name;
  if (char* real = ::realpath(name.c_str(), nullptr)) {
    std::string target(real);
    std::free(real);
    return target;
  }
  // A dangling link: its target is created through the link itself.
  std::string target = name;
  for (int hops = 0; hops < 40; ++hops) {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(target.c_str(), buf, sizeof buf);
    if (n < 0) break;
    std::string next(buf, static_cast<std::size_t>(n));
    if (next.empty() || next[0] != '/') next = FolderOf(target) + "/" + next;
    target = next;
  }
  return target;
}

FileIdentity IdentityOf(const struct stat& st) {
  return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
          static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
          static_cast<long long>(st.st_mtim.tv_nsec)};
}

// Raises the create failure when the file at target is no longer the one
// that was read. A file that vanished is no conflict: it is created anew.
void CheckUnchanged(const std::string& name, const std::string& target,
                    const FileIdentity* expected) {
  if (!expected) return;
  struct stat st;
  if (::stat(target.c_str(), &st) != 0) {
    if (errno == ENOENT) return;
    throw EFCreateError(CreateErrorMessage(name));
  }
  if (!(IdentityOf(st) == *expected)) throw EFCreateError(CreateErrorMessage(name));
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

void SyncFolder(const std::string& folder) {
  FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() >= 0) ::fsync(dir.Get());  // best effort: some file systems refuse it
}

// Rewrites an existing file through its own descriptor. The whole new text is
// built first and the old bytes are kept, so a failed write can put them back.
void RewriteInPlace(int fd, const std::function<void(BlockSink&)>& produce) {
  StringSink next;
  produce(next);
  struct stat st;
  if (::fstat(fd, &st) != 0) RaiseWriteError();
  std::string old(static_cast<std::size_t>(st.st_size), '\0');
  if (!ReadAllAt(fd, old.data(), old.size(), 0)) RaiseWriteError();
  if (WriteAll(fd, next.text.data(), next.text.size(), 0) &&
      ::ftruncate(fd, static_cast<off_t>(next.text.size())) == 0 && ::fsync(fd) == 0) {
    return;
  }
  WriteAll(fd, old.data(), old.size(), 0);
  ::ftruncate(fd, static_cast<off_t>(old.size()));
  ::fsync(fd);
  RaiseWriteError();
}

}  // namespace

FileBytes ReadWholeFile(const std::string& name) {
  FileDescriptor fd(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.Get() < 0) throw EFOpenError(OpenErrorMessage(name));
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) throw EFOpenError(OpenErrorMessage(name));

  // One request for the size seen at the open; a file that grew meanwhile is
  // read on to its end.
  std::size_t capacity = static_cast<std::size_t>(st.st_size) + 1;
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
    const ssize_t n = ::read(fd.Get(), bytes.data.get() + bytes.size, capacity - bytes.size);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EReadError(LocalText("ストリームの読み込みエラー"));
    }
    if (n == 0) break;
    bytes.size += static_cast<std::size_t>(n);
  }
  // The identity as the file stands after the read, so that a file still
  // growing while it was read counts as changed only by later writes.
  if (::fstat(fd.Get(), &st) != 0) throw EReadError(LocalText("ストリームの読み込みエラー"));
  bytes.identity = IdentityOf(st);
  return bytes;
}

void ReplaceFileContent(const std::string& name, const std::function<void(BlockSink&)>& produce,
                        const FileIdentity* expected) {
  const std::string target = ResolveTarget(name);
  CheckUnchanged(name, target, expected);

  // Can the file be written at all? Checked before anything is written. A
  // FIFO without a reader fails here instead of blocking.
  FileDescriptor existing(::open(target.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat st {};
  const bool exists = existing.Get() >= 0;
  if (!exists && errno != ENOENT) throw EFCreateError(CreateErrorMessage(name));
  if (exists && (::fstat(existing.Get(), &st) != 0 || !S_ISREG(st.st_mode))) {
    throw EFCreateError(CreateErrorMessage(name));
  }
  // In place, the new text is on disk once RewriteInPlace returns, and the old
  // bytes could no longer be put back: a failing close afterwards is no
  // failure of the save, so the descriptor closes without a check.
  if (exists && st.st_nlink > 1) {  // a rename would split the hard links
    RewriteInPlace(existing.Get(), produce);
    return;
  }

  const std::string folder = FolderOf(target);
  std::string temp = target + ".logstamp-XXXXXX";
  FileDescriptor out(::mkstemp(temp.data()));
  if (out.Get() < 0) {
    if (!exists) throw EFCreateError(CreateErrorMessage(name));  // missing or closed folder
    RewriteInPlace(existing.Get(), produce);  // the folder takes no new file
    return;
  }
  ::fcntl(out.Get(), F_SETFD, FD_CLOEXEC);
  existing.Reset();

  try {
    DescriptorSink sink(out.Get());
    produce(sink);
    sink.Flush();
    if (exists) {
      if (::fchown(out.Get(), st.st_uid, st.st_gid) != 0) {
        // Only root may give a file away; the new file then keeps our owner.
      }
      if (::fchmod(out.Get(), st.st_mode & 07777) != 0) RaiseWriteError();
    } else if (::fchmod(out.Get(), 0666 & ~CurrentUmask()) != 0) {
      RaiseWriteError();
    }
    if (::fsync(out.Get()) != 0 || !out.Close()) RaiseWriteError();
    CheckUnchanged(name, target, expected);  // once more, right before the log is replaced
    if (::rename(temp.c_str(), target.c_str()) != 0) RaiseWriteError();
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  SyncFolder(folder);
}
