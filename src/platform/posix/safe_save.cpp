#include "platform/posix/safe_save.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/random.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/save_signals.h"

namespace {

// Six random letters and digits.
std::string RandomPart() {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static unsigned long long counter = 0;
  unsigned char bytes[6];
  if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    unsigned long long mix = static_cast<unsigned long long>(now.tv_nsec) ^
                             (static_cast<unsigned long long>(::getpid()) << 20) ^ ++counter * 7919;
    for (unsigned char& b : bytes) {
      b = static_cast<unsigned char>(mix);
      mix = mix * 6364136223846793005ULL + 1442695040888963407ULL;
      mix ^= mix >> 29;
    }
  }
  std::string part;
  for (const unsigned char b : bytes) part += kAlphabet[b % (sizeof kAlphabet - 1)];
  return part;
}

}  // namespace

std::string NameBeside(const std::string& target, const std::string& suffix, long name_max) {
  const std::size_t room =
      name_max > static_cast<long>(suffix.size()) ? static_cast<std::size_t>(name_max) - suffix.size() : 1;
  return target.substr(0, room) + suffix;
}

void SyncFolder(int folder_fd) {
  // The folder's descriptor may be O_PATH, which takes no fsync.
  FileDescriptor dir(::openat(folder_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() >= 0) ::fsync(dir.Get());  // best effort: some file systems refuse it
}

SafeSave::SafeSave(int folder_fd, const std::string& target, Kind kind)
    : folder_(folder_fd), target_(target), kind_(kind) {}

bool SafeSave::Prepare() {
  Rollback();
  long name_max = ::fpathconf(folder_, _PC_NAME_MAX);
  if (name_max <= 0) name_max = 255;
  const std::string prefix = kind_ == Kind::kRecovery ? ".logstamp-old-" : ".logstamp-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    name_ = NameBeside(target_, prefix + RandomPart(), name_max);
    // Nothing from the creation of the file on may fail but the creation,
    // and the file and its removal on a signal come together.
    const BlockedSignals blocked;
    fd_ = FileDescriptor(::openat(folder_, name_.c_str(),
                                  O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600));
    if (fd_.Get() < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    ours_ = true;
    RemoveOnEndingSignal(folder_, name_);
    return true;
  }
  errno = EEXIST;
  return false;
}

bool SafeSave::Sync() {
  const bool synced = ::fsync(fd_.Get()) == 0;
  return fd_.Close() && synced;
}

bool SafeSave::Commit(bool replace) {
  const BlockedSignals blocked;
  int result;
  if (replace) {
    result = ::renameat(folder_, name_.c_str(), folder_, target_.c_str());
  } else {
    result = ::renameat2(folder_, name_.c_str(), folder_, target_.c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
      // No RENAME_NOREPLACE here: a hard link cannot replace either.
      result = ::linkat(folder_, name_.c_str(), folder_, target_.c_str(), 0);
      if (result == 0) ::unlinkat(folder_, name_.c_str(), 0);
    }
  }
  if (result != 0) return false;
  ForgetOnEndingSignal();
  ours_ = false;
  fd_.Reset();
  return true;
}

bool SafeSave::Exchange() {
  fd_.Reset();
  return ::renameat2(folder_, name_.c_str(), folder_, target_.c_str(), RENAME_EXCHANGE) == 0;
}

void SafeSave::Rollback() {
  fd_.Reset();
  if (!ours_) return;
  const BlockedSignals blocked;
  ForgetOnEndingSignal();
  ::unlinkat(folder_, name_.c_str(), 0);
  ours_ = false;
}

void SafeSave::Keep() {
  const BlockedSignals blocked;
  ForgetOnEndingSignal();
  ours_ = false;
}
