#include "platform/windows/handle.h"

bool WriteAll(HANDLE handle, const char* data, std::size_t size) {
  while (size > 0) {
    const DWORD piece = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(handle, data, piece, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}
