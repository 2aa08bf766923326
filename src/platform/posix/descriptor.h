// File descriptors: closing on every way out of a scope, and reading and
// writing whole buffers through interrupted and short transfers.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cstddef>

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = other.fd_;
      other.fd_ = -1;
    }
    return *this;
  }
  ~FileDescriptor() { Reset(); }
  int Get() const { return fd_; }
  // Closes now and reports whether the close succeeded (NFS reports write
  // errors at close).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);  // no retry on EINTR: the descriptor is gone either way
    fd_ = -1;
  }

 private:
  int fd_;
};

// Writes all bytes, retrying interrupted and short writes; at offset when it
// is not negative (pwrite), else at the file position. False on an error or
// a write that makes no progress.
bool WriteAll(int fd, const char* data, std::size_t size, off_t offset = -1);

// Reads exactly size bytes at offset (pread), retrying interrupted and short
// reads. False on an error or an end of file before size bytes.
bool ReadAllAt(int fd, char* data, std::size_t size, off_t offset);
