// The modify pass over the listed rows: each file is opened inside the searched folder,
// checked, transformed, staged with its backup, recorded in the journal ahead of the change
// and then replaced; the row records "Modified" or "Failed Modification".
#include "modify/ModifyPass.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <set>
#include <tuple>
#include <unordered_map>

#include "modify/Backup.h"
#include "modify/ContentHash.h"
#include "modify/FileBytes.h"
#include "modify/RegexEngine.h"
#include "modify/RowRefresh.h"
#include "modify/StreamedRewrite.h"
#include "modify/TargetFile.h"
#include "modify/TemporaryLog.h"
#include "platform/AtomicWrite.h"
#include "platform/ExtendedAttributes.h"
#include "platform/Platform.h"
#include "search/Cells.h"
#include "search/QueryParser.h"

namespace kestrix::modify {
namespace {

// The work on one file failed for `reason`.
struct Failed {
  std::string reason;
};

class Pass {
 public:
  Pass(const ModifyRequest& request, std::vector<search::ResultItem>& rows, UndoJournal& journal,
       ModifyObserver& observer, const PassOptions& options)
      : request_(request),
        rows_(rows),
        journal_(journal),
        observer_(observer),
        options_(options),
        poll_([&observer] { return observer.poll(); }),
        useIntervals_(intervalsInForce(request)),
        batch_(options.writeOps) {}

  PassSummary run(const std::vector<std::size_t>& indexes) {
    if (!options_.dryRun) startJournal();
    try {
      if (useIntervals_) shareIntervals(indexes);
      for (std::size_t index : indexes) {
        if (poll_.stopNow()) throw StopRequested{};
        if (index >= rows_.size() ||
            search::excludedByInterval(rows_[index], options_.intervalHeadingShown))
          continue;
        modifyRow(index);
        if (commitDue()) commitPending();
      }
      commitPending();
    } catch (const StopRequested&) {
      // A stop is answered at once: the group not yet made durable is dropped (its files
      // stay as they were and their rows unchanged), since flushing it could take seconds
      // on a busy disk. The groups committed before the stop stay modified.
      summary_.stopped = true;
      dropPending();
    }
    reportLeftTemporaries();  // every temporary of the run is renamed or given up by now
    resolveDuplicates();
    finishHistory();
    return summary_;
  }

 private:
  using Clock = std::chrono::steady_clock;
  // A directory entry: its folder (device, inode) and its name. A file is changed through
  // its entry (a temporary renamed over it), so two rows reaching one entry (a link to the
  // file, a folder reached twice) are one file. Two hard links are two entries: each is
  // rewritten once, from the original content, and the link between them ends, as with
  // any rewrite by rename.
  using FileId = std::tuple<dev_t, ino_t, std::string>;

  // What the run did to a row's file.
  enum class Outcome { Modified, Unchanged, Failed };

  // A file whose new content (and backup) is staged for the next commit.
  struct Pending {
    std::size_t index;
    UndoEntry entry;
    std::size_t fileEntry;
    std::optional<std::size_t> backupEntry;
    std::optional<search::ResultItem> refreshed;  // the row recounted from the new content
    platform::UniqueFd lock;  // the file as read, locked against other runs until committed
    // The file the lock is on (a hard link of it staged later shares the lock).
    dev_t lockedDevice = 0;
    ino_t lockedInode = 0;
    HistoryEntry history;  // its record in the undo history, but for `file` and the backup
  };

  // Only the latest run can be undone: the journal (and its file) start empty. The
  // temporaries a killed run left are removed first; this run's are recorded before
  // each is created.
  void startJournal() {
    journal_.clear();
    try {
      if (!options_.temporaryLog.empty()) {
        tempLog_ = std::make_unique<TemporaryLog>(options_.temporaryLog);
        batch_.setTempNameHook([this](const std::string& name, bool intent) {
          tempLog_->record(platform::joinPath(stagingFolder_, name), intent);
        });
      }
      if (!journal_.filePath.empty()) writer_ = std::make_unique<JournalWriter>(journal_.filePath);
    } catch (const platform::PlatformError& e) {
      throw ModifyError(kProgramCaption, std::string("Cannot write the undo journal: ") + e.what());
    }
    startHistory();
  }

