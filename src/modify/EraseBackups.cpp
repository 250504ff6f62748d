// Erase Backups: the recursive walk that removes "*.bak" files.
#include <algorithm>

#include "modify/StopPoll.h"
#include "modify/Undo.h"
#include "platform/Platform.h"
#include "search/Masks.h"

namespace kestrix::modify {
namespace {

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

class EraseWalk {
 public:
  EraseWalk(const EraseOptions& options, ModifyObserver& observer)
      : options_(options), poll_([&observer] { return observer.poll(); }), observer_(observer) {
    if (options.ignoredFolders) {
      patterns_ = search::ignoredFolderPatterns(options.ignoredFolders->lines, false);
    }
  }

  // Walks `folder`; throws StopRequested when a stop was asked for.
  void walk(const std::string& folder) {
    const bool ignored = !patterns_.empty() && search::folderIgnored(patterns_, folder);
    std::vector<platform::DirEntry> entries;
    try {
      entries = platform::listDirectory(folder);
    } catch (const platform::PlatformError&) {
      return;  // a folder that cannot be listed has nothing to erase
    }
    for (const auto& entry : entries) {
      poll_.check();
      const std::string path = platform::joinPath(folder, entry.name);
      if (entry.kind == platform::EntryKind::Directory) {
        if (options_.includeSubfolders && !(ignored && subfoldersIgnored())) {
          observer_.fileStarted(path);
          walk(path);
        }
      } else if (!ignored && entry.kind == platform::EntryKind::File &&
                 search::wildcardMatch("*.bak", entry.name)) {
        remove(path);
      }
    }
  }

  std::size_t removed() const { return removed_; }

 private:
  bool subfoldersIgnored() const {
    return options_.ignoredFolders && options_.ignoredFolders->ignoreSubfolders;
  }

  void remove(const std::string& path) {
    try {
      platform::removeFile(path);
      ++removed_;
    } catch (const platform::PlatformError&) {  // left in place; the walk goes on
    }
  }

  const EraseOptions& options_;
  StopPoll poll_;
  ModifyObserver& observer_;
  std::vector<std::string> patterns_;
  std::size_t removed_ = 0;
};

}  // namespace

EraseSummary eraseBackups(std::string_view typedPath, const EraseOptions& options,
                          ModifyObserver& observer) {
  std::string folder(trimBlanks(typedPath));
  if (folder.empty()) throw ModifyError(kEraseBackupCaption, kSpecifyPath);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  EraseWalk walk(options, observer);
  EraseSummary summary;
  try {
    walk.walk(folder);
  } catch (const StopRequested&) {
    summary.stopped = true;
  }
  summary.removed = walk.removed();
  return summary;
}

}  // namespace kestrix::modify
