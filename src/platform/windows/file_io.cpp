// Files through CreateFileA. The load opens a disk file for reading with
// others allowed to read it only. The save writes a new file beside the log
// (beside the link's target, for a link), gives it the log's attributes and
// access rights, flushes it and moves it over the log with one
// MoveFileExA(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), a single
// rename on the file system. ReplaceFileA is not used: its two renames leave
// a moment without the log. A log with several hard links is rewritten in
// place, its old bytes kept to be written back on failure.
#include "platform/file_io.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "platform/exceptions.h"
#include "platform/file_errors.h"
#include "platform/windows/handle.h"
#include "platform/windows/win32.h"

namespace {

// Collects the produced text in large blocks and writes each to a handle.
class HandleSink : public BlockSink {
 public:
  explicit HandleSink(HANDLE handle) : handle_(handle), buffer_(new char[kBlock]) {}
  void Write(const char* data, std::size_t size) override {
    if (used_ + size > kBlock) {
      Flush();
      if (size >= kBlock) {
        if (!WriteAll(handle_, data, size)) RaiseWriteError();
        return;
      }
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
  }
  void Flush() {
    if (used_ > 0 && !WriteAll(handle_, buffer_.get(), used_)) RaiseWriteError();
    used_ = 0;
  }

 private:
  static constexpr std::size_t kBlock = 1 << 20;
  HANDLE handle_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

class StringSink : public BlockSink {
 public:
  void Write(const char* data, std::size_t size) override { text.append(data, size); }
  std::string text;
};

// Volume, file index, size and last write time (100 ns units, kept as
// seconds and nanoseconds).
bool IdentityOf(HANDLE handle, FileIdentity& identity, DWORD* links = nullptr) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  const auto join = [](DWORD high, DWORD low) {
    return static_cast<unsigned long long>(high) << 32 | low;
  };
  const unsigned long long written =
      join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
  identity.device = info.dwVolumeSerialNumber;
  identity.inode = join(info.nFileIndexHigh, info.nFileIndexLow);
  identity.size = static_cast<long long>(join(info.nFileSizeHigh, info.nFileSizeLow));
  identity.modified_seconds = static_cast<long long>(written / 10000000);
  identity.modified_nanoseconds = static_cast<long long>(written % 10000000 * 100);
  if (links) *links = info.nNumberOfLinks;
  return true;
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND; }

// The file that receives the content: for an existing file the path the
// system resolves its handle to, so that a link stays a link and its target
// gets the text; the name itself otherwise.
std::string ResolveTarget(const std::string& name) {
  Handle file(CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.Valid()) return name;
  char path[MAX_PATH + 8];
  const DWORD n = GetFinalPathNameByHandleA(file.Get(), path, sizeof path,
                                            FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (n == 0 || n >= sizeof path) return name;
  std::string target(path, n);
  // \\?\C:\... and \\?\UNC\server\... are the long forms of C:\... and \\server\...
  if (target.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + target.substr(8);
  if (target.rfind("\\\\?\\", 0) == 0) return target.substr(4);
  return target;
}

// Raises the create failure when the file at target is no longer the one
// that was read. A file that vanished is no conflict: it is created anew.
void CheckUnchanged(const std::string& name, const std::string& target,
                    const FileIdentity* expected) {
  if (!expected) return;
  Handle file(CreateFileA(target.c_str(), FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.Valid()) {
    if (IsMissing(GetLastError())) return;
    throw EFCreateError(CreateErrorMessage(name));
  }
  FileIdentity now;
  if (!IdentityOf(file.Get(), now) || !(now == *expected)) {
    throw EFCreateError(CreateErrorMessage(name));
  }
}

bool ReadAt(HANDLE handle, std::string& bytes) {
  LARGE_INTEGER size, start{};
  if (!GetFileSizeEx(handle, &size) || !SetFilePointerEx(handle, start, nullptr, FILE_BEGIN)) {
    return false;
  }
  bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t left = bytes.size() - done;
    const DWORD piece = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!ReadFile(handle, bytes.data() + done, piece, &got, nullptr) || got == 0) return false;
    done += got;
  }
  return true;
}

bool WriteFromStart(HANDLE handle, const std::string& text) {
  LARGE_INTEGER start{};
  return SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) &&
         WriteAll(handle, text.data(), text.size()) && SetEndOfFile(handle) &&
         FlushFileBuffers(handle);
}

// Rewrites an existing file through its own handle. The whole new text is
// built first and the old bytes are kept, so a failed write can put them back.
void RewriteInPlace(HANDLE handle, const std::function<void(BlockSink&)>& produce) {
  StringSink next;
  produce(next);
  std::string old;
  if (!ReadAt(handle, old)) RaiseWriteError();
  if (WriteFromStart(handle, next.text)) return;
  WriteFromStart(handle, old);
  RaiseWriteError();
}

// A new file beside target, named target.logstamp-XXXXXX; invalid when the
// folder takes no new file.
Handle CreateTemporary(const std::string& target, std::string& temp) {
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  unsigned long long seed = static_cast<unsigned long long>(counter.QuadPart) ^
                            (static_cast<unsigned long long>(GetCurrentProcessId()) << 32);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target + ".logstamp-";
    for (int i = 0; i < 6; ++i) {
      seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
      temp += kDigits[(seed >> 33) % 36];
    }
    Handle file(CreateFileA(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Valid()) return file;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return Handle();
}

// The log's attributes (archive, hidden, system, not indexed) and its access
// rights, for the new file. Rights that cannot be carried over fail the
// save: the new log must not be open to more or fewer users than the old.
bool CopyAttributesAndSecurity(const std::string& from, const std::string& to) {
  const DWORD attributes = GetFileAttributesA(from.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const DWORD kept = attributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  if (!SetFileAttributesA(to.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL)) return false;

  const SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION;
  DWORD needed = 0;
  GetFileSecurityA(from.c_str(), what, nullptr, 0, &needed);
  if (needed == 0) return false;
  std::vector<char> descriptor(needed);
  if (!GetFileSecurityA(from.c_str(), what, descriptor.data(), needed, &needed)) return false;
  if (!SetFileSecurityA(to.c_str(), what, descriptor.data())) return false;
  // Only an administrator may give a file away: the owner stays ours when
  // that is refused.
  const SECURITY_INFORMATION owner = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION;
  needed = 0;
  GetFileSecurityA(from.c_str(), owner, nullptr, 0, &needed);
  if (needed > 0) {
    std::vector<char> owners(needed);
    if (GetFileSecurityA(from.c_str(), owner, owners.data(), needed, &needed)) {
      SetFileSecurityA(to.c_str(), owner, owners.data());
    }
  }
  return true;
}

}  // namespace

FileBytes ReadWholeFile(const std::string& name) {
  Handle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid() || GetFileType(file.Get()) != FILE_TYPE_DISK) {
    throw EFOpenError(OpenErrorMessage(name));
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size)) throw EFOpenError(OpenErrorMessage(name));

