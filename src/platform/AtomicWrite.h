// Safe replacement of a file's content: the new bytes go to a temporary file in the same
// folder, are flushed to disk, and the temporary is renamed over the original. Everything
// happens relative to an open folder descriptor, so a folder of the path swapped for a link
// meanwhile cannot redirect the write.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ExtendedAttributes.h"
#include "platform/UniqueFd.h"

namespace kestrix::platform {

// A failed safe write. what() names the file and the system's reason (reason() alone, e.g.
// "No space left on device"). The original file is untouched when this is thrown.
class AtomicWriteError : public std::runtime_error {
 public:
  AtomicWriteError(const std::string& message, std::string reason)
      : std::runtime_error(message), reason_(std::move(reason)) {}
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// The system calls the safe writes go through: the seam where tests inject faults. Every
// member left empty uses the real call (write, fsync, renameat, openat).
struct AtomicWriteOps {
  std::function<ssize_t(int fd, const void* data, std::size_t size)> write;
  std::function<int(int fd)> fsync;
  std::function<int(int dirFd, const char* from, const char* to)> rename;
  std::function<int(int dirFd, const char* name, int flags, mode_t mode)> open;
};

// Who owns a replacement and which permission bits it gets (setuid, setgid and sticky
// included). The owner is only set when the process may set it (as root always).
struct FileOwnership {
  std::uint32_t mode = 0644;
  std::optional<std::uint32_t> uid;
  std::optional<std::uint32_t> gid;
  // The replacement fails ("its owner cannot be kept", "its group cannot be kept") rather
  // than belong to someone else than `uid` and `gid` (a user cannot give a file away, nor
  // to a group of which it is not a member). Off: what cannot be set is left as created.
  bool ownerRequired = false;
  // An open file whose extended attributes (ACLs, user.* values, security labels where
  // permitted) the replacement gets; one that cannot be set fails the replacement. -1: none.
  int attributesFrom = -1;
};

// What a file put back by undo gets besides its ownership: its extended attributes and its
// access and modification times (ns since the epoch).
struct RestoredFacts {
  ExtendedAttributes extendedAttributes;
  std::optional<std::int64_t> accessNs;
  std::optional<std::int64_t> modificationNs;
};

// Replaces the content of `path` by `bytes`. The new file keeps the permission bits (and,
// when allowed, the owner) of the old one; a file that does not exist yet is created with
// mode 0666 minus the umask. A symbolic link is followed: its target is rewritten and the
// link stays a link.
// Throws AtomicWriteError on any failure; the original is then untouched and no temporary
// file is left behind.
void writeFileAtomically(const std::string& path, std::string_view bytes,
                         const AtomicWriteOps& ops = {});

// What a staged replacement will look like once renamed into place.
struct StagedFile {
  std::int64_t sizeBytes = 0;
  std::int64_t mtimeNs = 0;  // modification time of the new content, ns since the epoch
  std::uint64_t device = 0;  // the file that will be renamed into place
  std::uint64_t inode = 0;
};

// Many safe replacements made durable together: stage() writes each new content to a
// temporary beside the target; commit() flushes all temporaries with one file-system flush
// (instead of one disk flush per file), lets the caller record them durably, and then
// renames each over its target in staging order. Every target ends either fully replaced
// or untouched. Temporaries that are never committed are removed when the batch is
// destroyed.
class AtomicWriteBatch {
 public:
  explicit AtomicWriteBatch(AtomicWriteOps ops = {});
  ~AtomicWriteBatch();
  AtomicWriteBatch(const AtomicWriteBatch&) = delete;
  AtomicWriteBatch& operator=(const AtomicWriteBatch&) = delete;

  // Writes `bytes` to a temporary for `path` (a symbolic link's target) and returns its
  // index. The replacement gets the permission bits `mode`, or those of the old file (0666
  // minus the umask for a new file). With `after`, the replacement is only made when the
  // staged entry `after` was replaced (a backup before its file). Throws AtomicWriteError;
  // nothing is staged then.
  std::size_t stage(const std::string& path, std::string_view bytes,
                    std::optional<std::uint32_t> mode = std::nullopt,
                    std::optional<std::size_t> after = std::nullopt);

  // The same for the entry `name` of the open folder `dirFd` (the descriptor is duplicated;
  // the caller keeps its own). `displayName` names the file in messages. With `restored`,
  // the replacement also gets those extended attributes and times.
  std::size_t stageAt(int dirFd, const std::string& name, const std::string& displayName,
                      std::string_view bytes, const FileOwnership& ownership,
                      std::optional<std::size_t> after = std::nullopt,
                      const RestoredFacts* restored = nullptr);

  // The same with the content written piece by piece: `produce` is called once with a sink
  // that appends each piece it is given to the temporary (through the write seam), so that
  // a large content never needs to be in memory whole. What `produce` throws goes on, and
  // nothing is staged then (the temporary is removed).
  using ByteSink = std::function<void(std::string_view bytes)>;
  using Producer = std::function<void(const ByteSink& sink)>;
  std::size_t stageStreamAt(int dirFd, const std::string& name, const std::string& displayName,
                            const Producer& produce, const FileOwnership& ownership,
                            std::optional<std::size_t> after = std::nullopt);

  // The same with a copy of the open file `fromFd` as the content (see copyFileContent).
  std::size_t stageCopyAt(int dirFd, const std::string& name, const std::string& displayName,
                          int fromFd, const FileOwnership& ownership,
                          std::optional<std::size_t> after = std::nullopt);

