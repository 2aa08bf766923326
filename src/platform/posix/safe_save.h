// A new file beside a target file, in the shape of git's lockfile: Prepare
// creates it, the caller writes through Fd, Sync flushes and closes it, and
// Commit renames it over the target; on every other way out (Rollback, the
// destructor, SIGINT, SIGTERM, SIGHUP or SIGQUIT) it is removed. Everything
// goes through the folder's descriptor, so that a folder renamed or swapped
// for a link meanwhile cannot redirect it.
//
// Its name is the target's name followed by ".logstamp-", "old-" for a
// recovery file, and six random letters and digits; the target's part is
// shortened as far as needed for the whole to fit the folder's name limit.
#pragma once

#include <string>

#include "platform/posix/descriptor.h"

class SafeSave {
 public:
  enum class Kind {
    kTemporary,  // the new content, to replace the target
    kRecovery,   // a copy of the old content, kept while the target is rewritten
  };

  SafeSave(int folder_fd, const std::string& target, Kind kind = Kind::kTemporary);
  ~SafeSave() { Rollback(); }
  SafeSave(const SafeSave&) = delete;
  SafeSave& operator=(const SafeSave&) = delete;

  // Creates the file, empty, mode 0600. False, with errno set, when the
  // folder takes no new file.
  bool Prepare();
  int Fd() const { return fd_.Get(); }
  const std::string& Name() const { return name_; }

  // Flushes the file to disk and closes it; false when either fails.
  bool Sync();
  // Renames the file over the target; with replace false, only where no
  // target exists (EEXIST otherwise). False, with errno set, on failure:
  // the file then stays until Rollback.
  bool Commit(bool replace = true);
  // Swaps the file and the target (renameat2, RENAME_EXCHANGE): the target
  // takes the new content, and the file beside it now holds the old one,
  // to be removed by Rollback or swapped back. False, with errno set, on
  // failure (EINVAL where the file system cannot swap).
  bool Exchange();
  // Removes the file while it is ours (not committed, not kept).
  void Rollback();
  // Leaves the file in place on every way out from now on.
  void Keep();

 private:
  int folder_;
  std::string target_;
  Kind kind_;
  std::string name_;
  FileDescriptor fd_;
  bool ours_ = false;  // the file exists, made by Prepare, and is to be removed
};

// The name of a file beside target in the folder: the target's name and
// the suffix, the target's part cut so that the whole stays within
// name_max bytes.
std::string NameBeside(const std::string& target, const std::string& suffix, long name_max);

// Flushes the folder's entries to disk, as far as the file system allows.
void SyncFolder(int folder_fd);
