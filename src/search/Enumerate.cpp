// The walk over candidate files: depth first, pre-order, with the filters of the request
// applied in their fixed order (backup rule, size, date, masks, ignored files). Folders are
// held as descriptors: each subfolder is opened relative to its parent with O_NOFOLLOW, and
// files are opened relative to their folder by whoever tests them.
#include "search/Enumerate.h"

#include "platform/FolderHandle.h"
#include "platform/ReadOnlyFile.h"
#include "search/Poller.h"

namespace kestrix::search {
namespace {

// Descriptors the walk keeps open for the folders it is inside; deeper walks release the
// outer ones and reopen them through ".." (checked by identity) on the way back.
constexpr std::size_t kOpenLevels = 32;

bool endsWithBak(const std::string& name) {
  return name.size() >= 4 && name.compare(name.size() - 4, 4, ".bak") == 0;
}

// Steps shared by both walks for one file: filters, then the test.
void offerFile(Candidate&& file, const FileFilters& filters, const WalkCallbacks& callbacks) {
  if (file.info && !filters.passesSizeAndDate(*file.info)) return;
  if (!filters.masks.matches(file.name)) return;
  if (filters.ignoredFiles && filters.ignoredFiles->matches(file.name)) return;
  if (callbacks.test) callbacks.test(std::move(file));
}

// One folder the walk is inside.
struct Level {
  std::shared_ptr<platform::UniqueFd> fd;  // null once released (deep walks)
  platform::FileId id;
  std::string path;
  bool ignored = false;
  std::vector<platform::FolderEntry> entries;
  std::size_t next = 0;
};

class Walker {
 public:
  Walker(const FileFilters& filters, const WalkCallbacks& callbacks)
      : filters_(filters), callbacks_(callbacks), poller_(callbacks.poll) {}

  bool run(const std::string& folder) {
    const std::string path = folder.empty() ? std::string("/") : folder;
    platform::UniqueFd fd;
    platform::FileId id;
    try {
      fd = platform::openFolder(path);
      id = platform::idOf(fd.get());
      rootDevice_ = id.device;
    } catch (const platform::PlatformError&) {
      if (callbacks_.folderEntered) callbacks_.folderEntered(folder);
      return !poller_.stopped();  // a folder that cannot be listed yields nothing
    }
    enter(folder, std::move(fd), id);
    while (!stack_.empty()) {
      if (stack_.back().next == stack_.back().entries.size()) {
        leave();
      } else if (poller_.stopped()) {
        return false;
      } else {
        step();
      }
    }
    return true;
  }

 private:
  void enter(const std::string& path, platform::UniqueFd fd, const platform::FileId& id) {
    if (callbacks_.folderEntered) callbacks_.folderEntered(path);
    Level level;
    level.ignored = folderIgnored(filters_.ignoredFolderPatterns, path);
    level.path = path;
    level.id = id;
    try {
      level.entries = platform::listFolder(fd.get());
    } catch (const platform::PlatformError&) {
      level.entries.clear();  // a folder that cannot be listed yields nothing
    }
    level.fd = std::make_shared<platform::UniqueFd>(std::move(fd));
    stack_.push_back(std::move(level));
    if (stack_.size() > kOpenLevels + 1) stack_[stack_.size() - 1 - kOpenLevels].fd.reset();
  }

  void step() {
    Level& top = stack_.back();
    platform::FolderEntry& entry = top.entries[top.next++];
    if (filters_.skipBackups && endsWithBak(entry.name)) return;
    if (entry.kind == platform::EntryKind::File && !top.ignored) {
      offer(top, entry);
    } else if (entry.kind == platform::EntryKind::Directory && filters_.includeSubfolders &&
               !(top.ignored && filters_.ignoreSubfoldersToo)) {
      descend(top, entry.name);
    }
  }

  // The name tests come first (the filters are independent, so their order decides only
  // the cost): a file the masks refuse costs neither a stat nor a copy of its names. The
  // entry is not looked at again, so its name moves into the candidate.
  void offer(const Level& top, platform::FolderEntry& entry) {
    if (!filters_.masks.matches(entry.name)) return;
    if (filters_.ignoredFiles && filters_.ignoredFiles->matches(entry.name)) return;
    Candidate file{top.fd, top.path, std::move(entry.name), entry.link, std::nullopt};
    if (filters_.needsFacts()) {
      file.info = platform::statAt(top.fd->get(), file.name, file.link);
      if (!file.info || !filters_.passesSizeAndDate(*file.info)) return;
    }
    if (callbacks_.test) callbacks_.test(std::move(file));
  }

  void descend(const Level& top, const std::string& name) {
    const std::string path = platform::joinPath(top.path.empty() ? "/" : top.path, name);
    platform::UniqueFd fd;
    platform::FileId id;
    try {
      fd = platform::openSubfolder(top.fd->get(), name, path);
      id = platform::idOf(fd.get());
      const std::uint64_t device = id.device;
      if (device != top.id.device && device != rootDevice_ &&
          platform::onVirtualFileSystem(fd.get())) {
        return;  // proc, sysfs, ...: reading there can block or consume data
      }
    } catch (const platform::PlatformError&) {
      return;  // gone, swapped for a link, or not readable: yields nothing
    }
    enter(path, std::move(fd), id);
  }

  // Leaves the innermost folder; when the descriptor of the folder above was released, it
  // is reopened through ".." and must still be the folder the walk came from, else the rest
  // of it is left (the tree was moved under the walk).
  void leave() {
    Level done = std::move(stack_.back());
    stack_.pop_back();
    if (stack_.empty() || stack_.back().fd) return;
    Level& parent = stack_.back();
    if (done.fd) {
      try {
        parent.fd =
            std::make_shared<platform::UniqueFd>(platform::reopenParent(done.fd->get(), parent.id));
        return;
      } catch (const platform::PlatformError&) {
      }
    }
    parent.entries.clear();
    parent.next = 0;
  }

  const FileFilters& filters_;
  const WalkCallbacks& callbacks_;
  Poller poller_;
  std::vector<Level> stack_;
  std::uint64_t rootDevice_ = 0;
};

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
  return Walker(filters, callbacks).run(folder);
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
    std::shared_ptr<platform::UniqueFd> folderFd;
    try {
      folderFd =
          std::make_shared<platform::UniqueFd>(platform::openFolder(platform::folderOf(full)));
    } catch (const platform::PlatformError&) {
      continue;  // its folder is gone
    }
    auto info = platform::statAt(folderFd->get(), name, true);
    if (!info) continue;  // gone, or no longer a file
    offerFile({folderFd, platform::folderOf(full), name, true, std::move(info)}, filters,
              callbacks);
  }
  return true;
}

}  // namespace kestrix::search
