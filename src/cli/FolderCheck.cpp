// Existence check of the FOLDER argument.
#include "cli/FolderCheck.h"

#include "platform/Platform.h"
#include "search/Find.h"
#include "search/SearchError.h"

namespace kestrix::cli {

void requireFolder(const std::string& folder) {
  const std::string name = search::normalizeFolder(folder);
  if (name.empty()) return;
  const auto info = platform::tryStat(name);
  if (!info || !info->isDirectory) throw search::SearchError(folder, "No such folder");
}

}  // namespace kestrix::cli
