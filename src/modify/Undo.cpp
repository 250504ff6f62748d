// Undo through the ".$" temporary, with attributes kept.
#include "modify/Undo.h"

#include <unordered_map>

#include "modify/Backup.h"
#include "modify/Interval.h"
#include "modify/RowRefresh.h"
#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/Find.h"

namespace kestrix::modify {
namespace {

// Puts F + ".bak" in place of F. Throws platform::PlatformError; on a failure the
// modified file is back under its name whenever the backup did not take its place.
void restoreFromBackup(const std::string& file) {
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

bool undoOne(const std::string& file) {
  // Both must be files: a folder in the backup's place would be renamed onto the file.
  const auto fileInfo = platform::tryStat(file);
  const auto backupInfo = platform::tryStat(backupName(file));
  if (!fileInfo || !backupInfo || fileInfo->isDirectory || backupInfo->isDirectory) return false;
  try {
    restoreFromBackup(file);
    return true;
  } catch (const platform::PlatformError&) {
    return false;
  }
}

}  // namespace

UndoSummary undoLastRun(UndoJournal& journal, std::vector<search::ResultItem>& rows,
                        ModifyObserver& observer, const UndoOptions& options) {
  std::unordered_map<std::string, std::size_t> rowOf;
  for (std::size_t i = 0; i < rows.size(); ++i) rowOf.emplace(realFile(rows[i].fullName()), i);
  UndoSummary summary;
  std::size_t done = 0;
  for (const std::string& file : journal.entries) {
    observer.fileStarted(file);
    const bool undone = undoOne(file);
    summary.outcomes.push_back({file, undone});
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
