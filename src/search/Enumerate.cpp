// The walk over candidate files: depth first, pre-order, with the filters of the request
// applied in their fixed order (backup rule, size, date, masks, ignored files).
#include "search/Enumerate.h"

#include "platform/Platform.h"
#include "search/Poller.h"

namespace kestrix::search {
namespace {

bool endsWithBak(const std::string& name) {
  return name.size() >= 4 && name.compare(name.size() - 4, 4, ".bak") == 0;
}

// Steps shared by both walks for one file: filters, then the test. `info` may be null
// when no filter needs the facts.
void offerFile(const std::string& folder, const std::string& name, const platform::FileInfo* info,
               const FileFilters& filters, const WalkCallbacks& callbacks) {
  if (info && !filters.passesSizeAndDate(*info)) return;
  if (!filters.masks.matches(name)) return;
  if (filters.ignoredFiles && filters.ignoredFiles->matches(name)) return;
  if (callbacks.test) callbacks.test(folder, name, info);
}

bool walk(const std::string& folder, const FileFilters& filters, const WalkCallbacks& callbacks,
          Poller& poller) {
  if (callbacks.folderEntered) callbacks.folderEntered(folder);
  const bool ignored = folderIgnored(filters.ignoredFolderPatterns, folder);
  std::vector<platform::DirEntry> entries;
  try {
    entries = platform::listDirectory(folder.empty() ? std::string("/") : folder);
  } catch (const platform::PlatformError&) {
    return !poller.stopped();  // a folder that cannot be listed yields nothing
  }
  for (const platform::DirEntry& entry : entries) {
    if (poller.stopped()) return false;
    if (filters.skipBackups && endsWithBak(entry.name)) continue;
    const std::string full = platform::joinPath(folder.empty() ? "/" : folder, entry.name);
    if (entry.kind == platform::EntryKind::File && !ignored) {
      if (!filters.needsFacts()) {
        offerFile(folder, entry.name, nullptr, filters, callbacks);
      } else if (auto info = platform::tryStat(full)) {
        offerFile(folder, entry.name, &*info, filters, callbacks);
      }
    } else if (entry.kind == platform::EntryKind::Directory && filters.includeSubfolders &&
               !(ignored && filters.ignoreSubfoldersToo)) {
      if (!walk(full, filters, callbacks, poller)) return false;
    }
  }
  return true;
}

}  // namespace

FileFilters FileFilters::fromRequest(const SearchRequest& request) {
  FileFilters f;
  f.masks = MaskList::parse(request.masksText);
  if (request.ignoredFiles) f.ignoredFiles = MaskList::fromLines(*request.ignoredFiles);
  if (request.ignoredFolders) {
    f.ignoreSubfoldersToo = request.ignoredFolders->ignoreSubfolders;
    f.ignoredFolderPatterns =
        search::ignoredFolderPatterns(request.ignoredFolders->lines, f.ignoreSubfoldersToo);
  }
  f.skipBackups = request.createBackups && request.origin == Origin::SearchAndReplace;
  f.sizeFilter = request.sizeFilter;
  f.dateFilter = request.dateFilter;
  f.nowSec = platform::nowSec();
  f.includeSubfolders = request.includeSubfolders;
  return f;
}

bool FileFilters::passesSizeAndDate(const platform::FileInfo& info) const {
  if (sizeFilter) {
    const bool minimum = sizeFilter->kind == SizeFilter::Kind::Minimum;
    if (minimum ? info.sizeBytes < sizeFilter->limitBytes
                : info.sizeBytes > sizeFilter->limitBytes) {
      return false;
    }
  }
  if (!dateFilter) return true;
  if (dateFilter->kind == DateFilter::Kind::NewerThan) {
    return static_cast<double>(info.lastWriteSec) >= nowSec - dateFilter->days * 86400.0;
  }
  const platform::LocalTime t = platform::toLocalTime(info.lastWriteSec);
  const std::int64_t day = platform::daysFromCivil(t.year, t.month, t.day);
  const Date& lo = dateFilter->minDate;
  const Date& hi = dateFilter->maxDate;
  return day >= platform::daysFromCivil(lo.year, lo.month, lo.day) &&
         day <= platform::daysFromCivil(hi.year, hi.month, hi.day);
}

bool enumerateFolder(const std::string& folder, const FileFilters& filters,
                     const WalkCallbacks& callbacks) {
  Poller poller(callbacks.poll);
  return walk(folder, filters, callbacks, poller);
}

bool enumerateResults(const std::vector<std::string>& snapshot, const FileFilters& runFilters,
                      const WalkCallbacks& callbacks) {
  FileFilters filters = runFilters;
  filters.ignoredFiles.reset();  // the ignore lists apply to folder walks only
  Poller poller(callbacks.poll);
  for (const std::string& full : snapshot) {
    if (poller.stopped()) return false;
    const std::string name = platform::nameOf(full);
    if (filters.skipBackups && endsWithBak(name)) continue;
    auto info = platform::tryStat(full);
    if (!info || info->isDirectory) continue;
    offerFile(platform::folderOf(full), name, &*info, filters, callbacks);
  }
  return true;
}

}  // namespace kestrix::search
