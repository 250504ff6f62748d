// Extended attributes of open files: POSIX ACLs (system.posix_acl_*), user.* values and
// security labels travel with a file's content when it is replaced by a new file (a
// rewrite, a backup, an undo), so that a replacement grants and denies what the old file did.
#pragma once

#include <string>
#include <vector>

namespace kestrix::platform {

// One extended attribute: its full name ("user.origin") and its value, bytes as stored.
struct ExtendedAttribute {
  std::string name;
  std::string value;
};

// Every extended attribute of the open file `fd`, in the order the file system lists them;
// empty when the file system keeps none. Throws PlatformError naming `displayName` when they
// cannot be read.
std::vector<ExtendedAttribute> readExtendedAttributes(int fd, const std::string& displayName);

// Copies every extended attribute of the open file `fromFd` onto the open file `toFd`
// (values `toFd` already has under the same names are replaced; others it has are kept).
// ACLs and user.* values must be kept: when one cannot be set, PlatformError is thrown
// naming `displayName`. Security and trusted values are copied where the process is
// permitted to set them and skipped where it is not (a label only an administrator may set).
// Call it before the final permission bits are set: setting an ACL rewrites the group class.
void copyExtendedAttributes(int fromFd, int toFd, const std::string& displayName);

}  // namespace kestrix::platform
