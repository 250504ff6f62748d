// A listed file opened for a change: reached from the searched folder through folder
// descriptors opened without following links, so that a file is changed only where its
// real path lies inside the searched folder and a path swapped during the run cannot
// redirect the change.
#pragma once

#include <sys/stat.h>

#include <string>

#include "platform/FileAt.h"

namespace kestrix::modify {

// The searched folder, open.
struct SearchRoot {
  std::string realName;  // every link resolved
  platform::UniqueFd fd;
};

// Opens `folder` (links followed: the user chose it). Throws FileFailure with the reason.
SearchRoot openSearchRoot(const std::string& folder);

struct TargetFile {
  std::string realName;       // absolute, every link resolved: the journal's name
  platform::UniqueFd folder;  // the folder holding it
  std::string name;           // its name there
  platform::UniqueFd fd;      // open for reading
  struct ::stat st {};
  // Its name or a folder between the searched folder and it starts with ".": it counts
  // as hidden (".git/config" is only changed when hidden files may be).
  bool hidden = false;
};

// Opens the listed file `listedName` inside `root` for reading. Throws FileFailure with the
// reason shown to the user: "outside the searched folder", "not a regular file", "a link
// on its path changed during the run", or the system's reason ("No such file or
// directory").
TargetFile openTarget(const SearchRoot& root, const std::string& listedName);

}  // namespace kestrix::modify
