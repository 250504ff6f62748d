// Erase Backups over a folder tree: the ".bak" files counted, moved to the desktop's trash
// or deleted.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "modify/ModifyObserver.h"
#include "search/SearchRequest.h"

namespace kestrix::modify {

struct EraseOptions {
  bool includeSubfolders = true;
  // The ignored-folders list when its switch is on: files in an ignored folder are never
  // removed, and with ignoreSubfolders the walk does not enter it either.
  std::optional<search::IgnoredFolders> ignoredFolders;
  // Moves a file to the desktop's trash; true when it did. Empty: files are deleted.
  std::function<bool(const std::string& fullName)> trash;
  // Asked once, with the first file the trash did not take (another file system without a
  // trash folder, ...): true deletes it and every later such file, false leaves them all.
  // Empty: they are left.
  std::function<bool(const std::string& fullName)> deleteUntrashable;
};

struct EraseSummary {
  std::size_t found = 0;    // backups met by the walk
  std::size_t removed = 0;  // moved to the trash or deleted
  std::size_t deleted = 0;  // of those, deleted for good
  bool stopped = false;
};

// Erase Backups: removes every file matching "*.bak" (ASCII case ignored) in the folder
// `typedPath` (blanks trimmed) and, with includeSubfolders, below it; links to folders are
// not followed; a file that cannot be removed is left. With options.trash the files go to
// the trash, and those it does not take are deleted only when deleteUntrashable says so.
// Throws ModifyError "Please specify the Path" (caption "Erase Backup") when the trimmed
// path is empty.
EraseSummary eraseBackups(std::string_view typedPath, const EraseOptions& options,
                          ModifyObserver& observer);

// The walk of eraseBackups without removing anything: `found` is the number of backups it
// would remove (or met before a stop). Throws as eraseBackups.
EraseSummary countBackups(std::string_view typedPath, const EraseOptions& options,
                          ModifyObserver& observer);

}  // namespace kestrix::modify
