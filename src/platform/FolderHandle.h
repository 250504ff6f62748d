// Folders opened as descriptors for walks that cannot be redirected: every subfolder is
// opened relative to its parent without following links, so a folder swapped for a link
// during a walk is never entered, and paths of any length can be walked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/UniqueFd.h"

namespace kestrix::platform {

// The identity of a file or folder on this machine.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileId&) const = default;
};

// One entry of a folder opened as a descriptor. `kind` as in listDirectory (a link to a
// file is a File, a link to a folder is Other); `link` is true when the entry is a link.
struct FolderEntry {
  std::string name;
  EntryKind kind = EntryKind::Other;
  bool link = false;
};

// Opens the folder `path` for a walk. Links in `path` are followed (the user named it);
// paths longer than the system's limit are opened piece by piece. Throws PlatformError.
UniqueFd openFolder(const std::string& path);
// Opens the subfolder `name` of the folder `parentFd` without following a link: a name that
// is a link (or no longer a folder) fails. Throws PlatformError; `shown` names it there.
UniqueFd openSubfolder(int parentFd, const std::string& name, const std::string& shown);
// Opens the parent ("..") of the folder `childFd` and checks that it is still `expected`
// (the folder the walk came from); throws PlatformError when it moved or cannot be opened.
UniqueFd reopenParent(int childFd, const FileId& expected);
// The identity of the open file or folder `fd`. Throws PlatformError.
FileId idOf(int fd);
// The entries of the open folder `fd` without "." and "..", in the order the file system
// returns them. Throws PlatformError when it cannot be listed.
std::vector<FolderEntry> listFolder(int fd);
// True when the open folder `fd` lies on a virtual file system of the kernel (proc, sysfs,
// devtmpfs, devpts, cgroup, debugfs, tracefs, securityfs, pstore, bpf, configfs, fusectl),
// whose files can block, consume data or never end.
bool onVirtualFileSystem(int fd);

}  // namespace kestrix::platform
