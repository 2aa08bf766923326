// The line list's records: a growable array of 8-byte words, grown with
// realloc, so that a large block is moved by remapping its pages instead of
// copying them, and capacity that is never written costs no memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using LineRecord = uint64_t;

class LineArray {
 public:
  LineArray() = default;
  LineArray(const LineArray&) = delete;
  LineArray& operator=(LineArray&& other) noexcept;
  ~LineArray() { std::free(data_); }
  LineRecord& operator[](std::size_t i) { return data_[i]; }
  LineRecord operator[](std::size_t i) const { return data_[i]; }
  std::size_t size() const { return size_; }
  LineRecord* data() { return data_; }
  std::size_t capacity() const { return capacity_; }
  void Resize(std::size_t size) { size_ = size; }  // within the capacity, filled through data()
  void push_back(LineRecord line) {
    if (size_ == capacity_) Reserve(capacity_ < 1024 ? 1024 : capacity_ * 2);
    data_[size_++] = line;
  }
  void Reserve(std::size_t capacity);

 private:
  LineRecord* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

