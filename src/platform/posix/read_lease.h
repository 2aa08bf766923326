// A read lease on an open file (fcntl F_SETLEASE, F_RDLCK): it can be taken
// only while no process holds the file open for writing, and the kernel
// breaks it, with a signal to us, when one opens it for writing or truncates
// it. On the signal the lease is given up at once, so that the writer waits
// for nothing, and it counts as broken from then on; only while a
// HeldLeases lives, a writer's open waits until that ends.
#pragma once

class ReadLease {
 public:
  enum class Taken {
    kHeld,           // from now on, Broken tells whether a writer came
    kWriterPresent,  // another process holds the file open for writing
    kUnavailable,    // the file system or our rights allow no lease here
  };

  ReadLease() = default;
  ~ReadLease() { Forget(); }
  ReadLease(const ReadLease&) = delete;
  ReadLease& operator=(const ReadLease&) = delete;

  // On a descriptor opened for reading only.
  Taken Take(int fd);
  bool Held() const { return slot_ >= 0; }
  // True once a writer has come since Take (false when none was held).
  bool Broken() const;
  // Gives the lease up, before our own open of the file for writing.
  void Release();
  // Stops watching, as the descriptor is about to close (which ends the
  // lease with it).
  void Forget();

 private:
  int fd_ = -1;
  int slot_ = -1;
};

// For its lifetime, a broken lease is not given up: the writer that broke it
// waits in its open, so that the holder can still decide which file that
// open is to find under the name. At the end, broken leases are given up.
class HeldLeases {
 public:
  HeldLeases();
  ~HeldLeases();
  HeldLeases(const HeldLeases&) = delete;
  HeldLeases& operator=(const HeldLeases&) = delete;
};
