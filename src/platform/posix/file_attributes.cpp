#include "platform/posix/file_attributes.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

// The names of fd's extended attributes; false when they cannot be listed.
bool ListAttributes(int fd, std::vector<std::string>& names) {
  names.clear();
  std::vector<char> buffer(1024);
  ssize_t n;
  while ((n = ::flistxattr(fd, buffer.data(), buffer.size())) < 0) {
    if (errno == ENOTSUP) return true;  // no attributes on this file system
    if (errno != ERANGE) return false;
    const ssize_t needed = ::flistxattr(fd, nullptr, 0);
    if (needed < 0) return errno == ENOTSUP;
    buffer.resize(static_cast<std::size_t>(needed) + 1024);
  }
  for (std::size_t at = 0; at < static_cast<std::size_t>(n);) {
    const std::string name(buffer.data() + at);
    at += name.size() + 1;
    if (!name.empty()) names.push_back(name);
  }
  return true;
}

bool ReadAttribute(int fd, const std::string& name, std::vector<char>& value) {
  value.resize(256);
  ssize_t n;
  while ((n = ::fgetxattr(fd, name.c_str(), value.data(), value.size())) < 0) {
    if (errno != ERANGE) return false;
    const ssize_t needed = ::fgetxattr(fd, name.c_str(), nullptr, 0);
    if (needed < 0) return false;
    value.resize(static_cast<std::size_t>(needed) + 256);
  }
  value.resize(static_cast<std::size_t>(n));
  return true;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& n : names) {
    if (n == name) return true;
  }
  return false;
}

}  // namespace

AttributesCopied CopyAttributes(int from_fd, const struct stat& from, int to_fd) {
  if (::fchown(to_fd, from.st_uid, from.st_gid) != 0) return AttributesCopied::kCannotKeep;
  std::vector<std::string> wanted, present;
  if (!ListAttributes(from_fd, wanted) || !ListAttributes(to_fd, present)) {
    return AttributesCopied::kCannotKeep;
  }
  for (const std::string& name : present) {
    if (!Contains(wanted, name) && ::fremovexattr(to_fd, name.c_str()) != 0) {
      return AttributesCopied::kCannotKeep;
    }
  }
  if (::fchmod(to_fd, from.st_mode & 07777) != 0) return AttributesCopied::kFailed;
  std::vector<char> value;
  for (const std::string& name : wanted) {
    if (!ReadAttribute(from_fd, name, value) ||
        ::fsetxattr(to_fd, name.c_str(), value.data(), value.size(), 0) != 0) {
      return AttributesCopied::kCannotKeep;
    }
  }
  return AttributesCopied::kAll;
}
