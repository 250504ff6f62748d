// The place of the batch dialog's state file.
#include "modify/BatchStateFile.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "modify/DataFolder.h"

namespace kestrix::modify {

std::string batchStateFilePath() {
  try {
    return dataFolder() + "/" + kBatchStateFile;
  } catch (const std::runtime_error&) {
    return {};  // no home folder
  }
}

void storeBatchState(const std::string& path, const BatchState& state) {
  // A folder that cannot be made shows as the write's own error.
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  writeBatchState(path, state);
}

}  // namespace kestrix::modify
