// Erase Backups: the recursive walk that counts "*.bak" files, or moves them to the trash
// (deleting those it does not take when the user agrees) or deletes them.
#include "modify/EraseBackups.h"

#include <algorithm>
#include <optional>

#include "modify/StopPoll.h"
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
  // With `countOnly` the walk only counts the backups.
  EraseWalk(const EraseOptions& options, ModifyObserver& observer, bool countOnly)
      : options_(options),
        poll_([&observer] { return observer.poll(); }),
        observer_(observer),
        countOnly_(countOnly) {
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
        ++summary_.found;
        if (!countOnly_) remove(path);
      }
    }
  }

  EraseSummary& summary() { return summary_; }

 private:
  bool subfoldersIgnored() const {
    return options_.ignoredFolders && options_.ignoredFolders->ignoreSubfolders;
  }

  void remove(const std::string& path) {
    if (options_.trash && options_.trash(path)) {
      ++summary_.removed;
      return;
    }
    if (options_.trash && !deleteUntrashable(path)) return;
    try {
      platform::removeFile(path);
      ++summary_.removed;
      ++summary_.deleted;
    } catch (const platform::PlatformError&) {  // left in place; the walk goes on
    }
  }

  // The answer about files the trash did not take, asked once.
  bool deleteUntrashable(const std::string& path) {
    if (!untrashableAnswer_) {
      untrashableAnswer_ = options_.deleteUntrashable && options_.deleteUntrashable(path);
    }
    return *untrashableAnswer_;
  }

  const EraseOptions& options_;
  StopPoll poll_;
  ModifyObserver& observer_;
  const bool countOnly_;
  std::vector<std::string> patterns_;
  EraseSummary summary_;
  std::optional<bool> untrashableAnswer_;
};

EraseSummary walkBackups(std::string_view typedPath, const EraseOptions& options,
                         ModifyObserver& observer, bool countOnly) {
  std::string folder(trimBlanks(typedPath));
  if (folder.empty()) throw ModifyError(kEraseBackupCaption, kSpecifyPath);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  EraseWalk walk(options, observer, countOnly);
  try {
    walk.walk(folder);
  } catch (const StopRequested&) {
    walk.summary().stopped = true;
  }
  return walk.summary();
}

}  // namespace

EraseSummary eraseBackups(std::string_view typedPath, const EraseOptions& options,
                          ModifyObserver& observer) {
  return walkBackups(typedPath, options, observer, false);
}

EraseSummary countBackups(std::string_view typedPath, const EraseOptions& options,
                          ModifyObserver& observer) {
  return walkBackups(typedPath, options, observer, true);
}

}  // namespace kestrix::modify
