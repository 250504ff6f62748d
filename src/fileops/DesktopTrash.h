// The desktop's trash as the freedesktop.org trash layout has it, for the console, which
// has no desktop library: "files/" holds the trashed files, "info/" one NAME.trashinfo per
// file with its original path and the deletion time.
#pragma once

#include <string>

namespace kestrix::fileops {

// The home trash: $XDG_DATA_HOME/Trash (absolute), else ~/.local/share/Trash. Empty when
// neither is known.
std::string homeTrashFolder();

// Moves the file `name` (relative names from the current folder) to the trash of its file system: `homeTrash` when
// the file is on the same device, else the mount's ".Trash/UID" (only when ".Trash" is a
// folder with the sticky bit, not a link) or ".Trash-UID" (made with mode 0700 when
// missing). The info file is created first under a name no other file has (O_EXCL; a taken
// NAME gets NAME.2, NAME.3, ...), then the file is renamed into "files"; when that fails
// the info file is removed. Never copies, never deletes. True when the file was moved.
bool moveToTrash(const std::string& name, const std::string& homeTrash);

}  // namespace kestrix::fileops
