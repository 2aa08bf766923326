// A library the fault tests preload into the real program (LD_PRELOAD). It
// counts the calls the program makes on the files it is told to watch, makes
// one chosen call fail, can hold the program before a chosen call, and can
// make the heap run out. It reads only its own environment variables:
//
//   FAULT_WATCH   paths whose calls are counted, separated by ':'; an entry
//                 ending in '*' matches every path that begins with the rest.
//                 Calls on a descriptor count when it was opened from such
//                 a path; rename counts when either path is watched.
//   FAULT_UNTIL   counting stops for good once a path beginning with this is
//                 opened (the next file of the run).
//   FAULT_CALL    the call to fail: open (open and openat alike), read,
//                 write, pread, pwrite, fsync, rename, renameat, renameat2,
//                 linkat, unlinkat, fchmod, fchown, close, ftruncate,
//                 fstatfs, faccessat, flistxattr, fgetxattr, fsetxattr,
//                 fremovexattr, fcntl (lease requests only: F_SETLEASE and
//                 F_GETLEASE), readlink, malloc (malloc stands for every
//                 heap allocation, operator new's included, counted from
//                 the first watched open on).
//   FAULT_AT      which counted use of that call fails, from 1; only that one.
//   FAULT_ERRNO   the error it fails with (EIO, ENOSPC, ... or a number), or
//                 "short" for a read or write that moves only half the bytes.
//   FAULT_MALLOC_BUDGET  from the first watched open on, an allocation that
//                 would grow the live heap more than this many bytes above
//                 its size then returns null.
//   FAULT_PAUSE   CALL:N: before the Nth counted use of CALL, create the file
//                 FAULT_PAUSE_FILE and wait until it is removed (at most 30 s).
//   FAULT_TRACE   a file that receives a line "CALL N PATH MODE" for every
//                 counted call (MODE ro, wo or rw, pa for an O_PATH
//                 descriptor; for fcntl, lease-take, lease-drop or
//                 lease-check; "-" where there is none) and, at exit,
//                 "peak BYTES": the live heap's largest growth above its
//                 size at the first watched open.
//
// A stat of a path beginning with FAULT_UNTIL stops the counting too, as a
// load begins with one. The shim uses only the C library and allocates
// nothing of its own.

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <malloc.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* __libc_memalign(size_t, size_t);
}

