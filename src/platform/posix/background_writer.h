// Writes a stream of bytes to a descriptor from a thread of its own, so that
// producing the bytes and writing them overlap, and asks the kernel to start
// writing each few megabytes back to the disk at once (sync_file_range), so
// that the final fsync finds little left to do.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/file_io.h"

class BackgroundWriter : public BlockSink {
 public:
  // Writes to fd from its current position on.
  explicit BackgroundWriter(int fd);
  // Stops the thread; bytes not yet written may be lost (Finish first).
  ~BackgroundWriter() override;
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  // Raises EWriteError once an earlier write has failed.
  void Write(const char* data, std::size_t size) override;
  // Writes what is left and waits for the thread; raises EWriteError when
  // any write failed.
  void Finish();

 private:
  static constexpr std::size_t kBlock = std::size_t{1} << 20;
  static constexpr std::size_t kBlocks = 4;
  static constexpr std::size_t kWritebackEvery = std::size_t{8} << 20;

  struct Block {
    std::unique_ptr<char[]> data{new char[kBlock]};
    std::size_t used = 0;
  };

  void Hand(std::unique_ptr<Block> block);  // to the thread; takes a free block back
  void Run();

  int fd_;
  std::unique_ptr<Block> current_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<Block>> full_;   // waiting to be written, in order
  std::vector<std::unique_ptr<Block>> free_;  // written, to be filled again
  bool done_ = false;    // no more blocks will come
  bool failed_ = false;  // a write failed: later blocks are dropped
  bool finished_ = false;
  std::thread thread_;
};
