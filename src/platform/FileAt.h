// Files and folders reached relative to an open folder descriptor, never through a link:
// the way the modify pass and the safe writes open what they change, so that a path
// swapped during a run cannot redirect them.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FolderHandle.h"

namespace kestrix::platform {

// Opens the folder reached from `base` through `components` (names without "/"), each
// opened with O_NOFOLLOW: a component that is a link fails. No components give a
// duplicate of `base`. Throws PlatformError naming `displayName`.
UniqueFd openFolderBelow(int base, const std::vector<std::string>& components,
                         const std::string& displayName);

// Opens the entry `name` of `dirFd` for reading without following a link, without
// blocking (a FIFO or a device never hangs the caller) and without taking a terminal, and
// fills `st`. Throws PlatformError "not a regular file" for anything but a regular file.
UniqueFd openRegularAt(int dirFd, const std::string& name, const std::string& displayName,
                       struct ::stat& st);

// Reads the open file to its end into `out` (`sizeHint` bytes expected). Throws
// PlatformError (EFBIG past readCap); std::bad_alloc when the memory runs out.
void readAll(int fd, std::int64_t sizeHint, const std::string& displayName, std::string& out);

// The names of `path` below `folder` ("a/b/c.txt" in "/x" for "/x/a/b/c.txt"); both must
// be absolute and normalised. False when `path` is not inside `folder`.
bool componentsBelow(std::string_view folder, std::string_view path,
                     std::vector<std::string>& components);

// `path` made absolute (against the working folder) and normalised lexically ("." and ".."
// resolved, no trailing "/"); links are not resolved.
std::string absoluteName(const std::string& path);

// The real path of `path` (every link resolved), of any length: a name longer than the
// system's limit is resolved one component at a time. Throws PlatformError.
std::string realPath(const std::string& path);

// Opens the folder holding the absolute, normalised `fullName` by walking down from "/"
// without following a link (a folder of the path that is, or became, a link fails with
// ELOOP or ENOTDIR), and sets `leaf` to the file's name there. Works for names of any
// length. Throws PlatformError.
UniqueFd openFolderOf(const std::string& fullName, std::string& leaf);

}  // namespace kestrix::platform
