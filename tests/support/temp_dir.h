// A new folder under /tmp for a test's lifetime, removed with everything in
// it afterwards, also where the test took permissions away.
#pragma once

#include <string>

class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "logstamp-test");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Dir() const { return dir_; }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

 private:
  std::string dir_;
};