  // Stages the file `fromName` of `dirFd` itself (a hard link, no byte written) to be
  // renamed over `name` there: only when it is still the file `expected` describes (device
  // and inode). The link moves the file's change time; the batch's own checks and
  // keepCopyOfStaged accept that. Throws AtomicWriteError (with EXDEV, EPERM, EMLINK or
  // ENOTSUP where the file system has no such links); nothing is staged then.
  std::size_t stageLinkAt(int dirFd, const std::string& name, const std::string& displayName,
                          const std::string& fromName, const struct ::stat& expected);

  // The name of the staged temporary of `index` in its folder (a search may read it before
  // it is renamed).
  const std::string& temporaryName(std::size_t index) const { return entries_[index].temp; }

  // Called with the name of each temporary just before it is created (`intent` true), and
  // with `intent` false when that name turned out to be another file's and was not used:
  // a caller can record its temporaries ahead, so that those a kill leaves behind can be
  // told from anyone else's files and removed later. Throwing from it stages nothing.
  using TempNameHook = std::function<void(const std::string& name, bool intent)>;
  void setTempNameHook(TempNameHook hook) { tempNameHook_ = std::move(hook); }

  // Makes the replacement of the staged entry `index` depend on its target still being the
  // file `st` describes (taken when it was opened for reading): same device, inode, size,
  // modification and change time to the nanosecond. Checked before the journal is called
  // and again just before the rename (and before its backup's rename); a target that was
  // edited, replaced or deleted meanwhile is left alone with the reason kChanged, and its
  // staged backup is dropped with it.
  static constexpr const char* kChanged = "changed during the run";
  void expectUnchanged(std::size_t index, const struct ::stat& st);

  // The stamp of the staged entry `index`.
  const StagedFile& staged(std::size_t index) const { return entries_[index].stamp; }

  // Makes a durable copy of the staged temporary of `index` as the new file `toName` in the
  // folder `toDirFd`: a hard link to it where the file system allows one (the same bytes,
  // never written twice), else a copy flushed to disk. Returns true for a link. Throws
  // PlatformError; `toName` is not left half written then.
  bool keepCopyOfStaged(std::size_t index, int toDirFd, const std::string& toName);

  // Drops the staged entry `index`: its temporary is removed, its target left alone.
  void discard(std::size_t index);

  // Flushes every staged entry, then calls `beforeRenames` with the reasons so far (empty
  // for the entries that will be renamed; the undo journal is written there; when it
  // throws, nothing is renamed and every entry fails with its what()), then renames.
  // Returns one reason per entry in staging order: empty when the target was replaced.
  // The batch is empty afterwards.
  // With `stopPoll`, the flush and `beforeRenames` run on a worker thread while the calling
  // thread calls `stopPoll` every few milliseconds (a window keeps answering its user
  // through a slow disk flush), and `stopPoll` is called again before each target is
  // renamed. Once it returns true nothing more is renamed: when that happens during the
  // flush, `beforeRenames` is not called if it has not begun yet. A target left alone by a
  // stop gets the reason kStopped (its staged backup, if any, is not renamed either).
  using BeforeRenames = std::function<void(const std::vector<std::string>& reasons)>;
  using StopPollFunction = std::function<bool()>;
  static constexpr const char* kStopped = "stopped before it was replaced";
  std::vector<std::string> commit(const BeforeRenames& beforeRenames = {},
                                  const StopPollFunction& stopPoll = {});

  std::size_t size() const { return entries_.size(); }
  // Bytes staged since the last commit.
  std::size_t stagedBytes() const { return stagedBytes_; }

 private:
  struct Entry {
    int dirFd = -1;
    std::string name;
    std::string temp;
    std::string displayName;
    std::optional<std::size_t> after;
    StagedFile stamp;
    std::optional<struct ::stat> expected;  // the target as it was read
    std::string error;
    bool done = false;    // renamed, or its temporary removed
    bool linked = false;  // the temporary is another name of an existing file
  };
  void flushAll();
  bool record(const BeforeRenames& beforeRenames);
  bool makeDurable(const BeforeRenames& beforeRenames, const StopPollFunction& stopPoll,
                   bool& stopped);
  void renameAll(const StopPollFunction& stopPoll, bool& stopped);
  void release(Entry& entry);
  void checkUnchanged(std::size_t index);
  void acceptOwnChange(std::size_t from, std::uint64_t device, std::uint64_t inode);
  // Gives a written temporary its ownership and makes it a new entry (AtomicWrite.cpp).
  template <class Temporary>
  std::size_t keepTemporary(UniqueFd& dir, Temporary& temp, const std::string& name,
                            const std::string& displayName, const FileOwnership& ownership,
                            std::optional<std::size_t> after, const RestoredFacts* restored,
                            std::size_t bytes);
  void checkBeforeRename(std::size_t index, const std::vector<std::optional<std::size_t>>& fileOf);
  AtomicWriteOps ops_;
  TempNameHook tempNameHook_;
  std::vector<Entry> entries_;
  std::size_t stagedBytes_ = 0;
};

// Makes the process get EFBIG from a write past the file-size limit instead of being killed
// by SIGXFSZ. Called by the writers; harmless to call again.
void ignoreFileSizeSignal();

}  // namespace kestrix::platform
