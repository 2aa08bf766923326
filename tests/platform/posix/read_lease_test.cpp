// Read leases: taken where no one writes the file, broken by a writer's
// open, whose open does not wait for us, unless leases are held.
#include "platform/posix/read_lease.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/posix/descriptor.h"
#include "support/sandbox.h"

namespace {

using Clock = std::chrono::steady_clock;

// A child opens the file for writing; how long its open took.
double ChildOpensForWriting(const std::string& path) {
  const Clock::time_point start = Clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
    ::_exit(fd >= 0 ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(ReadLease, IsBrokenByAWriterWhoWaitsOnlyWhileLeasesAreHeld) {
  Sandbox box;
  box.Write("a.log", "x");
  FileDescriptor fd(::open(box.Path("a.log").c_str(), O_RDONLY | O_CLOEXEC));
  ReadLease lease;
  const ReadLease::Taken taken = lease.Take(fd.Get());
  if (taken == ReadLease::Taken::kUnavailable) GTEST_SKIP() << "no leases here";
  ASSERT_EQ(taken, ReadLease::Taken::kHeld);
  EXPECT_FALSE(lease.Broken());
  EXPECT_LT(ChildOpensForWriting(box.Path("a.log")), 1.0) << "given up at once";
  EXPECT_TRUE(lease.Broken());

  ReadLease again;
  ASSERT_EQ(again.Take(fd.Get()), ReadLease::Taken::kHeld);
  double waited = 0;
  std::thread writer;
  {
    const HeldLeases held;
    writer = std::thread([&] { waited = ChildOpensForWriting(box.Path("a.log")); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(again.Broken());
  }  // the writer's open goes on from here
  writer.join();
  EXPECT_GE(waited, 0.1) << "the open waited for the holder (200 ms, less the start)";
  EXPECT_LT(waited, 5.0) << "and no longer";
}

TEST(ReadLease, CannotBeTakenWhileTheFileIsOpenForWriting) {
  Sandbox box;
  box.Write("a.log", "x");
  FileDescriptor writer(::open(box.Path("a.log").c_str(), O_WRONLY | O_CLOEXEC));
  FileDescriptor fd(::open(box.Path("a.log").c_str(), O_RDONLY | O_CLOEXEC));
  ReadLease lease;
  const ReadLease::Taken taken = lease.Take(fd.Get());
  if (taken == ReadLease::Taken::kUnavailable) GTEST_SKIP() << "no leases here";
  EXPECT_EQ(taken, ReadLease::Taken::kWriterPresent);
  EXPECT_FALSE(lease.Held());
}

}  // namespace
