// Finds the undo history and the log of temporaries in the data folder, if there is one.
#include "modify/DataFolderFiles.h"

#include <stdexcept>

#include "modify/DataFolder.h"
#include "modify/History.h"
#include "modify/TemporaryLog.h"

namespace kestrix::modify {

std::string historyFolderIfAny() {
  try {
    return historyFolderIn(dataFolder());
  } catch (const std::runtime_error&) {
    return {};
  }
}

std::string temporaryLogIfAny() {
  try {
    return temporaryLogPath(ensureDataFolder());
  } catch (const std::runtime_error&) {  // PlatformError too
    return {};
  }
}

}  // namespace kestrix::modify