namespace {

enum Call { kOpen, kRead, kWrite, kPread, kPwrite, kFsync, kRename, kRenameat, kRenameat2,
            kLinkat, kUnlinkat, kFchmod, kFchown, kClose, kFtruncate, kFstatfs, kFaccessat,
            kFlistxattr, kFgetxattr, kFsetxattr, kFremovexattr, kFcntl, kReadlink, kMalloc,
            kCallCount };
const char* const kCallNames[kCallCount] = {
    "open",      "read",      "write",      "pread",     "pwrite",     "fsync",
    "rename",    "renameat",  "renameat2",  "linkat",    "unlinkat",   "fchmod",
    "fchown",    "close",     "ftruncate",  "fstatfs",   "faccessat",  "flistxattr",
    "fgetxattr", "fsetxattr", "fremovexattr", "fcntl",   "readlink",   "malloc"};

constexpr int kMaxFd = 1024;
constexpr int kMaxWatch = 16;
constexpr size_t kPathMax = 512;

using OpenFn = int (*)(const char*, int, ...);
using OpenatFn = int (*)(int, const char*, int, ...);
using ReadFn = ssize_t (*)(int, void*, size_t);
using WriteFn = ssize_t (*)(int, const void*, size_t);
using PreadFn = ssize_t (*)(int, void*, size_t, off_t);
using PwriteFn = ssize_t (*)(int, const void*, size_t, off_t);
using FdFn = int (*)(int);
using RenameFn = int (*)(const char*, const char*);
using FchmodFn = int (*)(int, mode_t);
using FchownFn = int (*)(int, uid_t, gid_t);
using FtruncateFn = int (*)(int, off_t);
using RenameatFn = int (*)(int, const char*, int, const char*);
using Renameat2Fn = int (*)(int, const char*, int, const char*, unsigned);
using LinkatFn = int (*)(int, const char*, int, const char*, int);
using UnlinkatFn = int (*)(int, const char*, int);
using FstatfsFn = int (*)(int, struct statfs*);
using FaccessatFn = int (*)(int, const char*, int, int);
using FlistxattrFn = ssize_t (*)(int, char*, size_t);
using FgetxattrFn = ssize_t (*)(int, const char*, void*, size_t);
using FsetxattrFn = int (*)(int, const char*, const void*, size_t, int);
using FremovexattrFn = int (*)(int, const char*);
using FcntlFn = int (*)(int, int, ...);
using ReadlinkFn = ssize_t (*)(const char*, char*, size_t);
using StatFn = int (*)(const char*, struct stat*);

struct Real {
  OpenFn open, open64;
  OpenatFn openat, openat64;
  ReadFn read;
  WriteFn write;
  PreadFn pread, pread64;
  PwriteFn pwrite, pwrite64;
  FdFn fsync, close;
  RenameFn rename;
  FchmodFn fchmod;
  FchownFn fchown;
  FtruncateFn ftruncate, ftruncate64;
  RenameatFn renameat;
  Renameat2Fn renameat2;
  LinkatFn linkat;
  UnlinkatFn unlinkat;
  FstatfsFn fstatfs;
  FaccessatFn faccessat;
  FlistxattrFn flistxattr;
  FgetxattrFn fgetxattr;
  FsetxattrFn fsetxattr;
  FremovexattrFn fremovexattr;
  FcntlFn fcntl;
  ReadlinkFn readlink;
  StatFn stat;
} real;

struct State {
  bool ready = false;   // set once the constructor has read the environment
  bool stopped = false; // FAULT_UNTIL was opened
  bool armed = false;   // the first watched path was opened: allocations count
  char watch_text[2048] = {};
  const char* watch[kMaxWatch] = {};
  int watch_count = 0;
  const char* until = nullptr;
  int fault_call = -1;
  long fault_at = 0;
  int fault_errno = EIO;
  bool fault_short = false;
  long long budget = -1;
  int pause_call = -1;
  long pause_at = 0;
  const char* pause_file = nullptr;
  int trace_fd = -1;
  long counts[kCallCount] = {};
  long long live = 0, base = 0, peak = 0;
  // The watched descriptors: path and mode of each.
  bool fd_watched[kMaxFd] = {};
  char fd_path[kMaxFd][kPathMax] = {};
  char fd_mode[kMaxFd][3] = {};
} state;

template <typename Fn>
Fn Next(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

void ResolveReal() {
  real.open = Next<OpenFn>("open");
  real.open64 = Next<OpenFn>("open64");
  real.openat = Next<OpenatFn>("openat");
  real.openat64 = Next<OpenatFn>("openat64");
  real.read = Next<ReadFn>("read");
  real.write = Next<WriteFn>("write");
  real.pread = Next<PreadFn>("pread");
  real.pread64 = Next<PreadFn>("pread64");
  real.pwrite = Next<PwriteFn>("pwrite");
  real.pwrite64 = Next<PwriteFn>("pwrite64");
  real.fsync = Next<FdFn>("fsync");
  real.close = Next<FdFn>("close");
  real.rename = Next<RenameFn>("rename");
  real.fchmod = Next<FchmodFn>("fchmod");
  real.fchown = Next<FchownFn>("fchown");
  real.ftruncate = Next<FtruncateFn>("ftruncate");
  real.ftruncate64 = Next<FtruncateFn>("ftruncate64");
  real.renameat = Next<RenameatFn>("renameat");
  real.renameat2 = Next<Renameat2Fn>("renameat2");
  real.linkat = Next<LinkatFn>("linkat");
  real.unlinkat = Next<UnlinkatFn>("unlinkat");
  real.fstatfs = Next<FstatfsFn>("fstatfs");
  real.faccessat = Next<FaccessatFn>("faccessat");
  real.flistxattr = Next<FlistxattrFn>("flistxattr");
  real.fgetxattr = Next<FgetxattrFn>("fgetxattr");
  real.fsetxattr = Next<FsetxattrFn>("fsetxattr");
  real.fremovexattr = Next<FremovexattrFn>("fremovexattr");
  real.fcntl = Next<FcntlFn>("fcntl");
  real.readlink = Next<ReadlinkFn>("readlink");
  real.stat = Next<StatFn>("stat");
}

int CallByName(const char* name, size_t length) {
  for (int c = 0; c < kCallCount; ++c) {
    if (strlen(kCallNames[c]) == length && strncmp(kCallNames[c], name, length) == 0) return c;
  }
  return -1;
}

int ErrnoByName(const char* name) {
  static const struct {
    const char* name;
    int value;
  } kErrnos[] = {{"EIO", EIO},       {"ENOSPC", ENOSPC}, {"EDQUOT", EDQUOT}, {"EFBIG", EFBIG},
                 {"EACCES", EACCES}, {"EPERM", EPERM},   {"EINTR", EINTR},   {"EMFILE", EMFILE},
                 {"ENOMEM", ENOMEM}, {"EXDEV", EXDEV},   {"EROFS", EROFS},   {"EBUSY", EBUSY},
                 {"ENOENT", ENOENT}, {"EAGAIN", EAGAIN}, {"EINVAL", EINVAL}, {"ENOSYS", ENOSYS},
                 {"ENOTSUP", ENOTSUP}, {"EEXIST", EEXIST}};
  for (const auto& e : kErrnos) {
    if (strcmp(e.name, name) == 0) return e.value;
  }
  return atoi(name);
}

// Appends text to the trace; only the write system call is used.
void TraceText(const char* text) {
  if (state.trace_fd < 0) return;
  size_t left = strlen(text);
  while (left > 0) {
    const ssize_t n = real.write(state.trace_fd, text, left);
    if (n <= 0) return;
    text += n;
    left -= static_cast<size_t>(n);
  }
}

void Trace(int call, long index, const char* path, const char* mode) {
  if (state.trace_fd < 0) return;
  char line[kPathMax + 64];
  snprintf(line, sizeof line, "%s %ld %s %s\n", kCallNames[call], index, path, mode);
  TraceText(line);
}

bool Watched(const char* path) {
  if (!state.ready || state.stopped || !path) return false;
  for (int i = 0; i < state.watch_count; ++i) {
    const char* entry = state.watch[i];
    const size_t length = strlen(entry);
    if (length > 0 && entry[length - 1] == '*') {
      if (strncmp(entry, path, length - 1) == 0) return true;
    } else if (strcmp(entry, path) == 0) {
      return true;
    }
  }
  return false;
}

bool FdWatched(int fd) {
  return state.ready && !state.stopped && fd >= 0 && fd < kMaxFd && state.fd_watched[fd];
}

void Pause() {
  const int fd = real.open(state.pause_file, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd >= 0) real.close(fd);
  const timespec step{0, 1000000};
  for (int i = 0; i < 30000 && access(state.pause_file, F_OK) == 0; ++i) nanosleep(&step, nullptr);
}

// Counts one use of a watched call; true when it is the one that must fail.
bool Hit(int call, const char* path, const char* mode) {
  const long index = ++state.counts[call];
  Trace(call, index, path, mode);
  if (call == state.pause_call && index == state.pause_at && state.pause_file) Pause();
  return call == state.fault_call && index == state.fault_at;
}

bool HitFd(int call, int fd) { return Hit(call, state.fd_path[fd], state.fd_mode[fd]); }

void Fail() { errno = state.fault_errno; }

const char* ModeOf(int flags) {
  if (flags & O_PATH) return "pa";
  switch (flags & O_ACCMODE) {
    case O_RDONLY: return "ro";
    case O_WRONLY: return "wo";
    default: return "rw";
  }
}

void Remember(int fd, const char* path, const char* mode) {
  if (fd < 0 || fd >= kMaxFd) return;
  state.fd_watched[fd] = true;
  snprintf(state.fd_path[fd], kPathMax, "%s", path);
  snprintf(state.fd_mode[fd], sizeof state.fd_mode[fd], "%s", mode);
}

void Forget(int fd) {
  if (fd >= 0 && fd < kMaxFd) state.fd_watched[fd] = false;
}

// Stops the counting for good when path is the next file's.
void CheckUntil(const char* path) {
  if (state.ready && !state.stopped && state.until && path &&
      strncmp(path, state.until, strlen(state.until)) == 0) {
    state.stopped = true;
    state.armed = false;
  }
}

// Every open goes through here; `open` does the real call.
template <typename Open>
int OpenCommon(const char* path, int flags, Open open) {
  CheckUntil(path);
  if (!Watched(path)) {
    const int fd = open();
    Forget(fd);
    return fd;
  }
  if (!state.armed) {
    state.armed = true;
    state.base = state.peak = state.live;
  }
  if (Hit(kOpen, path, ModeOf(flags))) {
    Fail();
    return -1;
  }
  const int fd = open();
  Forget(fd);
  if (fd >= 0) Remember(fd, path, ModeOf(flags));
  return fd;
}

mode_t ModeArgument(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE)) ? static_cast<mode_t>(va_arg(args, int)) : 0;
}

