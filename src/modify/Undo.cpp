// Undo through the ".$" temporary, with attributes kept.
#include "modify/Undo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

#include "modify/Backup.h"
#include "modify/ContentHash.h"
#include "modify/Interval.h"
#include "modify/RowRefresh.h"
#include "platform/FileAt.h"
#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/Find.h"

namespace kestrix::modify {
namespace {

// Puts F + ".bak" in place of F, then gives F the mode `finalMode` (else the mode F had).
// Throws platform::PlatformError; on a failure the modified file is back under its name
// whenever the backup did not take its place.
void restoreFromBackup(const std::string& file, std::optional<std::uint32_t> finalMode) {
  const std::string temp = undoTempName(file);
  const platform::FileInfo info = platform::stat(file);
  std::optional<std::uint32_t> savedMode;
  try {
    if (isProtected(info.attributes) && !info.attributes.system) {
      savedMode = platform::makeWritable(file);
    }
    if (platform::exists(temp)) platform::removeFile(temp);
    platform::renameFile(file, temp);
    platform::renameFile(backupName(file), file);
    platform::removeFile(temp);
    if (finalMode) savedMode = finalMode;
    if (savedMode) platform::setMode(file, *savedMode);
  } catch (const platform::PlatformError&) {
    // Only move the modified file back when the backup is not already in its place:
    // otherwise the restored content would be overwritten and lost.
    if (!platform::exists(file) && platform::exists(temp)) {
      try {
        platform::renameFile(temp, file);
        if (savedMode) platform::setMode(file, *savedMode);
      } catch (const platform::PlatformError&) {  // nothing more can be done here
      }
    }
    throw;
  }
}

// Why `path` cannot take part in an undo ("" when it is a regular file, links not followed).
std::string notRegular(const std::string& path, const char* missing) {
  struct ::stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? missing : std::strerror(errno);
  return S_ISREG(st.st_mode) ? "" : "not a regular file";
}

// True when the run never replaced the file (it was stopped first): it still has the
// content it had before. A backup of the same bytes that the run left is removed.
bool neverReplaced(const UndoEntry& e) {
  if (!(stampOfFile(e.fullName) == e.before)) return false;
  const std::string backup = backupName(e.fullName);
  struct ::stat st {};
  if (::lstat(backup.c_str(), &st) == 0 && S_ISREG(st.st_mode) && stampOfFile(backup) == e.before) {
    platform::removeFile(backup);
  }
  return true;
}

// Throws std::runtime_error with the reason when the file or its backup changed since the
// run (size, time or content), so that undo never overwrites a later edit.
void requireUnchanged(const UndoEntry& e) {
  std::int64_t mtimeNs = 0;
  if (!(stampOfFile(e.fullName, &mtimeNs) == e.after) || mtimeNs != e.afterMtimeNs) {
    throw std::runtime_error("changed since the run");
  }
  if (!(stampOfFile(backupName(e.fullName)) == e.before)) {
    throw std::runtime_error("the backup changed since the run");
  }
}

// The owner and group first (that clears setuid and setgid), then the mode.
void restoreOwnership(const UndoEntry& e) {
  if (::chown(e.fullName.c_str(), e.uid, e.gid) != 0) {
    [[maybe_unused]] int ignored = ::chown(e.fullName.c_str(), static_cast<uid_t>(-1), e.gid);
  }
  platform::setMode(e.fullName, e.mode);
}

// Undoes one entry; returns the reason it failed, or "" when it was undone.
std::string undoOne(const UndoEntry& e) {
  if (auto why = notRegular(e.fullName, "the file is missing"); !why.empty()) return why;
  try {
    if (e.stamped && neverReplaced(e)) return "";
    if (auto why = notRegular(backupName(e.fullName), "the backup is missing"); !why.empty()) {
      return why;
    }
    if (e.stamped) requireUnchanged(e);
    restoreFromBackup(e.fullName, e.stamped ? std::optional<std::uint32_t>(e.mode) : std::nullopt);
    if (e.stamped) restoreOwnership(e);
    return "";
  } catch (const platform::PlatformError& error) {
    return std::strerror(error.errorCode());
  } catch (const std::runtime_error& error) {
    return error.what();
  }
}

// The name journal entries use for a listed file: absolute, every link resolved.
std::string journalName(const std::string& listed) {
  try {
    return platform::realPath(platform::absoluteName(listed));
  } catch (const platform::PlatformError&) {
    return platform::absoluteName(listed);
  }
}

}  // namespace

UndoSummary undoLastRun(UndoJournal& journal, std::vector<search::ResultItem>& rows,
                        ModifyObserver& observer, const UndoOptions& options) {
  std::unordered_map<std::string, std::size_t> rowOf;
  for (std::size_t i = 0; i < rows.size(); ++i) rowOf.emplace(journalName(rows[i].fullName()), i);
  UndoSummary summary;
  std::size_t done = 0;
  for (const UndoEntry& entry : journal.entries) {
    const std::string& file = entry.fullName;
    observer.fileStarted(file);
    const std::string reason = undoOne(entry);
    const bool undone = reason.empty();
    if (!undone) observer.fileFailed(file, reason);
    summary.outcomes.push_back({file, undone, reason});
    ++done;
    if (auto it = rowOf.find(file); it != rowOf.end()) {
      search::ResultItem& row = rows[it->second];
      if (undone && options.refreshWith) refreshRow(row, *options.refreshWith);
      const char* word = undone ? kUndid : kFailedUndo;
      row.result = options.intervalHeadingShown ? formatIntervalCell(word, intervalOf(row)) : word;
      observer.rowChanged(it->second);
    }
    if (observer.poll()) {
      summary.stopped = true;
      break;
    }
  }
  journal.entries.erase(journal.entries.begin(),
                        journal.entries.begin() + static_cast<std::ptrdiff_t>(done));
  return summary;
}

}  // namespace kestrix::modify
