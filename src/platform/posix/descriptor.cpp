#include "platform/posix/descriptor.h"

#include <cerrno>

bool WriteAll(int fd, const char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t n = offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
    if (offset >= 0) offset += n;
  }
  return true;
}

bool ReadAllAt(int fd, char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t n = ::pread(fd, data, size, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}
