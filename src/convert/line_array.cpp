#include "convert/line_array.h"

#include <limits>
#include <new>
#include <utility>

LineArray& LineArray::operator=(LineArray&& other) noexcept {
  std::free(data_);
  data_ = std::exchange(other.data_, nullptr);
  size_ = std::exchange(other.size_, 0);
  capacity_ = std::exchange(other.capacity_, 0);
  return *this;
}

void LineArray::Reserve(std::size_t capacity) {
  if (capacity <= capacity_) return;
  if (capacity > std::numeric_limits<std::size_t>::max() / sizeof(LineRecord)) throw std::bad_alloc();
  void* grown = std::realloc(data_, capacity * sizeof(LineRecord));
  if (!grown) throw std::bad_alloc();
  data_ = static_cast<LineRecord*>(grown);
  capacity_ = capacity;
}