template <typename Io>
ssize_t IoCommon(int call, int fd, size_t count, Io io) {
  if (!FdWatched(fd) || !HitFd(call, fd)) return io(count);
  if (state.fault_short && count > 1) return io(count / 2);
  if (state.fault_short) return io(count);
  Fail();
  return -1;
}

// A call on a watched descriptor that fails when it is the chosen one.
bool FdFails(int call, int fd) {
  if (!FdWatched(fd) || !HitFd(call, fd)) return false;
  Fail();
  return true;
}

// A call on a watched path that fails when it is the chosen one.
bool PathFails(int call, const char* path, const char* other = nullptr) {
  if (!Watched(path) && !Watched(other)) return false;
  if (!Hit(call, path, "-")) return false;
  Fail();
  return true;
}

// Heap accounting: every allocation's usable size, while the shim is ready.
void Account(void* p, int sign) {
  if (!p || !state.ready) return;
  state.live += sign * static_cast<long long>(malloc_usable_size(p));
  if (state.live - state.base > state.peak - state.base) state.peak = state.live;
}

// True when an allocation of `size` more bytes must fail.
bool AllocationFails(size_t size) {
  if (!state.ready || !state.armed || state.stopped) return false;
  if (Hit(kMalloc, "-", "-")) return true;
  return state.budget >= 0 &&
         state.live + static_cast<long long>(size) - state.base > state.budget;
}

