// Looks for an installed desktop editor.
#include "app/EditorDefault.h"

#include <cstdlib>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrix::app {

std::optional<std::string> findInPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr || name.empty() || name.find('/') != std::string::npos) return std::nullopt;
  std::string_view folders = path;
  while (!folders.empty()) {
    const std::size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    folders = colon == std::string_view::npos ? std::string_view{} : folders.substr(colon + 1);
    if (folder.empty()) continue;
    const std::string candidate = std::string(folder) + "/" + name;
    struct stat info {};
    if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return std::nullopt;
}

std::string defaultEditor(const ProgramFinder& find) {
  static constexpr const char* kEditors[] = {"gnome-text-editor", "gedit", "kate", "kwrite",
                                             "mousepad",          "pluma", "xed",  "geany"};
  const ProgramFinder finder = find ? find : ProgramFinder(findInPath);
  for (const char* editor : kEditors) {
    if (std::optional<std::string> path = finder(editor)) return "\"" + *path + "\"";
  }
  return "xdg-open";
}

}  // namespace kestrix::app
