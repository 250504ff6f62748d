// The walk over the candidate files: a folder depth first in pre-order, or the snapshot of
// the listed files, with the backup rule, size and date filters, masks and ignore lists.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/UniqueFd.h"
#include "search/Masks.h"
#include "search/SearchRequest.h"

namespace kestrix::search {

// The filters of one run, built once from the request.
struct FileFilters {
  MaskList masks;
  std::optional<MaskList> ignoredFiles;
  std::vector<std::string> ignoredFolderPatterns;
  bool ignoreSubfoldersToo = false;
  bool skipBackups = false;  // Search and Replace origin with Create Backups on
  std::optional<SizeFilter> sizeFilter;
  std::optional<DateFilter> dateFilter;
  double nowSec = 0;  // the moment the run started (Newer than)
  bool includeSubfolders = true;

  // Throws SearchError "Too many masks".
  static FileFilters fromRequest(const SearchRequest& request);
  // The size and date tests on one file.
  bool passesSizeAndDate(const platform::FileInfo& info) const;
  // True when the size or date test needs the file's facts.
  bool needsFacts() const { return sizeFilter.has_value() || dateFilter.has_value(); }
};

// A file the walk accepted, with what opening it needs: its open folder (shared by the
// files of that folder, closed when the last of them is done) and whether the entry is a
// link to a file (followed when read; every other name is opened without following links).
struct Candidate {
  std::shared_ptr<const platform::UniqueFd> folderFd;
  std::string folder;
  std::string name;
  bool link = false;
  std::optional<platform::FileInfo> info;  // when the walk took the facts (size or date
                                           // filter, Search in Results): files are only
                                           // examined when a filter or the caller needs it
  std::string fullName() const { return platform::joinPath(folder, name); }
};

// Callbacks of a walk. `poll` returns true to stop (checked when more than 15 ms passed,
// before every entry); `test` is called for each accepted file.
struct WalkCallbacks {
  std::function<bool()> poll;
  std::function<void(const std::string& folder)> folderEntered;
  std::function<void(Candidate&& file)> test;
};

// Walks `folder`; returns false when stopped. Every subfolder is opened relative to its
// parent's descriptor without following links, so links to folders are not followed and a
// folder swapped for a link during the walk is not entered; paths of any length are
// walked. Folders that cannot be listed yield nothing. Folders on a virtual file system
// (proc, sysfs, devtmpfs, ...) are entered only when `folder` itself is on that file system.
bool enumerateFolder(const std::string& folder, const FileFilters& filters,
                     const WalkCallbacks& callbacks);
// Walks the full names of `snapshot` (files that vanished are skipped) with the backup rule,
// size, date and masks, but without the ignore lists; returns false when stopped.
bool enumerateResults(const std::vector<std::string>& snapshot, const FileFilters& filters,
                      const WalkCallbacks& callbacks);

}  // namespace kestrix::search