__attribute__((constructor)) void Init() {
  ResolveReal();
  if (const char* watch = getenv("FAULT_WATCH")) {
    snprintf(state.watch_text, sizeof state.watch_text, "%s", watch);
    for (char* p = state.watch_text; *p && state.watch_count < kMaxWatch;) {
      state.watch[state.watch_count++] = p;
      char* colon = strchr(p, ':');
      if (!colon) break;
      *colon = '\0';
      p = colon + 1;
    }
  }
  state.until = getenv("FAULT_UNTIL");
  if (const char* call = getenv("FAULT_CALL")) state.fault_call = CallByName(call, strlen(call));
  if (const char* at = getenv("FAULT_AT")) state.fault_at = atol(at);
  if (const char* e = getenv("FAULT_ERRNO")) {
    state.fault_short = strcmp(e, "short") == 0;
    if (!state.fault_short) state.fault_errno = ErrnoByName(e);
  }
  if (const char* budget = getenv("FAULT_MALLOC_BUDGET")) state.budget = atoll(budget);
  if (const char* pause = getenv("FAULT_PAUSE")) {
    if (const char* colon = strchr(pause, ':')) {
      state.pause_call = CallByName(pause, static_cast<size_t>(colon - pause));
      state.pause_at = atol(colon + 1);
    }
  }
  state.pause_file = getenv("FAULT_PAUSE_FILE");
  if (const char* trace = getenv("FAULT_TRACE")) {
    state.trace_fd = real.open(trace, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  }
  state.ready = true;
}

__attribute__((destructor)) void Finish() {
  char line[64];
  snprintf(line, sizeof line, "peak %lld\n", state.peak - state.base);
  TraceText(line);
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArgument(flags, args);
  va_end(args);
  return OpenCommon(path, flags, [&] { return real.open(path, flags, mode); });
}

int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArgument(flags, args);
  va_end(args);
  return OpenCommon(path, flags, [&] { return real.open64(path, flags, mode); });
}

