// Whole-file reading and crash-safe replacing of a file's content. These are
// the only places that open, read or write the user's files.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// What tells one state of a file from another: which file it is, its size
// and when it was last modified.
struct FileIdentity {
  unsigned long long device = 0, inode = 0;
  long long size = 0, modified_seconds = 0, modified_nanoseconds = 0;
  bool operator==(const FileIdentity&) const = default;
};

// What a platform keeps of a file from its load to its save (open handles,
// a lease), so that the save writes the very file that was loaded. Each
// platform defines it; one that keeps nothing leaves it null.
class LoadedFile;

// The bytes of a file, read whole, and the file's identity when it was read.
struct FileBytes {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;
  FileIdentity identity;
  std::shared_ptr<LoadedFile> file;  // to be handed to ReplaceFileContent
};

// Reads the named regular file to its end, whatever its size was when it
// was opened. Never blocks on a FIFO or device. Raises EFOpenError ("ファイル
// %s は開けません") when the name cannot be opened or is no regular file
// (files of the system's pseudo-file systems included), and EReadError
// when reading fails after the open. Running out of memory raises
// std::bad_alloc.
FileBytes ReadWholeFile(const std::string& name);

// Whether the name stands for something that is no folder (a file, but also
// a FIFO or a device): what a reader that skips missing files and folders
// goes on to open.
bool ExistsAndIsNoFolder(const std::string& name);

// Receives the new content of a file in blocks, in order.
class BlockSink {
 public:
  virtual ~BlockSink() = default;
  virtual void Write(const char* data, std::size_t size) = 0;
};

// Replaces the content of the named file with what Produce writes, such that
// on any failure the file keeps its previous bytes. The text goes to a new
// file beside it, which is flushed, given the old file's owner, group, mode
// and attributes, and renamed over it; a symbolic link stays a link and its
// target is replaced. Where a rename would lose something (a file with
// several hard links, one whose owner, group or attributes a new file could
// not carry, a folder that takes no new file, a file the system will not
// rename over), the file is rewritten in place instead, with a copy of its
// old bytes kept until the new ones are written and put back on failure.
// A missing file is created (mode 0666 less the umask).
//
// With expected given, the file must still be the one read then: when
// another program replaced or changed it meanwhile, nothing is written and
// EFCreateError is raised, so that its change is not lost. With loaded
// given (what ReadWholeFile returned for this name), the file written is
// the one loaded, whatever the name leads to meanwhile; the save gives the
// platform's hold on it up when it ends.
//
// Raises EFCreateError ("ファイル %s を作成できません") when the file cannot be
// written at all, checked before anything is written, and EWriteError
// ("ストリームへの書き込みエラー") when writing, flushing or replacing fails.
void ReplaceFileContent(const std::string& name, const std::function<void(BlockSink&)>& produce,
                        const FileIdentity* expected = nullptr, LoadedFile* loaded = nullptr);
