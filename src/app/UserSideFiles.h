// The side files of this user: in the program's data folder, or in memory only when there
// is no home folder to keep them in.
#pragma once

#include <memory>

#include "app/SideFiles.h"

namespace kestrix::app {

// Side files in modify::dataFolder() (created on the first write); MemorySideFiles when
// neither XDG_DATA_HOME nor HOME names a place, so every read finds nothing and nothing is
// kept.
std::unique_ptr<SideFiles> userSideFiles();

}  // namespace kestrix::app