int openat(int dir, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArgument(flags, args);
  va_end(args);
  return OpenCommon(path, flags, [&] { return real.openat(dir, path, flags, mode); });
}

int openat64(int dir, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeArgument(flags, args);
  va_end(args);
  return OpenCommon(path, flags, [&] { return real.openat64(dir, path, flags, mode); });
}

ssize_t read(int fd, void* buf, size_t count) {
  return IoCommon(kRead, fd, count, [&](size_t n) { return real.read(fd, buf, n); });
}

ssize_t write(int fd, const void* buf, size_t count) {
  return IoCommon(kWrite, fd, count, [&](size_t n) { return real.write(fd, buf, n); });
}

ssize_t pread(int fd, void* buf, size_t count, off_t offset) {
  return IoCommon(kPread, fd, count, [&](size_t n) { return real.pread(fd, buf, n, offset); });
}

ssize_t pread64(int fd, void* buf, size_t count, off_t offset) {
  return IoCommon(kPread, fd, count, [&](size_t n) { return real.pread64(fd, buf, n, offset); });
}

ssize_t pwrite(int fd, const void* buf, size_t count, off_t offset) {
  return IoCommon(kPwrite, fd, count, [&](size_t n) { return real.pwrite(fd, buf, n, offset); });
}

ssize_t pwrite64(int fd, const void* buf, size_t count, off_t offset) {
  return IoCommon(kPwrite, fd, count,
                  [&](size_t n) { return real.pwrite64(fd, buf, n, offset); });
}

int fsync(int fd) {
  if (FdWatched(fd) && HitFd(kFsync, fd)) {
    Fail();
    return -1;
  }
  return real.fsync(fd);
}

int close(int fd) {
  if (!FdWatched(fd)) {
    Forget(fd);
    return real.close(fd);
  }
  const bool fail = HitFd(kClose, fd);
  Forget(fd);
  const int result = real.close(fd);  // a failed close still releases the descriptor
  if (!fail) return result;
  Fail();
  return -1;
}

int rename(const char* from, const char* to) {
  if ((Watched(from) || Watched(to)) && Hit(kRename, from, "-")) {
    Fail();
    return -1;
  }
  return real.rename(from, to);
}

int fchmod(int fd, mode_t mode) {
  if (FdWatched(fd) && HitFd(kFchmod, fd)) {
    Fail();
    return -1;
  }
  return real.fchmod(fd, mode);
}

int fchown(int fd, uid_t owner, gid_t group) {
  if (FdWatched(fd) && HitFd(kFchown, fd)) {
    Fail();
    return -1;
  }
  return real.fchown(fd, owner, group);
}

int ftruncate(int fd, off_t length) {
  if (FdWatched(fd) && HitFd(kFtruncate, fd)) {
    Fail();
    return -1;
  }
  return real.ftruncate(fd, length);
}

int ftruncate64(int fd, off_t length) {
  if (FdWatched(fd) && HitFd(kFtruncate, fd)) {
    Fail();
    return -1;
  }
  return real.ftruncate64(fd, length);
}

int renameat(int from_dir, const char* from, int to_dir, const char* to) {
  if (PathFails(kRenameat, from, to)) return -1;
  return real.renameat(from_dir, from, to_dir, to);
}

