#include "platform/posix/resolve_name.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <deque>

namespace {

constexpr int kMaxLinks = 40;  // as the kernel allows

// Adds the components of path before those still to walk.
void PushFront(std::deque<std::string>& components, const std::string& path) {
  std::deque<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = path.find('/', start);
    parts.push_back(path.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  components.insert(components.begin(), parts.begin(), parts.end());
}

bool OpenRoot(FileDescriptor& at) {
  at = FileDescriptor(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
  return at.Get() >= 0;
}

}  // namespace

bool ResolveName(const std::string& name, ResolvedName& out) {
  out = ResolvedName();
  if (name.empty()) {
    errno = ENOENT;
    return false;
  }
  // The folder reached so far; -1 for the current folder, opened only when
  // it holds the file.
  FileDescriptor at;
  if (name[0] == '/' && !OpenRoot(at)) return false;
  const auto folder = [&] { return at.Get() >= 0 ? at.Get() : AT_FDCWD; };
  const auto hold_folder = [&] {
    if (at.Get() < 0) at = FileDescriptor(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    out.folder = std::move(at);
    return out.folder.Get() >= 0;
  };
  std::deque<std::string> components;
  PushFront(components, name);
  int links = 0;
  while (!components.empty()) {
    const std::string component = components.front();
    components.pop_front();
    // An empty component (a slash doubled or at the end) or "." stays
    // where it is; at the end, the name names the folder itself.
    if (component.empty() || component == ".") continue;
    const bool last = components.empty();
    FileDescriptor next(::openat(folder(), component.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (next.Get() < 0) {
      if (errno == ENOENT && last) {
        out.base = component;
        return hold_folder();
      }
      return false;
    }
    struct stat st;
    if (::fstat(next.Get(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode)) {
      if (++links > kMaxLinks) {
        errno = ELOOP;
        return false;
      }
      char target[PATH_MAX];
      const ssize_t n = ::readlinkat(next.Get(), "", target, sizeof target);
      if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) {
        if (n >= 0) errno = n == 0 ? ENOENT : ENAMETOOLONG;
        return false;
      }
      out.link_owners.push_back(st.st_uid);
      const std::string text(target, static_cast<std::size_t>(n));
      if (text[0] == '/' && !OpenRoot(at)) return false;
      PushFront(components, text);
      continue;
    }
    if (last) {
      if (component == "..") {
        errno = EISDIR;
        return false;
      }
      out.base = component;
      out.file = std::move(next);
      return hold_folder();
    }
    if (!S_ISDIR(st.st_mode)) {
      errno = ENOTDIR;
      return false;
    }
    at = std::move(next);
  }
  errno = EISDIR;  // the name ends at a folder
  return false;
}

bool LinksMayBeFollowed(const std::vector<uid_t>& link_owners, uid_t target_owner, uid_t caller) {
  for (const uid_t owner : link_owners) {
    if (owner != caller && owner != 0 && owner != target_owner) return false;
  }
  return true;
}
