// The undo history in the data folder, shared by the window and `ksr`: one record per run
// made with backups (what was run where, and per file its stamps, mode, owner, group,
// times and extended attributes, written ahead of each change), the history's own copy of
// each original, and the undo log of each run that was undone. Older runs stay undoable
// after a later run has overwritten the ".bak" files.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "modify/DurableLog.h"
#include "modify/UndoJournal.h"
#include "platform/AtomicWrite.h"
#include "platform/ExtendedAttributes.h"
#include "platform/UniqueFd.h"

namespace kestrix::modify {

// A stored history file that cannot be used: unknown format version, damaged header, a run
// that does not exist or is in use. what() is the message shown to the user.
class HistoryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The history's folder inside the data folder.
std::string historyFolderIn(const std::string& dataFolder);

struct ModifyRequest;

// A one-line summary of what the request changes ("Replace \"a\" with \"b\"", "Delete
// \"a\"", "Insert \"x\" before \"a\"", ...; lines of a block joined by "|").
std::string describeModification(const ModifyRequest& request);

// The name runs are recorded and looked up under for a searched folder: absolute, every
// link resolved (as it is when it cannot be resolved).
std::string historyFolderName(const std::string& folder);

// What a run was, for the list of runs.
struct RunHeader {
  std::int64_t timeSec = 0;  // when it started, seconds since the epoch
  std::string origin;        // "window", "kestrix -com", "ksr replace", "ksr batch"
  std::string folder;        // the searched folder
  std::string summary;       // what was replaced by what
  bool operator==(const RunHeader&) const = default;
};

// One file of a run.
struct HistoryEntry {
  UndoEntry file;             // name, stamps before and after, mode, owner and group before the run
  std::string original;       // the name of the history's copy of the original in the run's folder
  std::int64_t accessNs = 0;  // the file's times before the run
  std::int64_t modificationNs = 0;
  platform::ExtendedAttributes extendedAttributes;
  // The ".bak" the run left beside the file (device, inode, modification time); all zero when
  // the user's own ".bak" was kept and the original lives in the history only.
  std::uint64_t backupDevice = 0;
  std::uint64_t backupInode = 0;
  std::int64_t backupModificationNs = 0;
  bool operator==(const HistoryEntry&) const = default;
};

// A run record as read back.
struct RunRecord {
  std::string id;
  RunHeader header;
  std::vector<HistoryEntry> entries;
  std::vector<std::string> damaged;  // why entries were skipped (failed their check)
};

// The run record's bytes: the format line, the header, then one entry per changed file
// (format beside the reader in HistoryFormat.cpp).
std::string encodeRunHeader(const RunHeader& header);
std::string encodeRunEntry(const HistoryEntry& entry);
// Reads a run record. An entry cut short at the end (a crash while it was written) is
// ignored; an entry that fails its check is skipped with its reason in `damaged`. Throws
// HistoryError for an unknown format version or a damaged format line or header.
RunRecord parseRunRecord(std::string_view bytes, const std::string& id);

// The state of a run in the list.
enum class RunState { Done, Undone, UndoInterrupted, Running, Damaged };

struct RunInfo {
  std::string id;
  RunHeader header;
  std::size_t files = 0;
  RunState state = RunState::Done;
  std::int64_t bytes = 0;  // disk space of the run's folder
  std::string problem;     // for Damaged: why it cannot be read
};

// Every run of the history, oldest first. Throws nothing: an unreadable run is listed as
// Damaged with its reason.
std::vector<RunInfo> listRuns(const std::string& historyFolder);

// The id of the latest run not yet undone (an interrupted undo counts as not undone), among
// the runs whose searched folder is `folder` when given. Nothing when there is none.
std::optional<std::string> latestUndoableRun(const std::string& historyFolder,
                                             const std::optional<std::string>& folder = {});

// Reads the record of run `id`. Throws HistoryError.
RunRecord loadRun(const std::string& historyFolder, const std::string& id);

// How many runs searched in `folder` the history holds, a run in progress not counted (those
// clearHistory would remove).
std::size_t countFolderRuns(const std::string& historyFolder, const std::string& folder);

// Removes the runs (their records and copies of originals), only those searched in
// `folder` when given; a run in progress is kept. Returns how many were removed.
std::size_t clearHistory(const std::string& historyFolder,
                         const std::optional<std::string>& folder = {});

// The size cap of the history: the oldest runs are dropped first until the copies of the
// originals take at most `maxBytes` and at most `maxRuns` runs are left. The newest run is
// always kept, whatever its size.
struct HistoryLimits {
  std::int64_t maxBytes = std::int64_t{1} << 30;  // Default: 1 GiB
  std::size_t maxRuns = 50;                       // Default: 50
};
// The limits stored in the history folder (the file "Limits"); defaults when there is none
// or it cannot be read.
HistoryLimits readHistoryLimits(const std::string& historyFolder);
// Stores the limits. Throws platform::AtomicWriteError.
void writeHistoryLimits(const std::string& historyFolder, const HistoryLimits& limits);
// Drops the oldest runs beyond the limits (runs in progress are never dropped). Returns
// how many were dropped.
std::size_t enforceHistoryLimits(const std::string& historyFolder, const HistoryLimits& limits);

// The record of a running pass: a new run folder with its header, entries appended and
// made durable before the files they describe are replaced, and the copies of the
// originals beside them. The run is locked while the recorder lives, so that it is neither
// undone nor dropped half written.
class HistoryRecorder {
 public:
  // Creates the run's folder in `historyFolder` (made when missing) and writes its header.
  // Throws platform::PlatformError.
  HistoryRecorder(const std::string& historyFolder, const RunHeader& header,
                  platform::AtomicWriteOps ops = {});
  ~HistoryRecorder();
  HistoryRecorder(const HistoryRecorder&) = delete;
  HistoryRecorder& operator=(const HistoryRecorder&) = delete;

  const std::string& id() const { return id_; }
  // The run's folder, open (copies of originals are made there).
  int folderFd() const { return folder_.get(); }
  // A fresh name for the next copy of an original.
  std::string nextOriginalName();
  // Writes `bytes` as the new copy `name` of an original, durably. Throws PlatformError.
  void storeOriginal(const std::string& name, std::string_view bytes);
  // The same with the content of the open file `fromFd` (copied by the kernel where it can).
  void storeOriginalCopy(const std::string& name, int fromFd);
  // Removes the copy `name` (its file was not changed after all).
  void dropOriginal(const std::string& name);
  // Ends the record: a run that recorded no file is removed. True when it recorded some.
  bool finish();
  // True when the existing ".bak" `st` is the backup a run of the history left (so a new
  // run may replace it); false for a file of the user's. Reads the records once.
  bool isBackupOfARun(const struct ::stat& st);
  // Makes the entries durable in the record (and the names of the copies in the folder).
  // Throws platform::PlatformError.
  void append(const std::vector<HistoryEntry>& entries);

 private:
  void writeOriginal(const std::string& name, const std::function<int(int fd)>& fill);

  std::string historyFolder_;
  std::string id_;
  platform::AtomicWriteOps ops_;
  platform::UniqueFd folder_;
  std::unique_ptr<DurableLog> record_;
  std::size_t originals_ = 0;
  std::size_t entries_ = 0;
  std::optional<std::set<std::tuple<std::uint64_t, std::uint64_t, std::int64_t>>> backups_;
};

}  // namespace kestrix::modify
