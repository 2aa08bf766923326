#include "platform/posix/descriptor.h"

#include <cerrno>

namespace {

// Repeats transfer(done), which moves bytes from offset done on and returns
// how many it moved, until size bytes are through. Interrupted transfers are
// retried; an error or a transfer that moves nothing ends it with false.
template <typename Transfer>
bool TransferAll(std::size_t size, Transfer transfer) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = transfer(done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool WriteAll(int fd, const char* data, std::size_t size, off_t offset) {
  return TransferAll(size, [&](std::size_t done) {
    return offset < 0 ? ::write(fd, data + done, size - done)
                      : ::pwrite(fd, data + done, size - done, offset + static_cast<off_t>(done));
  });
}

bool ReadAllAt(int fd, char* data, std::size_t size, off_t offset) {
  return TransferAll(size, [&](std::size_t done) {
    return ::pread(fd, data + done, size - done, offset + static_cast<off_t>(done));
  });
}