  // A run with backups is recorded in the undo history, its header first.
  void startHistory() {
    if (options_.historyFolder.empty() || !request_.createBackups) return;
    RunHeader header = options_.historyHeader;
    header.timeSec = static_cast<std::int64_t>(platform::nowSec());
    if (header.folder.empty()) header.folder = options_.searchedFolder;
    if (!header.folder.empty()) header.folder = historyFolderName(header.folder);
    if (header.summary.empty()) header.summary = describeModification(request_);
    try {
      history_ =
          std::make_unique<HistoryRecorder>(options_.historyFolder, header, options_.writeOps);
    } catch (const platform::PlatformError& e) {
      throw ModifyError(kProgramCaption, std::string("Cannot write the undo history: ") + e.what());
    }
  }

  // Lets the run's record go (an empty one is removed) and applies the history's limits.
  void finishHistory() {
    if (!history_) return;
    if (history_->finish()) summary_.historyRun = history_->id();
    history_.reset();
    enforceHistoryLimits(options_.historyFolder, options_.historyLimits
                                                     ? *options_.historyLimits
                                                     : readHistoryLimits(options_.historyFolder));
  }

  // Temporaries that could not be removed (their folder became immutable or read-only)
  // stay in the log for the next run or undo, and the run names them.
  void reportLeftTemporaries() {
    if (!tempLog_) return;
    summary_.leftTemporaries = tempLog_->finish();
    tempLog_.reset();
    if (summary_.leftTemporaries.empty()) return;
    std::string text = kTemporariesLeft;
    for (const std::string& name : summary_.leftTemporaries) text += "\n" + name;
    observer_.warning({kProgramCaption, text});
  }

  // Rows that reach one file (by device and inode: a link and its target, a folder
  // reached twice) share one interval: the one of the row whose name is not a symbolic
  // link, so that a link listed first cannot widen the interval marked on its target.
  // Without such a row, the first row's.
  void shareIntervals(const std::vector<std::size_t>& indexes) {
    struct Owner {
      std::size_t index;
      bool viaLink;
    };
    std::map<std::pair<dev_t, ino_t>, Owner> owners;
    std::vector<std::pair<std::size_t, std::pair<dev_t, ino_t>>> reached;
    for (std::size_t index : indexes) {
      if (index >= rows_.size()) continue;
      const std::string listed = rows_[index].fullName();
      struct ::stat st {};
      struct ::stat own {};
      if (::stat(listed.c_str(), &st) != 0 || ::lstat(listed.c_str(), &own) != 0) continue;
      const std::pair key{st.st_dev, st.st_ino};
      const bool viaLink = S_ISLNK(own.st_mode);
      auto [it, fresh] = owners.emplace(key, Owner{index, viaLink});
      if (!fresh && it->second.viaLink && !viaLink) it->second = Owner{index, viaLink};
      reached.emplace_back(index, key);
    }
    for (const auto& [index, key] : reached) {
      const search::ResultItem& owner = rows_[owners.at(key).index];
      rows_[index].intervalFrom = owner.intervalFrom;
      rows_[index].intervalTo = owner.intervalTo;
    }
  }

  void modifyRow(std::size_t index) {
    observer_.fileStarted(rows_[index].fullName());
    try {
      prepareFile(index);
    } catch (const Failed& f) {
      fail(index, f.reason);
    }
  }

