// What a file carries besides its bytes: owner, group, mode and extended
// attributes (POSIX ACLs among them, as system.posix_acl_access).
#pragma once

#include <sys/stat.h>

enum class AttributesCopied {
  kAll,         // the new file carries everything the old one did
  kCannotKeep,  // the owner, the group or an attribute cannot be given to it
  kFailed,      // the mode could not be set: errno tells why
};

// Gives the file of to_fd the owner, group and mode of from (the file of
// from_fd) and every extended attribute of it, and takes away attributes
// that to_fd holds and from_fd does not (an ACL inherited from the folder).
// The mode is set before the attributes, so that an ACL's mask is not
// overwritten by the group bits.
AttributesCopied CopyAttributes(int from_fd, const struct stat& from, int to_fd);
