#include "support/temp_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

TempDir::TempDir(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
  dir_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Give back the permissions tests took away, so everything can be removed.
  ::chmod(dir_.c_str(), 0700);
  for (auto& entry : std::filesystem::recursive_directory_iterator(dir_, ec)) {
    if (!entry.is_symlink()) ::chmod(entry.path().c_str(), 0700);
  }
  std::filesystem::remove_all(dir_, ec);
}
