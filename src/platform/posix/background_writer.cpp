#include "platform/posix/background_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <utility>

#include "platform/file_errors.h"
#include "platform/posix/descriptor.h"

BackgroundWriter::BackgroundWriter(int fd) : fd_(fd), current_(new Block) {
  for (std::size_t i = 1; i < kBlocks; ++i) free_.push_back(std::make_unique<Block>());
  thread_ = std::thread([this] { Run(); });
}

BackgroundWriter::~BackgroundWriter() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    failed_ = failed_ || !finished_;  // unfinished: drop what still waits
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void BackgroundWriter::Write(const char* data, std::size_t size) {
  while (size > 0) {
    const std::size_t n = std::min(size, kBlock - current_->used);
    std::memcpy(current_->data.get() + current_->used, data, n);
    current_->used += n;
    data += n;
    size -= n;
    if (current_->used == kBlock) Hand(std::move(current_));
  }
}

void BackgroundWriter::Hand(std::unique_ptr<Block> block) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (failed_) RaiseWriteError();
  full_.push_back(std::move(block));
  changed_.notify_all();
  changed_.wait(lock, [this] { return !free_.empty() || failed_; });
  if (failed_) RaiseWriteError();
  current_ = std::move(free_.back());
  free_.pop_back();
  current_->used = 0;
}

void BackgroundWriter::Finish() {
  if (finished_) return;
  std::unique_lock<std::mutex> lock(mutex_);
  if (current_ && current_->used > 0) full_.push_back(std::move(current_));
  done_ = true;
  changed_.notify_all();
  lock.unlock();
  thread_.join();
  finished_ = true;
  if (failed_) RaiseWriteError();
}

void BackgroundWriter::Run() {
  off_t start = ::lseek(fd_, 0, SEEK_CUR);
  if (start < 0) start = 0;
  off_t written = start;
  off_t flushed = start;  // writeback has been started up to here
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    changed_.wait(lock, [this] { return !full_.empty() || done_; });
    if (full_.empty()) return;  // done, and everything written
    std::unique_ptr<Block> block = std::move(full_.front());
    full_.pop_front();
    const bool drop = failed_;
    lock.unlock();
    const bool ok = drop || WriteAll(fd_, block->data.get(), block->used);
    if (ok && !drop) {
      written += static_cast<off_t>(block->used);
      if (written - flushed >= static_cast<off_t>(kWritebackEvery)) {
        // Only a hint: a file system without it still gets the final fsync.
        ::sync_file_range(fd_, flushed, written - flushed, SYNC_FILE_RANGE_WRITE);
        flushed = written;
      }
    }
    lock.lock();
    failed_ = failed_ || !ok;
    free_.push_back(std::move(block));
    changed_.notify_all();
  }
}
