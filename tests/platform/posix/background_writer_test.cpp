#include "platform/posix/background_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "platform/exceptions.h"
#include "platform/posix/descriptor.h"
#include "support/temp_dir.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Pieces of every size, across the blocks and the writeback steps, arrive
// whole and in order, after what the descriptor already held.
TEST(BackgroundWriter, WritesEveryPieceInOrder) {
  TempDir dir;
  FileDescriptor fd(::open(dir.Path("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600));
  ASSERT_GE(fd.Get(), 0);
  ASSERT_EQ(::write(fd.Get(), "head", 4), 4);
  std::mt19937 random(3);
  std::string expected = "head";
  {
    BackgroundWriter writer(fd.Get());
    while (expected.size() < (std::size_t{20} << 20)) {
      std::string piece(random() % 3 == 0 ? random() % (3 << 20) : random() % 200, 'x');
      for (char& c : piece) c = static_cast<char>('a' + random() % 26);
      writer.Write(piece.data(), piece.size());
      expected += piece;
    }
    writer.Finish();
  }
  EXPECT_TRUE(Slurp(dir.Path("out")) == expected);
}

// A write that fails (the file-size limit) is reported by a later Write or
// by Finish, never passed over.
TEST(BackgroundWriter, AFailedWriteIsRaised) {
  TempDir dir;
  FileDescriptor fd(::open(dir.Path("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600));
  ASSERT_GE(fd.Get(), 0);
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit = old;
  limit.rlim_cur = 1 << 20;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  bool raised = false;
  try {
    BackgroundWriter writer(fd.Get());
    const std::string piece(1 << 16, 'x');
    for (int i = 0; i < 256; ++i) writer.Write(piece.data(), piece.size());
    writer.Finish();
  } catch (const EWriteError&) {
    raised = true;
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_TRUE(raised);
}

}  // namespace