  // Opens, checks and transforms one file and stages its new content after its backup
  // (or finishes its row at once: a dry run, an unchanged file, a duplicate). Throws
  // Failed with the reason, StopRequested from the engines.
  void prepareFile(std::size_t index) {
    const std::string listed = rows_[index].fullName();
    try {
      TargetFile target = openTarget(rootFor(listed), listed);
      struct ::stat folder {};
      if (::fstat(target.folder.get(), &folder) != 0) throw Failed{std::strerror(errno)};
      const FileId id{folder.st_dev, folder.st_ino, target.name};
      if (auto [it, fresh] = firstRowOf_.emplace(id, index); !fresh) {
        duplicates_.emplace_back(index, it->second);  // changed once, through its first row
        return;
      }
      if (auto reason = protectionReason(target)) throw Failed{*reason};
      lockAgainstOtherRuns(target);
      refreshIfChanged(index, target.st);
      const std::optional<Interval> limit =
          useIntervals_ ? std::optional<Interval>(intervalOf(rows_[index])) : std::nullopt;
      if (stageStreamed(index, target, limit)) return;
      std::string bytes;
      platform::readAll(target.fd.get(), target.st.st_size, listed, bytes);
      if (options_.dryRun) {
        FileBytes view(bytes);
        std::optional<std::string> result = rewriteWith(view, listed, limit);
        observer_.preview(listed, bytes, result ? *result : bytes);
        succeed(index);
        return;
      }
      // An engine that needs a copy of the bytes (other line breaks) releases them once it
      // has it: the backup is staged from them first, so that they are on disk.
      Original original{stampOf(bytes), std::nullopt, {}, {}};
      if (history_) original.attributes = platform::readExtendedAttributes(target.fd.get(), listed);
      FileBytes file(std::move(bytes), [&](std::string_view b) {
        if (request_.createBackups) stageOriginal(target, listed, b, original);
      });
      std::optional<std::string> result;
      try {
        result = rewriteWith(file, listed, limit);
      } catch (...) {
        dropOriginal(original);
        throw;
      }
      if (!result || (!file.released() && *result == file.view())) {
        dropOriginal(original);
        unchanged(index);  // nothing changed: the file is not rewritten
      } else {
        stage(index, target, file, original, *result);
      }
    } catch (const RegexFileFailure& e) {
      reportOnce(e.message());
      throw Failed{e.message().text};
    } catch (const FileFailure& e) {
      throw Failed{e.what()};
    } catch (const platform::AtomicWriteError& e) {
      throw Failed{e.reason()};  // the original is intact
    } catch (const platform::PlatformError& e) {
      throw Failed{std::strerror(e.errorCode())};
    } catch (const std::bad_alloc&) {
      throw Failed{"not enough memory"};
    }
  }

  // The new bytes of a file: from the caller's rewrite (a reviewed preview's accepted
  // changes, or its recording), else from the request's engine.
  std::optional<std::string> rewriteWith(FileBytes& file, const std::string& listed,
                                         const std::optional<Interval>& limit) {
    if (options_.rewrite) return options_.rewrite(file, listed, limit, poll_);
    return rewriteFileBytes(request_, file, listed, limit, poll_);
  }

  // The rule for protected files, decided here and never by the file system (a rename
  // in a writable folder replaces a file the user may not write; as root, any file).
  std::optional<std::string> protectionReason(const TargetFile& target) const {
    const bool readOnly = (target.st.st_mode & S_IWUSR) == 0 || !userMayWrite(target);
    if (readOnly && !request_.createBackups) return "read-only file (backups are off)";
    if (readOnly && !request_.modifyReadOnly) return "read-only file";
    if (target.hidden && !request_.modifyHidden) return "hidden file";
    return std::nullopt;
  }

  // Whether the running user (its effective ids, groups and ACL entries) may write the
  // file in place; an immutable file or one on a read-only file system may not be written.
  static bool userMayWrite(const TargetFile& target) {
    if (::faccessat(target.folder.get(), target.name.c_str(), W_OK, AT_EACCESS) == 0) return true;
    return errno != EACCES && errno != EPERM && errno != EROFS;
  }