int renameat2(int from_dir, const char* from, int to_dir, const char* to, unsigned flags) {
  if (PathFails(kRenameat2, from, to)) return -1;
  return real.renameat2(from_dir, from, to_dir, to, flags);
}

int linkat(int from_dir, const char* from, int to_dir, const char* to, int flags) {
  if (PathFails(kLinkat, from, to)) return -1;
  return real.linkat(from_dir, from, to_dir, to, flags);
}

int unlinkat(int dir, const char* path, int flags) {
  if (PathFails(kUnlinkat, path)) return -1;
  return real.unlinkat(dir, path, flags);
}

int fstatfs(int fd, struct statfs* buf) {
  if (FdFails(kFstatfs, fd)) return -1;
  return real.fstatfs(fd, buf);
}

int faccessat(int dir, const char* path, int mode, int flags) {
  // On a watched descriptor itself (AT_EMPTY_PATH), or on a watched path.
  if (path[0] == '\0' ? FdFails(kFaccessat, dir) : PathFails(kFaccessat, path)) return -1;
  return real.faccessat(dir, path, mode, flags);
}

ssize_t flistxattr(int fd, char* list, size_t size) {
  if (FdFails(kFlistxattr, fd)) return -1;
  return real.flistxattr(fd, list, size);
}

ssize_t fgetxattr(int fd, const char* name, void* value, size_t size) {
  if (FdFails(kFgetxattr, fd)) return -1;
  return real.fgetxattr(fd, name, value, size);
}

int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) {
  if (FdFails(kFsetxattr, fd)) return -1;
  return real.fsetxattr(fd, name, value, size, flags);
}

int fremovexattr(int fd, const char* name) {
  if (FdFails(kFremovexattr, fd)) return -1;
  return real.fremovexattr(fd, name);
}

// Only the lease requests count; each is traced with what it asks for.
int fcntl(int fd, int command, ...) {
  va_list args;
  va_start(args, command);
  void* argument = va_arg(args, void*);
  va_end(args);
  if ((command == F_SETLEASE || command == F_GETLEASE) && FdWatched(fd)) {
    const long lease = reinterpret_cast<long>(argument);
    const char* what = command == F_GETLEASE ? "lease-check"
                       : lease == F_UNLCK    ? "lease-drop"
                                             : "lease-take";
    if (Hit(kFcntl, state.fd_path[fd], what)) {
      Fail();
      return -1;
    }
  }
  return real.fcntl(fd, command, argument);
}

ssize_t readlink(const char* path, char* buf, size_t size) {
  if (PathFails(kReadlink, path)) return -1;
  return real.readlink(path, buf, size);
}

int stat(const char* path, struct stat* buf) {
  CheckUntil(path);
  return real.stat(path, buf);
}

void* malloc(size_t size) {
  if (AllocationFails(size)) {
    errno = ENOMEM;
    return nullptr;
  }
  void* p = __libc_malloc(size);
  Account(p, +1);
  return p;
}

void* calloc(size_t count, size_t size) {
  if (AllocationFails(count * size)) {
    errno = ENOMEM;
    return nullptr;
  }
  void* p = __libc_calloc(count, size);
  Account(p, +1);
  return p;
}

void* realloc(void* old, size_t size) {
  const size_t old_size = old ? malloc_usable_size(old) : 0;
  if (size > old_size && AllocationFails(size - old_size)) {
    errno = ENOMEM;
    return nullptr;
  }
  Account(old, -1);
  void* p = __libc_realloc(old, size);
  Account(p ? p : (size == 0 ? nullptr : old), +1);
  return p;
}

void free(void* p) {
  Account(p, -1);
  __libc_free(p);
}

void* memalign(size_t alignment, size_t size) {
  if (AllocationFails(size)) {
    errno = ENOMEM;
    return nullptr;
  }
  void* p = __libc_memalign(alignment, size);
  Account(p, +1);
  return p;
}

void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }

int posix_memalign(void** out, size_t alignment, size_t size) {
  void* p = memalign(alignment, size);
  if (!p) return ENOMEM;
  *out = p;
  return 0;
}

}  // extern "C"
