// A kernel handle closed on every way out of a scope.
#pragma once

#include <cstddef>

#include "platform/windows/win32.h"

class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = INVALID_HANDLE_VALUE; }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Reset(); }
  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  // Closes now and reports whether the close succeeded.
  bool Close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle == INVALID_HANDLE_VALUE || handle == nullptr || CloseHandle(handle);
  }
  void Reset() { Close(); }

 private:
  HANDLE handle_;
};

// Writes all bytes at the file position, in pieces that WriteFile takes.
// False on an error or a write that makes no progress.
bool WriteAll(HANDLE handle, const char* data, std::size_t size);