  // Takes the file for this run until its new content is renamed into place (the lock
  // lives as long as its descriptor; another name of a file this run already holds shares
  // the lock): a second run, the window's or a console's, fails it instead of racing this
  // one. Waiting could deadlock two runs that each hold a file of the other's group, so a
  // held file fails at once.
  void lockAgainstOtherRuns(const TargetFile& target) const {
    for (const Pending& p : pending_) {
      if (p.lockedDevice == target.st.st_dev && p.lockedInode == target.st.st_ino) return;
    }
    if (::flock(target.fd.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) throw Failed{kInUseByAnotherRun};
      if (errno != ENOLCK && errno != EINVAL && errno != ENOTSUP) {
        throw Failed{std::strerror(errno)};
      }
      return;  // a file system without locks: the check before the rename still holds
    }
    // The lock came after the open: a run that renamed over the name meanwhile has let go.
    struct ::stat now {};
    if (::fstatat(target.folder.get(), target.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
        now.st_dev != target.st.st_dev || now.st_ino != target.st.st_ino) {
      throw Failed{platform::AtomicWriteBatch::kChanged};
    }
  }

  // A file that changed on disk since the search is searched again, so that its row shows
  // what is being modified.
  void refreshIfChanged(std::size_t index, const struct ::stat& st) {
    search::ResultItem& row = rows_[index];
    if (row.sizeBytes == st.st_size && row.lastWriteSec == st.st_mtim.tv_sec) return;
    if (options_.refreshHits) refreshRow(row, refreshRequest());
  }

  // What the pass keeps of a file's bytes before the run: their stamp, and their backup
  // once it is staged.
  struct Original {
    ContentStamp stamp;
    std::optional<std::size_t> backup;
    std::string kept;  // the history's copy, when the user's own ".bak" was kept
    platform::ExtendedAttributes attributes;  // read only for the history
  };

  // Takes back what was kept of an original whose file will not be changed.
  void dropOriginal(const Original& original) {
    if (original.backup) batch_.discard(*original.backup);
    if (!original.kept.empty()) history_->dropOriginal(original.kept);
  }

  // Keeps the original `bytes` (nothing: the file's own, as it is on disk): as the staged
  // backup, or, when a ".bak" of the user's is in the way (not the backup of a run in the
  // history), in the history only.
  void stageOriginal(TargetFile& target, const std::string& listed,
                     std::optional<std::string_view> bytes, Original& original) {
    struct ::stat st {};
    const std::string backup = target.name + ".bak";
    if (history_ && ::fstatat(target.folder.get(), backup.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        !history_->isBackupOfARun(st)) {
      original.kept = history_->nextOriginalName();
      if (bytes) {
        history_->storeOriginal(original.kept, *bytes);
      } else {
        history_->storeOriginalCopy(original.kept, target.fd.get());
      }
      reportOnce({kProgramCaption, kUsersBackupKept});
      return;
    }
    original.backup =
        bytes ? stageBackup(target, listed, *bytes) : stageBackupOfFile(target, listed);
  }

  // The backup of a file as it is on disk: the file itself under the backup's name (a hard
  // link, nothing copied) when that is the backup a copy would be (its only name, writable
  // by its owner, neither setuid nor setgid), else a copy made by the kernel.
  std::size_t stageBackupOfFile(TargetFile& target, const std::string& listed) {
    const std::string backup = target.name + ".bak";
    const mode_t mode = target.st.st_mode;
    if (target.st.st_nlink == 1 && (mode & 06000) == 0 && (mode & S_IWUSR) != 0) {
      std::optional<std::size_t> linked;
      try {
        linked = batch_.stageLinkAt(target.folder.get(), backup, backupName(listed), target.name,
                                    target.st);
      } catch (const platform::AtomicWriteError&) {  // no hard links here: a copy
      }
      if (linked) {
        try {
          acceptOwnChangeTime(target);
        } catch (const Failed&) {
          batch_.discard(*linked);
          throw;
        }
        return *linked;
      }
    }
    stagingFolder_ = platform::folderOf(target.realName);
    return batch_.stageCopyAt(target.folder.get(), backup, backupName(listed), target.fd.get(),
                              backupOwnership(target));
  }

  // The run itself moved the file's change time (a link to it made or removed): what is
  // expected of the file at the rename moves along, unless its content changed meanwhile
  // (then it fails with "changed during the run").
  static void acceptOwnChangeTime(TargetFile& target) {
    struct ::stat now {};
    if (::fstat(target.fd.get(), &now) != 0 || now.st_size != target.st.st_size ||
        now.st_mtim.tv_sec != target.st.st_mtim.tv_sec ||
        now.st_mtim.tv_nsec != target.st.st_mtim.tv_nsec) {
      throw Failed{platform::AtomicWriteBatch::kChanged};
    }
    target.st = now;
  }

  // A backup is the file as it was, writable and never setuid or setgid (undo gives the
  // restored file its full mode back).
  static platform::FileOwnership backupOwnership(const TargetFile& target) {
    return {(target.st.st_mode & 07777 & ~06000u) | 0200, target.st.st_uid, target.st.st_gid, true,
            target.fd.get()};
  }

  // Stages the backup of `bytes`: the file as it was.
  std::size_t stageBackup(const TargetFile& target, const std::string& listed,
                          std::string_view bytes) {
    stagingFolder_ = platform::folderOf(target.realName);
    return batch_.stageAt(target.folder.get(), target.name + ".bak", backupName(listed), bytes,
                          backupOwnership(target));
  }

  // The new content keeps the file's mode, owner, group and extended attributes.
  static platform::FileOwnership fileOwnership(const TargetFile& target) {
    return {target.st.st_mode & 07777, target.st.st_uid, target.st.st_gid, true, target.fd.get()};
  }

  // Stages the new content after the backup (staged here unless `file` was released, when
  // it already is).
  void stage(std::size_t index, TargetFile& target, const FileBytes& file, Original original,
             const std::string& result) {
    if (pending_.empty()) groupStart_ = Clock::now();
    const std::string listed = rows_[index].fullName();
    stagingFolder_ = platform::folderOf(target.realName);
    if (request_.createBackups && !file.released())
      stageOriginal(target, listed, file.view(), original);
    // Whatever fails from here on (a write, or the memory) takes the staged backup back,
    // so that nothing is renamed without its journal entry.
    std::optional<std::size_t> fileEntry;
    try {
      const ContentStamp after = stampOf(result);
      pending_.reserve(pending_.size() + 1);
      fileEntry = batch_.stageAt(target.folder.get(), target.name, listed, result,
                                 fileOwnership(target), original.backup);
      addPending(index, target, original, *fileEntry, after, recounted(index, result, *fileEntry));
    } catch (...) {
      if (fileEntry) batch_.discard(*fileEntry);
      dropOriginal(original);
      throw;
    }
  }

  // A large file is rewritten piece by piece: its backup staged first from the file on
  // disk, then its new content streamed into its temporary. False when the file is to be
  // rewritten whole (small, UTF-16, an expression over the whole text, a dry run, a
  // reviewed preview's accepted changes).
  bool stageStreamed(std::size_t index, TargetFile& target, const std::optional<Interval>& limit) {
    if (options_.dryRun || options_.rewrite || target.st.st_size < options_.streamFromBytes ||
        !streamable(request_, fileHead(target))) {
      return false;
    }
    if (pending_.empty()) groupStart_ = Clock::now();
    const std::string listed = rows_[index].fullName();
    stagingFolder_ = platform::folderOf(target.realName);
    Original original{{}, std::nullopt, {}, {}};
    if (history_) original.attributes = platform::readExtendedAttributes(target.fd.get(), listed);
    if (request_.createBackups) stageOriginal(target, listed, std::nullopt, original);
    std::optional<std::size_t> fileEntry;
    try {
      StreamedRewrite rewrite;
      pending_.reserve(pending_.size() + 1);
      fileEntry = batch_.stageStreamAt(
          target.folder.get(), target.name, listed,
          [&](const ByteSink& sink) {
            rewrite = streamRewrite(request_, target.fd.get(), listed, limit, poll_, sink,
                                    options_.streamPieceBytes);
          },
          fileOwnership(target), original.backup);
      if (!rewrite.changed()) {
        batch_.discard(*fileEntry);
        dropOriginal(original);
        unchanged(index);  // nothing changed: the file is not rewritten
        return true;
      }
      original.stamp = rewrite.before;
      addPending(index, target, original, *fileEntry, rewrite.after,
                 recountedFromFile(index, *fileEntry));
    } catch (const NotStreamable&) {
      dropOriginal(original);
      acceptOwnChangeTime(target);  // a linked backup came and went
      return false;
    } catch (...) {
      if (fileEntry) batch_.discard(*fileEntry);
      dropOriginal(original);
      throw;
    }
    return true;
  }

  // The first bytes of the file (enough for its byte-order mark).
  static std::string fileHead(const TargetFile& target) {
    char head[4];
    const ssize_t got = ::pread(target.fd.get(), head, sizeof head, 0);
    return std::string(head, got > 0 ? static_cast<std::size_t>(got) : 0);
  }

  // Records a file whose new content is staged as `fileEntry`, with its undo entries,
  // until its group is committed.
  void addPending(std::size_t index, TargetFile& target, Original& original, std::size_t fileEntry,
                  const ContentStamp& after, std::optional<search::ResultItem> refreshed) {
    const std::uint32_t mode = target.st.st_mode & 07777;
    UndoEntry entry{target.realName, true, original.stamp, after, 0, mode, target.st.st_uid,
                    target.st.st_gid};
    batch_.expectUnchanged(fileEntry, target.st);  // another writer's edit is never undone
    entry.afterMtimeNs = batch_.staged(fileEntry).mtimeNs;
    HistoryEntry history;
    history.original = original.kept;
    history.accessNs = nsOf(target.st.st_atim);
    history.modificationNs = nsOf(target.st.st_mtim);
    history.extendedAttributes = std::move(original.attributes);
    pending_.push_back({index, std::move(entry), fileEntry, original.backup, std::move(refreshed),
                        std::move(target.fd), target.st.st_dev, target.st.st_ino,
                        std::move(history)});
  }

  // The row as a search of the new content would list it (refreshHits only). Counted
  // from the bytes in memory, which the committed file holds.
  std::optional<search::ResultItem> recounted(std::size_t index, const std::string& result,
                                              std::size_t fileEntry) {
    if (!options_.refreshHits) return std::nullopt;
    search::ResultItem row = rows_[index];
    refreshRowFrom(row, refreshRequest(), result, stagedSeconds(fileEntry));
    return row;
  }

  // The modification time of the staged content of `fileEntry`, in whole seconds.
  std::int64_t stagedSeconds(std::size_t fileEntry) const {
    const std::int64_t mtimeNs = batch_.staged(fileEntry).mtimeNs;
    return mtimeNs / 1000000000 - (mtimeNs % 1000000000 < 0 ? 1 : 0);
  }

  // The same for a streamed file, read from its staged temporary by a search.
  std::optional<search::ResultItem> recountedFromFile(std::size_t index, std::size_t fileEntry) {
    if (!options_.refreshHits) return std::nullopt;
    search::ResultItem row = rows_[index];
    refreshRowFromFile(row, refreshRequest(), stagingFolder_, batch_.temporaryName(fileEntry),
                       stagedSeconds(fileEntry));
    return row;
  }

  // The search request of the recounts, its query parsed once for the whole pass.
  const search::SearchRequest& refreshRequest() {
    if (!refreshRequest_) {
      refreshRequest_ = toSearchRequest(request_);
      try {
        search::buildTermTable(*refreshRequest_);
      } catch (const std::exception&) {  // each recount reports nothing and keeps its cells
      }
    }
    return *refreshRequest_;
  }

  const SearchRoot& rootFor(const std::string& listed) {
    const std::string folder = options_.searchedFolder.empty()
                                   ? platform::folderOf(platform::absoluteName(listed))
                                   : options_.searchedFolder;
    if (!root_ || rootFolder_ != folder) {
      rootFolder_ = folder;
      root_.reset();
      root_ = std::make_unique<SearchRoot>(openSearchRoot(folder));
    }
    return *root_;
  }

  bool commitDue() const {
    return !pending_.empty() &&
           (pending_.size() >= std::min(options_.groupFiles, groupFilesByDescriptors()) ||
            batch_.stagedBytes() > (64u << 20) || Clock::now() - groupStart_ > options_.groupTime);
  }

  // A pending file holds three descriptors (its lock, its folder for the new content and
  // for the backup): a group takes at most three eighths of the process's limit (128 files
  // under the usual 1024).
  static std::size_t groupFilesByDescriptors() {
    struct ::rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 256;
    return std::max<std::size_t>(1, static_cast<std::size_t>(limit.rlim_cur) / 8);
  }

  // The journal entries of the files about to be replaced are made durable first.
  void writeAhead(const std::vector<std::string>& reasons) {
    recordHistory(reasons);
    if (!writer_ || !request_.createBackups) return;
    std::vector<UndoEntry> entries;
    for (const Pending& p : pending_) {
      if (reasons[p.fileEntry].empty()) entries.push_back(p.entry);
    }
    try {
      writer_->append(entries);
    } catch (const platform::PlatformError& e) {
      throw std::runtime_error(std::string("the undo journal cannot be written: ") +
                               std::strerror(e.errorCode()));
    }
  }

  // The history's entries of the files about to be replaced, each with its copy of the
  // original (a link to its staged backup where the file system allows), made durable.
  void recordHistory(const std::vector<std::string>& reasons) {
    if (!history_) return;
    std::vector<HistoryEntry> entries;
    try {
      for (const Pending& p : pending_) {
        if (!reasons[p.fileEntry].empty()) continue;
        HistoryEntry h = p.history;
        h.file = p.entry;
        if (p.backupEntry) {
          h.original = history_->nextOriginalName();
          batch_.keepCopyOfStaged(*p.backupEntry, history_->folderFd(), h.original);
          const platform::StagedFile& backup = batch_.staged(*p.backupEntry);
          h.backupDevice = backup.device;
          h.backupInode = backup.inode;
          h.backupModificationNs = backup.mtimeNs;
        }
        entries.push_back(std::move(h));
      }
      history_->append(entries);
    } catch (const platform::PlatformError& e) {
      throw std::runtime_error(std::string("the undo history cannot be written: ") +
                               std::strerror(e.errorCode()));
    }
  }

  static std::int64_t nsOf(const struct ::timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
  }

  // Makes the staged files durable and gives their rows their results. The flush runs
  // on a worker thread while the observer keeps being polled, so that a window answers its
  // user (and Stop) during a slow disk flush; a stop there, or between the renames, leaves
  // the files not yet replaced as they were, with their rows unchanged.
  void commitPending() {
    if (batch_.size() == 0) return;
    // Room first: once the files are renamed, their entries must not fail to be kept.
    if (request_.createBackups) journal_.entries.reserve(journal_.entries.size() + pending_.size());
    const std::vector<std::string> errors =
        batch_.commit([this](const std::vector<std::string>& reasons) { writeAhead(reasons); },
                      [this] { return poll_.stopNow(); });
    bool stopped = false;
    for (Pending& p : pending_) {
      if (errors[p.fileEntry] == platform::AtomicWriteBatch::kStopped) {
        stopped = true;
        continue;
      }
      if (!errors[p.fileEntry].empty()) {
        fail(p.index, errors[p.fileEntry]);
        continue;
      }
      if (request_.createBackups) journal_.entries.push_back(std::move(p.entry));
      if (p.refreshed) rows_[p.index] = std::move(*p.refreshed);
      succeed(p.index);
    }
    pending_.clear();
    if (stopped) throw StopRequested{};
  }

  // Removes the staged temporaries of the current group; their targets stay untouched.
  void dropPending() {
    for (const Pending& p : pending_) {
      batch_.discard(p.fileEntry);
      if (p.backupEntry) batch_.discard(*p.backupEntry);
      if (!p.history.original.empty()) history_->dropOriginal(p.history.original);
    }
    pending_.clear();
  }

  // A row for a file already worked on in this run gets the first row's outcome and its
  // counts, sizes and times (the file's, as the first row read them). The summary counts
  // files, so the file is not counted again.
  void resolveDuplicates() {
    for (const auto& [index, first] : duplicates_) {
      auto it = outcome_.find(first);
      if (it == outcome_.end()) continue;
      copyFileCells(rows_[first], rows_[index]);
      switch (it->second) {
        case Outcome::Modified:
          finish(index, {search::RowResult::Modified, {}});
          break;
        case Outcome::Unchanged:
          finish(index, {search::RowResult::Found, {}});
          break;
        case Outcome::Failed:
          finish(index, rows_[first].outcome);
          break;
      }
    }
  }

  static void copyFileCells(const search::ResultItem& from, search::ResultItem& to) {
    to.hits = from.hits;
    to.size = from.size;
    to.sizeBytes = from.sizeBytes;
    to.time = from.time;
    to.lastWriteSec = from.lastWriteSec;
  }

  void succeed(std::size_t index) {
    ++summary_.modified;
    outcome_[index] = Outcome::Modified;
    finish(index, {search::RowResult::Modified, {}});
  }

  // The file stays as it was (nothing matched any more): the row goes back to "Found" with
  // its hits counted again, never "Modified".
  void unchanged(std::size_t index) {
    if (options_.dryRun) {
      succeed(index);
      return;
    }
    ++summary_.unchanged;
    outcome_[index] = Outcome::Unchanged;
    if (options_.refreshHits) refreshRow(rows_[index], refreshRequest());
    finish(index, {search::RowResult::Found, {}});
  }

  void fail(std::size_t index, const std::string& reason) {
    ++summary_.failed;
    outcome_[index] = Outcome::Failed;
    observer_.fileFailed(rows_[index].fullName(), reason);
    finish(index, {search::RowResult::FailedModification, reason});
  }

  void finish(std::size_t index, search::RowOutcome outcome) {
    rows_[index].outcome = std::move(outcome);
    observer_.rowChanged(index);
  }

  void reportOnce(const UserMessage& message) {
    if (reported_.insert(message.caption + '\n' + message.text).second) {
      observer_.warning(message);
    }
  }

  const ModifyRequest& request_;
  std::vector<search::ResultItem>& rows_;
  UndoJournal& journal_;
  ModifyObserver& observer_;
  const PassOptions& options_;
  StopPoll poll_;
  bool useIntervals_;
  platform::AtomicWriteBatch batch_;
  std::unique_ptr<JournalWriter> writer_;
  std::unique_ptr<TemporaryLog> tempLog_;
  std::unique_ptr<HistoryRecorder> history_;
  std::string stagingFolder_;  // the real name of the folder of the file being staged
  std::unique_ptr<SearchRoot> root_;
  std::optional<search::SearchRequest> refreshRequest_;
  std::string rootFolder_;
  std::vector<Pending> pending_;
  std::map<FileId, std::size_t> firstRowOf_;
  std::vector<std::pair<std::size_t, std::size_t>> duplicates_;
  std::unordered_map<std::size_t, Outcome> outcome_;
  Clock::time_point groupStart_;
  PassSummary summary_;
  std::set<std::string> reported_;
};

std::vector<std::size_t> rowsInScope(const ModifyRequest& request, std::size_t rowCount,
                                     const std::vector<std::size_t>& selected) {
  if (request.scope == ModifyScope::Selected) return selected;
  std::vector<std::size_t> all(rowCount);
  for (std::size_t i = 0; i < rowCount; ++i) all[i] = i;
  return all;
}

}  // namespace

PassSummary runModifyPass(const ModifyRequest& request, std::vector<search::ResultItem>& rows,
                          const std::vector<std::size_t>& selected, UndoJournal& journal,
                          ModifyObserver& observer, const PassOptions& options) {
  if (auto message = validateModifyRequest(request)) {
    throw ModifyError(message->caption, message->text);
  }
  if (request.scope == ModifyScope::Selected && selected.empty()) {
    throw ModifyError(kModifyCaption, kSelectSomeItems);
  }
  const auto indexes = rowsInScope(request, rows.size(), selected);
  if (!indexes.empty()) {
    if (auto message = checkReplacementLimits(request)) {
      throw ModifyError(message->caption, message->text);
    }
  }
  Pass pass(request, rows, journal, observer, options);
  return pass.run(indexes);
}

}  // namespace kestrix::modify
