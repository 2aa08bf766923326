// A file name resolved once, one component at a time through descriptors
// (O_PATH, never following a link on its own), so that what is checked on
// the way is what is opened, and every symbolic link followed is known.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/posix/descriptor.h"

struct ResolvedName {
  FileDescriptor folder;          // the folder that holds the file (O_PATH)
  std::string base;               // the file's name in that folder
  FileDescriptor file;            // the file itself (O_PATH); -1 when there is none
  std::vector<uid_t> link_owners; // the owner of each link followed on the way
};

// Resolves name against the current folder. A missing last component is no
// failure: file stays -1, so that the name may be created. False, with
// errno set, when a folder on the way is missing or no folder, a link
// chain is too long (ELOOP), or the name stands for a folder (EISDIR).
bool ResolveName(const std::string& name, ResolvedName& out);

// Whether links owned by these users may lead to a file of target_owner for
// a caller of effective user caller: each link must be the caller's, root's
// (who could write the file anyway), or that of the file's owner. This is
// the kernel's protected_symlinks rule in spirit, applied in every folder,
// so that no one can point a link of his at a file that is not his.
bool LinksMayBeFollowed(const std::vector<uid_t>& link_owners, uid_t target_owner, uid_t caller);
