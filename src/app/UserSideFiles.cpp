// Chooses where the side files of this user live.
#include "app/UserSideFiles.h"

#include <stdexcept>

#include "modify/DataFolder.h"

namespace kestrix::app {

std::unique_ptr<SideFiles> userSideFiles() {
  std::string folder;
  try {
    folder = modify::dataFolder();
  } catch (const std::runtime_error&) {
    // No home folder: the side files live in memory for this run.
  }
  if (folder.empty()) return std::make_unique<MemorySideFiles>();
  return std::make_unique<FolderSideFiles>(folder);
}

}  // namespace kestrix::app
