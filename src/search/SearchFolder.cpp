// Home expansion and the existence check of the folder searched.
#include "search/SearchFolder.h"

#include "platform/Platform.h"
#include "search/SearchError.h"

namespace kestrix::search {

std::string expandHome(std::string_view folder, std::string_view home) {
  if (folder == "~") return std::string(home);
  if (folder.starts_with("~/")) return std::string(home) + std::string(folder.substr(1));
  return std::string(folder);
}

void requireSearchFolder(const SearchRequest& request) {
  if (request.searchInResults || request.folder.empty()) return;
  const auto info = platform::tryStat(request.folder);
  if (info && info->isDirectory) return;
  throw SearchError(originCaption(request.origin),
                    "Folder \"" + request.folder + "\" does not exist");
}

}  // namespace kestrix::search
