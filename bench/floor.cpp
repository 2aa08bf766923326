// floor: the least any safe in-place rewrite of a file must do, as the
// benchmark's yardstick. Reads the file whole, writes the same bytes to a new
// file beside it, flushes that to disk, renames it over the original and
// flushes the folder so the rename itself is durable.
//
//   floor FILE
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::perror(what.c_str());
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: floor FILE\n");
    return 2;
  }
  const std::string name = argv[1];
  const int in = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (in < 0 || ::fstat(in, &st) != 0) Fail(name);
  const std::size_t size = static_cast<std::size_t>(st.st_size);
  std::unique_ptr<char[]> data(new char[size]);
  for (std::size_t got = 0; got < size;) {
    const ssize_t n = ::read(in, data.get() + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("read " + name);
    got += static_cast<std::size_t>(n);
  }
  ::close(in);

  std::string temp = name + ".floor-XXXXXX";
  const int out = ::mkstemp(temp.data());
  if (out < 0) Fail(temp);
  // In blocks of 1 MiB, as logstamp writes: a single write of hundreds of
  // megabytes is no faster and was at times twice as slow.
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  for (std::size_t put = 0; put < size;) {
    const ssize_t n = ::write(out, data.get() + put, std::min(size - put, kBlock));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("write " + temp);
    put += static_cast<std::size_t>(n);
  }
  if (::fsync(out) != 0 || ::close(out) != 0) Fail("fsync " + temp);
  if (::rename(temp.c_str(), name.c_str()) != 0) Fail("rename " + temp);

  const std::size_t slash = name.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0 || ::fsync(dir) != 0) Fail("fsync " + folder);
  ::close(dir);
  return 0;
}
