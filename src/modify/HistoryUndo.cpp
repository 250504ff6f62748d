// Undo of a history run through staged temporaries: one flush per group, the undo log
// written ahead of the renames.
#include "modify/HistoryUndo.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "modify/Backup.h"
#include "modify/ContentHash.h"
#include "modify/HistoryFiles.h"
#include "modify/TemporaryLog.h"
#include "modify/UndoRows.h"
#include "platform/FileAt.h"
#include "platform/Platform.h"

namespace kestrix::modify {
namespace {

// The work on one file failed for `reason`.
struct Failed {
  std::string reason;
};

std::int64_t nsOf(const struct ::timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

class RunUndo {
 public:
  RunUndo(const std::string& runFolder, const RunRecord& record,
          std::vector<search::ResultItem>& rows, ModifyObserver& observer,
          const HistoryUndoOptions& options)
      : record_(record),
        observer_(observer),
        options_(options),
        marks_(rows, options.rows),
        batch_(options.rows.writeOps) {
    folder_ = platform::openFolder(runFolder);
    log_ = std::make_unique<DurableLog>(folder_.get(), kUndoLogFile,
                                        platform::joinPath(runFolder, kUndoLogFile),
                                        options.rows.writeOps);
    if (::lseek(log_->fd(), 0, SEEK_END) == 0) log_->append(kUndoLogLine);
    if (!options.temporaryLog.empty()) {
      tempLog_ = std::make_unique<TemporaryLog>(options.temporaryLog);
      batch_.setTempNameHook([this](const std::string& name, bool intent) {
        tempLog_->record(platform::joinPath(stagingFolder_, name), intent);
      });
    }
  }

  UndoSummary run() {
    for (const std::string& why : record_.damaged) {
      observer_.warning({kProgramCaption, "Undo of run " + record_.id + ": " + why});
    }
    for (std::size_t i = 0; i < record_.entries.size() && !summary_.stopped; ++i) {
      undoEntry(i);
      if (pending_.size() >= options_.groupFiles || batch_.stagedBytes() > (64u << 20)) commit();
      if (!summary_.stopped && observer_.poll()) summary_.stopped = true;
    }
    if (!summary_.stopped) commit();
    if (!summary_.stopped) log_->append(kUndoDoneLine);
    return summary_;
  }

 private:
  struct Pending {
    std::size_t entry;
    std::size_t staged;
    platform::UniqueFd folder;
    std::string name;
  };

  void undoEntry(std::size_t index) {
    const HistoryEntry& e = record_.entries[index];
    observer_.fileStarted(e.file.fullName);
    try {
      std::string name;
      platform::UniqueFd folder = platform::openFolderOf(e.file.fullName, name);
      if (alreadyOriginal(folder.get(), name, e)) {
        removeRunBackup(folder.get(), name, e);
        finish(index, "");
        return;
      }
      requireAsTheRunLeftIt(folder.get(), name, e);
      stage(index, std::move(folder), name, readOriginal(e));
    } catch (const Failed& f) {
      finish(index, f.reason);
    } catch (const platform::AtomicWriteError& error) {
      finish(index, error.reason());
    } catch (const platform::PlatformError& error) {
      finish(index, reasonOf(error.errorCode()));
    }
  }

  static std::string reasonOf(int err) {
    if (err == ELOOP || err == ENOTDIR) return "a link on its path changed since the run";
    return std::strerror(err);
  }

  // True when the file holds its original content already (restored by an undo that was
  // interrupted, or never replaced because the run stopped first).
  static bool alreadyOriginal(int folder, const std::string& name, const HistoryEntry& e) {
    struct ::stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      throw Failed{errno == ENOENT ? "the file is missing" : std::strerror(errno)};
    }
    if (!S_ISREG(st.st_mode)) throw Failed{"not a regular file"};
    return st.st_size == e.file.before.sizeBytes &&
           stampOfFileAt(folder, name, e.file.fullName) == e.file.before;
  }

  static void requireAsTheRunLeftIt(int folder, const std::string& name, const HistoryEntry& e) {
    std::int64_t mtimeNs = 0;
    if (!(stampOfFileAt(folder, name, e.file.fullName, &mtimeNs) == e.file.after) ||
        mtimeNs != e.file.afterMtimeNs) {
      throw Failed{"changed since the run"};
    }
  }

  // The history's copy of the original, checked against the stamp the run recorded.
  std::string readOriginal(const HistoryEntry& e) const {
    struct ::stat st {};
    std::string bytes;
    try {
      platform::UniqueFd fd = platform::openRegularAt(folder_.get(), e.original, e.original, st);
      platform::readAll(fd.get(), st.st_size, e.original, bytes);
    } catch (const platform::PlatformError& error) {
      throw Failed{"the undo history's copy of the original cannot be read (" +
                   std::string(std::strerror(error.errorCode())) + ")"};
    }
    if (!(stampOf(bytes) == e.file.before)) {
      throw Failed{"the undo history's copy of the original fails its check"};
    }
    return bytes;
  }

  void stage(std::size_t index, platform::UniqueFd folder, const std::string& name,
             const std::string& bytes) {
    const HistoryEntry& e = record_.entries[index];
    const platform::FileOwnership own{e.file.mode, e.file.uid, e.file.gid};
    const platform::RestoredFacts facts{e.extendedAttributes, e.accessNs, e.modificationNs};
    stagingFolder_ = platform::folderOf(e.file.fullName);
    const std::size_t staged =
        batch_.stageAt(folder.get(), name, e.file.fullName, bytes, own, std::nullopt, &facts);
    pending_.push_back({index, staged, std::move(folder), name});
  }

  // Makes the group durable, logs it ahead, renames.
  void commit() {
    if (pending_.empty()) return;
    const auto errors = batch_.commit(
        [this](const std::vector<std::string>& reasons) {
          std::string lines;
          for (const Pending& p : pending_) {
            if (reasons[p.staged].empty()) lines += "R " + record_.entries[p.entry].original + "\n";
          }
          log_->append(lines);
        },
        [this] { return observer_.poll(); });
    for (const Pending& p : pending_) {
      const std::string& error = errors[p.staged];
      if (error == platform::AtomicWriteBatch::kStopped) {
        summary_.stopped = true;
        continue;
      }
      if (error.empty()) removeRunBackup(p.folder.get(), p.name, record_.entries[p.entry]);
      finish(p.entry, error);
    }
    pending_.clear();
  }

  // The ".bak" beside the file goes when it is the one this run left (device, inode and
  // time unchanged): it has become the file again. Any other is the user's or a later run's.
  static void removeRunBackup(int folder, const std::string& name, const HistoryEntry& e) {
    if (e.backupInode == 0) return;
    struct ::stat st {};
    const std::string backup = backupName(name);
    if (::fstatat(folder, backup.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_dev == e.backupDevice && st.st_ino == e.backupInode &&
        nsOf(st.st_mtim) == e.backupModificationNs) {
      ::unlinkat(folder, backup.c_str(), 0);
    }
  }

  void finish(std::size_t index, const std::string& reason) {
    const std::string& file = record_.entries[index].file.fullName;
    const bool undone = reason.empty();
    if (!undone) observer_.fileFailed(file, reason);
    summary_.outcomes.push_back({file, undone, reason});
    marks_.mark(file, reason, observer_);
  }

  const RunRecord& record_;
  ModifyObserver& observer_;
  const HistoryUndoOptions& options_;
  UndoRows marks_;
  platform::UniqueFd folder_;
  std::unique_ptr<DurableLog> log_;
  std::unique_ptr<TemporaryLog> tempLog_;
  platform::AtomicWriteBatch batch_;
  std::string stagingFolder_;
  std::vector<Pending> pending_;
  UndoSummary summary_;
};

// Holds the run's record locked for the undo: a run still being made, or being undone by
// another process, is refused.
platform::UniqueFd lockRun(const std::string& runFolder, const std::string& id) {
  platform::UniqueFd fd(::open(platform::joinPath(runFolder, kRunRecordFile).c_str(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!fd) throw HistoryError("There is no run " + id + " in the undo history");
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    throw HistoryError("Run " + id + " is still being made or undone; try again when it is over");
  }
  return fd;
}

}  // namespace

UndoSummary undoRun(const std::string& historyFolder, const std::string& id,
                    std::vector<search::ResultItem>& rows, ModifyObserver& observer,
                    const HistoryUndoOptions& options) {
  const RunRecord record = loadRun(historyFolder, id);
  const std::string runFolder = platform::joinPath(historyFolder, id);
  const platform::UniqueFd lock = lockRun(runFolder, id);
  undoLogState(runFolder);  // a log of an unknown format is refused
  try {
    RunUndo undo(runFolder, record, rows, observer, options);
    return undo.run();
  } catch (const platform::PlatformError& e) {
    throw HistoryError(std::string("Cannot write the undo log: ") + e.what());
  }
}

}  // namespace kestrix::modify