  // One request for the size seen at the open; a file that grew meanwhile is
  // read on to its end.
  std::size_t capacity = static_cast<std::size_t>(size.QuadPart) + 1;
  FileBytes bytes;
  bytes.data.reset(new char[capacity]);
  while (true) {
    if (bytes.size == capacity) {
      const std::size_t bigger = capacity + capacity / 2 + 4096;
      std::unique_ptr<char[]> grown(new char[bigger]);
      std::memcpy(grown.get(), bytes.data.get(), bytes.size);
      bytes.data = std::move(grown);
      capacity = bigger;
    }
    const std::size_t room = capacity - bytes.size;
    const DWORD piece = room > (1u << 30) ? (1u << 30) : static_cast<DWORD>(room);
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.data.get() + bytes.size, piece, &got, nullptr)) RaiseReadError();
    if (got == 0) break;
    bytes.size += got;
  }
  if (!IdentityOf(file.Get(), bytes.identity)) RaiseReadError();
  return bytes;
}

bool ExistsAndIsNoFolder(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// No hold on the loaded file is kept here (ReadWholeFile leaves it null):
// expected alone tells a changed file.
void ReplaceFileContent(const std::string& name, const std::function<void(BlockSink&)>& produce,
                        const FileIdentity* expected, LoadedFile* /*loaded*/) {
  const std::string target = ResolveTarget(name);
  CheckUnchanged(name, target, expected);

  // Can the file be written at all? Checked before anything is written: a
  // read-only file, one without the right to write, one another program
  // holds open, or no disk file fails here.
  Handle existing(CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  const bool exists = existing.Valid();
  if (!exists && !IsMissing(GetLastError())) throw EFCreateError(CreateErrorMessage(name));
  // The open for writing refuses a read-only file, except where the file
  // system lets an administrator write anyway (Wine run as root): the
  // attribute decides.
  if (exists && (GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY)) {
    throw EFCreateError(CreateErrorMessage(name));
  }
  DWORD links = 1;
  FileIdentity ignored;
  if (exists && (GetFileType(existing.Get()) != FILE_TYPE_DISK ||
                 !IdentityOf(existing.Get(), ignored, &links))) {
    throw EFCreateError(CreateErrorMessage(name));
  }
  if (exists && links > 1) {  // a move would split the hard links
    RewriteInPlace(existing.Get(), produce);
    return;
  }

  std::string temp;
  Handle out = CreateTemporary(target, temp);
  if (!out.Valid()) {
    if (!exists) throw EFCreateError(CreateErrorMessage(name));  // missing or closed folder
    RewriteInPlace(existing.Get(), produce);  // the folder takes no new file
    return;
  }
  // The log must be closed for the move to replace it.
  existing.Reset();

  try {
    HandleSink sink(out.Get());
    produce(sink);
    sink.Flush();
    if (!FlushFileBuffers(out.Get()) || !out.Close()) RaiseWriteError();
    if (exists && !CopyAttributesAndSecurity(target, temp)) RaiseWriteError();
    CheckUnchanged(name, target, expected);  // once more, right before the log is replaced
    if (!MoveFileExA(temp.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      RaiseWriteError();
    }
  } catch (...) {
    out.Reset();
    DeleteFileA(temp.c_str());
    throw;
  }
}
