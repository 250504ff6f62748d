// Maps the stored settings onto the search and modification requests.
#include "app/RunSettings.h"

namespace kestrix::app {

modify::LineSeparator lineSeparatorOf(SeparatorChoice choice) {
  switch (choice) {
    case SeparatorChoice::Windows:
      return modify::LineSeparator::Windows;
    case SeparatorChoice::Unix:
      return modify::LineSeparator::Unix;
    case SeparatorChoice::Macintosh:
      return modify::LineSeparator::Macintosh;
    case SeparatorChoice::Keep:
      break;
  }
  return modify::LineSeparator::Keep;
}

std::vector<std::string> ignoreListLines(const std::string& text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

void applyTo(search::SearchRequest& request, const WindowSettings& settings) {
  if (settings.dialog.ignoreFolders)
    request.ignoredFolders = search::IgnoredFolders{ignoreListLines(settings.folderIgnoreList),
                                                    settings.ignoreSubfolders};
  if (settings.dialog.ignoreFiles) request.ignoredFiles = ignoreListLines(settings.fileIgnoreList);
  request.legacyCodePage = settings.dialog.codePage;
}

void applyTo(modify::ModifyRequest& request, const DialogSettings& settings) {
  request.lineSeparator = lineSeparatorOf(settings.separator);
  request.modifyReadOnly = settings.modifyReadOnly;
  request.modifyHidden = settings.modifyHidden;
  request.legacyCodePage = settings.codePage;
}

}  // namespace kestrix::app
