// The history's folder: run folders numbered in the order they were made ("000001", ...),
// each holding the record "Run", the copies of the originals ("f000001", ...) and, once the
// run was undone or an undo began, the log "Undo"; beside them the file "Limits".
#include "modify/History.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "modify/HistoryFiles.h"
#include "platform/FileAt.h"
#include "platform/FileCopy.h"
#include "platform/Platform.h"

namespace kestrix::modify {
namespace {

constexpr std::int64_t kRecordLimit = std::int64_t{1} << 30;
constexpr std::string_view kLimitsLine = "KSR-HISTORY-LIMITS 1\n";

bool isRunId(const std::string& name) {
  return name.size() == 6 && name.find_first_not_of("0123456789") == std::string::npos;
}

std::vector<std::string> runIds(const std::string& historyFolder) {
  std::vector<std::string> ids;
  try {
    for (const auto& e : platform::listDirectory(historyFolder)) {
      if (e.kind == platform::EntryKind::Directory && isRunId(e.name)) ids.push_back(e.name);
    }
  } catch (const platform::PlatformError&) {  // no history yet
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

// True when a run (its record held by a pass or an undo) is in use by another process.
bool inUse(int recordFd) {
  if (::flock(recordFd, LOCK_SH | LOCK_NB) != 0) return true;
  ::flock(recordFd, LOCK_UN);
  return false;
}

std::int64_t diskBytes(const std::string& runFolder) {
  std::int64_t total = 0;
  try {
    for (const auto& e : platform::listDirectory(runFolder)) {
      struct ::stat st {};
      if (::lstat(platform::joinPath(runFolder, e.name).c_str(), &st) == 0) {
        total += static_cast<std::int64_t>(st.st_blocks) * 512;
      }
    }
  } catch (const platform::PlatformError&) {
  }
  return total;
}

RunInfo infoOf(const std::string& historyFolder, const std::string& id) {
  RunInfo info;
  info.id = id;
  const std::string folder = platform::joinPath(historyFolder, id);
  info.bytes = diskBytes(folder);
  try {
    const platform::UniqueFd fd(::open(platform::joinPath(folder, kRunRecordFile).c_str(),
                                       O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd && inUse(fd.get())) {
      info.state = RunState::Running;
      return info;
    }
    const RunRecord record = loadRun(historyFolder, id);
    info.header = record.header;
    info.files = record.entries.size();
    info.state = undoLogState(folder);
  } catch (const std::exception& e) {
    info.state = RunState::Damaged;
    info.problem = e.what();
  }
  return info;
}

// Removes a run's folder unless it is in use; true when it is gone.
bool removeRun(const std::string& historyFolder, const std::string& id) {
  const std::string folder = platform::joinPath(historyFolder, id);
  const platform::UniqueFd fd(::open(platform::joinPath(folder, kRunRecordFile).c_str(),
                                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (fd && ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;
  std::error_code ec;
  // The record goes first: a run half removed is never taken for an undoable one.
  std::filesystem::remove(platform::joinPath(folder, kRunRecordFile), ec);
  std::filesystem::remove_all(folder, ec);
  return !ec;
}

std::string nextRunId(const std::string& historyFolder) {
  const auto ids = runIds(historyFolder);
  const long last = ids.empty() ? 0 : std::stol(ids.back());
  char id[16];
  std::snprintf(id, sizeof id, "%06ld", (last + 1) % 1000000);
  return id;
}

}  // namespace

std::string historyFolderName(const std::string& folder) {
  try {
    return platform::realPath(platform::absoluteName(folder));
  } catch (const platform::PlatformError&) {
    return platform::absoluteName(folder);
  }
}

std::string historyFolderIn(const std::string& dataFolder) {
  return platform::joinPath(dataFolder, "History");
}

RunRecord loadRun(const std::string& historyFolder, const std::string& id) {
  if (!isRunId(id)) throw HistoryError("There is no run " + id + " in the undo history");
  const std::string path =
      platform::joinPath(platform::joinPath(historyFolder, id), kRunRecordFile);
  std::string bytes;
  try {
    bytes = platform::readRegularFile(path, kRecordLimit);
  } catch (const platform::PlatformError& e) {
    if (e.errorCode() == ENOENT)
      throw HistoryError("There is no run " + id + " in the undo history");
    throw HistoryError("The undo history's run " + id +
                       " cannot be read: " + std::strerror(e.errorCode()));
  }
  return parseRunRecord(bytes, id);
}

std::vector<RunInfo> listRuns(const std::string& historyFolder) {
  std::vector<RunInfo> runs;
  for (const std::string& id : runIds(historyFolder)) runs.push_back(infoOf(historyFolder, id));
  return runs;
}

std::optional<std::string> latestUndoableRun(const std::string& historyFolder,
                                             const std::optional<std::string>& folder) {
  const auto runs = listRuns(historyFolder);
  const std::optional<std::string> wanted =
      folder ? std::optional<std::string>(historyFolderName(*folder)) : std::nullopt;
  for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
    const bool undoable = it->state == RunState::Done || it->state == RunState::UndoInterrupted;
    if (undoable && it->files > 0 && (!wanted || it->header.folder == *wanted)) return it->id;
  }
  return std::nullopt;
}

std::size_t countFolderRuns(const std::string& historyFolder, const std::string& folder) {
  const std::string name = historyFolderName(folder);
  std::size_t runs = 0;
  for (const RunInfo& run : listRuns(historyFolder))
    runs += run.header.folder == name && run.state != RunState::Running;
  return runs;
}

std::size_t clearHistory(const std::string& historyFolder,
                         const std::optional<std::string>& folder) {
  std::size_t removed = 0;
  const std::optional<std::string> wanted =
      folder ? std::optional<std::string>(historyFolderName(*folder)) : std::nullopt;
  for (const RunInfo& run : listRuns(historyFolder)) {
    if (run.state == RunState::Running) continue;
    if (wanted && (run.state == RunState::Damaged || run.header.folder != *wanted)) continue;
    if (removeRun(historyFolder, run.id)) ++removed;
  }
  return removed;
}

HistoryLimits readHistoryLimits(const std::string& historyFolder) {
  HistoryLimits limits;
  try {
    const std::string text =
        platform::readRegularFile(platform::joinPath(historyFolder, "Limits"), 4096);
    if (text.rfind(kLimitsLine, 0) != 0) return limits;
    long long bytes = 0;
    unsigned long runs = 0;
    if (std::sscanf(text.c_str() + kLimitsLine.size(), "max-bytes %lld\nmax-runs %lu", &bytes,
                    &runs) == 2 &&
        bytes > 0 && runs > 0) {
      limits.maxBytes = bytes;
      limits.maxRuns = runs;
    }
  } catch (const platform::PlatformError&) {  // defaults
  }
  return limits;
}

void writeHistoryLimits(const std::string& historyFolder, const HistoryLimits& limits) {
  std::error_code ec;
  std::filesystem::create_directories(historyFolder, ec);
  platform::writeFileAtomically(platform::joinPath(historyFolder, "Limits"),
                                std::string(kLimitsLine) + "max-bytes " +
                                    std::to_string(limits.maxBytes) + "\nmax-runs " +
                                    std::to_string(limits.maxRuns) + "\n");
}

std::size_t enforceHistoryLimits(const std::string& historyFolder, const HistoryLimits& limits) {
  const auto runs = listRuns(historyFolder);
  std::int64_t total = 0;
  for (const auto& run : runs) total += run.bytes;
  std::size_t left = runs.size();
  std::size_t dropped = 0;
  for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
    if (left <= limits.maxRuns && total <= limits.maxBytes) break;
    if (runs[i].state == RunState::Running || !removeRun(historyFolder, runs[i].id)) continue;
    total -= runs[i].bytes;
    --left;
    ++dropped;
  }
  return dropped;
}

HistoryRecorder::HistoryRecorder(const std::string& historyFolder, const RunHeader& header,
                                 platform::AtomicWriteOps ops)
    : historyFolder_(historyFolder), ops_(std::move(ops)) {
  std::error_code ec;
  std::filesystem::create_directories(historyFolder, ec);
  if (ec) {
    throw platform::PlatformError("Cannot create " + historyFolder + ": " + ec.message(),
                                  ec.value());
  }
  ::chmod(historyFolder.c_str(), 0700);
  for (int attempt = 0;; ++attempt) {
    id_ = nextRunId(historyFolder);
    const std::string folder = platform::joinPath(historyFolder, id_);
    if (::mkdir(folder.c_str(), 0700) == 0) break;
    if (errno != EEXIST || attempt > 100) {
      throw platform::PlatformError("Cannot create " + folder + ": " + std::strerror(errno), errno);
    }
  }
  folder_ = platform::openFolder(platform::joinPath(historyFolder, id_));
  record_ = std::make_unique<DurableLog>(folder_.get(), kRunRecordFile,
                                         platform::joinPath(historyFolder, id_), ops_);
  ::flock(record_->fd(), LOCK_EX);
  record_->append(encodeRunHeader(header));
  const platform::UniqueFd parent = platform::openFolder(historyFolder);
  ::fsync(parent.get());
}

HistoryRecorder::~HistoryRecorder() = default;

std::string HistoryRecorder::nextOriginalName() {
  char name[16];
  std::snprintf(name, sizeof name, "f%06zu", ++originals_);
  return name;
}

void HistoryRecorder::storeOriginal(const std::string& name, std::string_view bytes) {
  writeOriginal(name, [&](int fd) {
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t put = ops_.write ? ops_.write(fd, bytes.data() + done, bytes.size() - done)
                                     : ::write(fd, bytes.data() + done, bytes.size() - done);
      if (put > 0) done += static_cast<std::size_t>(put);
      if (put < 0 && errno != EINTR) return errno;
      if (put == 0) return EIO;
    }
    return 0;
  });
}

void HistoryRecorder::storeOriginalCopy(const std::string& name, int fromFd) {
  writeOriginal(name, [&](int fd) {
    try {
      platform::copyFileContent(fromFd, fd, ops_, name);
      return 0;
    } catch (const platform::AtomicWriteError&) {
      return errno != 0 ? errno : EIO;
    }
  });
}

// Creates the copy `name`, fills it with `fill` (which returns 0 or the error), and makes
// it durable; a copy that fails is removed. Throws PlatformError.
void HistoryRecorder::writeOriginal(const std::string& name, const std::function<int(int)>& fill) {
  const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  platform::UniqueFd fd(ops_.open ? ops_.open(folder_.get(), name.c_str(), flags, 0600)
                                  : ::openat(folder_.get(), name.c_str(), flags, 0600));
  int err = fd ? fill(fd.get()) : errno;
  if (err == 0 && (ops_.fsync ? ops_.fsync(fd.get()) : ::fsync(fd.get())) != 0) err = errno;
  if (err != 0) {
    if (fd) ::unlinkat(folder_.get(), name.c_str(), 0);
    throw platform::PlatformError(
        "Cannot keep the original in the undo history: " + std::string(std::strerror(err)), err);
  }
}

void HistoryRecorder::dropOriginal(const std::string& name) {
  ::unlinkat(folder_.get(), name.c_str(), 0);
}

bool HistoryRecorder::finish() {
  if (entries_ > 0) return true;
  record_.reset();
  std::error_code ec;
  std::filesystem::remove_all(platform::joinPath(historyFolder_, id_), ec);
  return false;
}

bool HistoryRecorder::isBackupOfARun(const struct ::stat& st) {
  if (!backups_) {
    backups_.emplace();
    for (const std::string& id : runIds(historyFolder_)) {
      if (id == id_) continue;
      try {
        for (const HistoryEntry& e : loadRun(historyFolder_, id).entries) {
          if (e.backupInode != 0) {
            backups_->emplace(e.backupDevice, e.backupInode, e.backupModificationNs);
          }
        }
      } catch (const HistoryError&) {  // a damaged run knows of no backup
      }
    }
  }
  const std::int64_t mtimeNs =
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return backups_->count({st.st_dev, st.st_ino, mtimeNs}) > 0;
}

void HistoryRecorder::append(const std::vector<HistoryEntry>& entries) {
  if (entries.empty()) return;
  std::string bytes;
  for (const auto& e : entries) bytes += encodeRunEntry(e);
  if ((ops_.fsync ? ops_.fsync(folder_.get()) : ::fsync(folder_.get())) != 0) {
    throw platform::PlatformError(
        "Cannot write the undo history: " + std::string(std::strerror(errno)), errno);
  }
  record_->append(bytes);
  entries_ += entries.size();
}

}  // namespace kestrix::modify

namespace kestrix::modify {

RunState undoLogState(const std::string& runFolder) {
  std::string log;
  try {
    log = platform::readRegularFile(platform::joinPath(runFolder, kUndoLogFile), kRecordLimit);
  } catch (const platform::PlatformError& e) {
    if (e.errorCode() == ENOENT) return RunState::Done;
    throw HistoryError("The undo log of " + runFolder +
                       " cannot be read: " + std::strerror(e.errorCode()));
  }
  if (log.empty()) return RunState::Done;  // its first line could not be written
  if (log.rfind(kUndoLogLine, 0) != 0) {
    throw HistoryError("The undo log of " + runFolder +
                       " has an unknown format or a damaged header");
  }
  const bool done =
      log.size() >= kUndoDoneLine.size() &&
      log.compare(log.size() - kUndoDoneLine.size(), kUndoDoneLine.size(), kUndoDoneLine) == 0;
  return done ? RunState::Undone : RunState::UndoInterrupted;
}

}  // namespace kestrix::modify
