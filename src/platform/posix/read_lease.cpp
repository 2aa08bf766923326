#include "platform/posix/read_lease.h"

#include <fcntl.h>
#include <signal.h>

#include <atomic>
#include <cerrno>

namespace {

// The leases the process holds, as the signal handler sees them. A slot is
// free while its fd is -1.
constexpr int kSlots = 4;
struct Slot {
  std::atomic<int> fd{-1};
  std::atomic<bool> broken{false};
};
Slot slots[kSlots];
std::atomic<bool> holding{false};  // a HeldLeases lives

void OnLeaseBreak(int, siginfo_t* info, void*) {
  // The descriptor comes with the signal (F_SETSIG); a signal without it
  // counts for every lease, as any may be the one being broken.
  for (Slot& slot : slots) {
    const int fd = slot.fd.load();
    if (fd < 0 || (info->si_code != SI_KERNEL && info->si_fd != fd)) continue;
    slot.broken.store(true);
    if (!holding.load()) ::fcntl(fd, F_SETLEASE, F_UNLCK);
  }
}

void InstallHandlerOnce() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  action.sa_sigaction = OnLeaseBreak;
  action.sa_flags = SA_SIGINFO | SA_RESTART;
  ::sigemptyset(&action.sa_mask);
  ::sigaction(SIGIO, &action, nullptr);
}

}  // namespace

ReadLease::Taken ReadLease::Take(int fd) {
  Forget();
  InstallHandlerOnce();
  int free_slot = -1;
  for (int i = 0; i < kSlots && free_slot < 0; ++i) {
    if (slots[i].fd.load() < 0) free_slot = i;
  }
  if (free_slot < 0) return Taken::kUnavailable;
  Slot& slot = slots[free_slot];
  slot.broken.store(false);
  slot.fd.store(fd);
  // The signal must carry the descriptor; giving up a lease resets that.
  if (::fcntl(fd, F_SETSIG, SIGIO) == 0 && ::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
    fd_ = fd;
    slot_ = free_slot;
    return Taken::kHeld;
  }
  const int error = errno;
  slot.fd.store(-1);
  return error == EAGAIN ? Taken::kWriterPresent : Taken::kUnavailable;
}

bool ReadLease::Broken() const {
  if (slot_ < 0) return false;
  return slots[slot_].broken.load() || ::fcntl(fd_, F_GETLEASE) != F_RDLCK;
}

void ReadLease::Release() {
  if (slot_ < 0) return;
  const int fd = fd_;
  Forget();
  ::fcntl(fd, F_SETLEASE, F_UNLCK);
}

void ReadLease::Forget() {
  if (slot_ < 0) return;
  slots[slot_].fd.store(-1);
  slot_ = -1;
  fd_ = -1;
}

HeldLeases::HeldLeases() { holding.store(true); }

HeldLeases::~HeldLeases() {
  holding.store(false);
  // A break whose signal is still on its way is given up by the handler.
  for (Slot& slot : slots) {
    const int fd = slot.fd.load();
    if (fd >= 0 && slot.broken.load()) ::fcntl(fd, F_SETLEASE, F_UNLCK);
  }
}
