// Temporary file + fsync + rename: a rewritten file is either the old or the new content,
// never half of each, and a failure leaves the old one in place.
#include "platform/AtomicWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <future>
#include <map>
#include <random>
#include <set>
#include <system_error>

#include "platform/ExtendedAttributes.h"
#include "platform/FileAt.h"
#include "platform/FileCopy.h"
#include "platform/Platform.h"

namespace kestrix::platform {
namespace {

// Bytes written to a temporary between two requests to start their write-back.
constexpr std::size_t kWriteBackBytes = std::size_t{32} << 20;

[[noreturn]] void fail(const std::string& path, const char* step, int err) {
  throw AtomicWriteError("Cannot write " + path + " (" + step + ": " + std::strerror(err) + ")",
                         std::strerror(err));
}

// The file a write should land in: the target of a symbolic link, else the path itself.
std::string resolveTarget(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_symlink(path, ec)) {
    auto target = std::filesystem::canonical(path, ec);
    if (!ec) return target.string();
  }
  return path;
}

// A short temporary name, whatever the length of the target's name (a name of 250 bytes
// stays modifiable): "." + "ksr" + six random letters or digits.
std::string tempName() {
  static std::atomic<std::uint64_t> serial{std::random_device{}()};
  std::uint64_t x =
      serial.fetch_add(0x9E3779B97F4A7C15ull) ^ static_cast<std::uint64_t>(::getpid());
  x ^= x >> 31;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 29;
  static const char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = ".ksr";
  for (int i = 0; i < 6; ++i, x /= 36) name += kDigits[x % 36];
  return name;
}

int callOpen(const AtomicWriteOps& ops, int dirFd, const char* name, int flags, mode_t mode) {
  return ops.open ? ops.open(dirFd, name, flags, mode) : ::openat(dirFd, name, flags, mode);
}
int callFsync(const AtomicWriteOps& ops, int fd) {
  return ops.fsync ? ops.fsync(fd) : ::fsync(fd);
}
int callRename(const AtomicWriteOps& ops, int dirFd, const char* from, const char* to) {
  return ops.rename ? ops.rename(dirFd, from, to) : ::renameat(dirFd, from, dirFd, to);
}

// Owns the temporary file until it has been renamed; removes it on every other way out.
class TempFile {
 public:
  TempFile(int dirFd, const std::string& displayName, const AtomicWriteOps& ops,
           const AtomicWriteBatch::TempNameHook* hook = nullptr)
      : dirFd_(dirFd) {
    for (int attempt = 0; attempt < 100; ++attempt) {
      name_ = tempName();
      if (hook && *hook) (*hook)(name_, true);
      fd_ = UniqueFd(callOpen(ops, dirFd, name_.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
      if (fd_) break;
      const int err = errno;
      if (err == EEXIST && hook && *hook) (*hook)(name_, false);
      errno = err;
      if (err != EEXIST) break;
    }
    if (!fd_) fail(displayName, "create temporary", errno);
  }
  ~TempFile() {
    fd_.reset();
    if (!kept_) ::unlinkat(dirFd_, name_.c_str(), 0);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_.get(); }
  const std::string& name() const { return name_; }
  void closeFd() { fd_.reset(); }
  // Hands the temporary over: the caller renames or removes it.
  void keep() { kept_ = true; }

 private:
  int dirFd_;
  UniqueFd fd_;
  std::string name_;
  bool kept_ = false;
};

void writeAll(const TempFile& temp, std::string_view bytes, const AtomicWriteOps& ops,
              const std::string& target) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    // At most 1 GiB a call: a larger write can be cut short by the system anyway.
    const std::size_t chunk = std::min<std::size_t>(left, std::size_t{1} << 30);
    ssize_t n = ops.write ? ops.write(temp.fd(), p, chunk) : ::write(temp.fd(), p, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail(target, "write", n < 0 ? errno : EIO);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
}

// Fails when the temporary did not get the owner and group asked for.
void requireOwnership(const TempFile& temp, const FileOwnership& own, const std::string& target) {
  struct ::stat st {};
  if (::fstat(temp.fd(), &st) != 0) fail(target, "examine temporary", errno);
  const char* lost = own.uid && st.st_uid != *own.uid   ? "its owner cannot be kept"
                     : own.gid && st.st_gid != *own.gid ? "its group cannot be kept"
                                                        : nullptr;
  if (lost) throw AtomicWriteError("Cannot write " + target + " (" + lost + ")", lost);
}

// The extended attributes of `fromFd` onto the temporary; before its mode, which sets the
// group class (an ACL's mask) back to the old file's.
void copyAttributes(const TempFile& temp, int fromFd, const std::string& target) {
  try {
    copyExtendedAttributes(fromFd, temp.fd(), target);
  } catch (const PlatformError& e) {
    const std::string reason = std::string("its extended attributes cannot be kept (") +
                               std::strerror(e.errorCode()) + ")";
    throw AtomicWriteError("Cannot write " + target + " (" + reason + ")", reason);
  }
}

// Access and modification times, when given; the content is written by then.
void applyTimes(const TempFile& temp, const RestoredFacts& own, const std::string& target) {
  if (!own.accessNs && !own.modificationNs) return;
  auto toTimespec = [](const std::optional<std::int64_t>& ns) {
    if (!ns) return timespec{0, UTIME_OMIT};
    const std::int64_t sec = *ns / 1000000000 - (*ns % 1000000000 < 0 ? 1 : 0);
    return timespec{static_cast<time_t>(sec), static_cast<long>(*ns - sec * 1000000000)};
  };
  const timespec times[2] = {toTimespec(own.accessNs), toTimespec(own.modificationNs)};
  if (::futimens(temp.fd(), times) != 0) fail(target, "set times", errno);
}

// Restored extended attributes first (a read-only mode would forbid them), the owner next,
// then the attributes of the file being replaced, then the mode: changing the owner clears
// setuid and setgid, and setting an ACL rewrites the group class, so the mode set last
// keeps them. The times come last.
void applyOwnership(const TempFile& temp, const FileOwnership& own, const std::string& target,
                    const RestoredFacts* restored = nullptr) {
  if (restored) {
    try {
      writeExtendedAttributes(temp.fd(), restored->extendedAttributes, target);
    } catch (const PlatformError& e) {
      fail(target, "set extended attributes", e.errorCode());
    }
  }
  if (own.uid || own.gid) {
    const uid_t uid = own.uid ? static_cast<uid_t>(*own.uid) : static_cast<uid_t>(-1);
    const gid_t gid = own.gid ? static_cast<gid_t>(*own.gid) : static_cast<gid_t>(-1);
    if (::fchown(temp.fd(), uid, gid) != 0 && own.gid) {
      // Not allowed to give the file away: keep at least the group when we are in it.
      [[maybe_unused]] int ignored = ::fchown(temp.fd(), static_cast<uid_t>(-1), gid);
    }
    if (own.ownerRequired) requireOwnership(temp, own, target);
  }
  if (own.attributesFrom >= 0) copyAttributes(temp, own.attributesFrom, target);
  if (::fchmod(temp.fd(), static_cast<mode_t>(own.mode & 07777)) != 0) {
    fail(target, "set mode", errno);
  }
  if (restored) applyTimes(temp, *restored, target);
}

// The ownership a replacement of `name` in `dirFd` gets: that of the old file, else the
// default mode of a new file.
FileOwnership ownershipOf(int dirFd, const std::string& name, std::optional<std::uint32_t> mode) {
  FileOwnership own;
  struct ::stat st {};
  if (::fstatat(dirFd, name.c_str(), &st, 0) == 0) {
    own.mode = st.st_mode & 07777;
    own.uid = st.st_uid;
    own.gid = st.st_gid;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    own.mode = 0666 & ~mask;
  }
  if (mode) own.mode = *mode;
  return own;
}

StagedFile stampOf(const TempFile& temp) {
  struct ::stat st {};
  StagedFile stamp;
  if (::fstat(temp.fd(), &st) == 0) {
    stamp.sizeBytes = static_cast<std::int64_t>(st.st_size);
    stamp.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
  }
  return stamp;
}

void syncFolder(const AtomicWriteOps& ops, int dirFd) {
  callFsync(ops, dirFd);  // best effort: the rename has already happened
}

// The folder holding `target`, open. Throws AtomicWriteError.
UniqueFd openParent(const std::string& target) {
  try {
    return openFolder(folderOf(target).empty() ? "." : folderOf(target));
  } catch (const PlatformError& e) {
    fail(target, "open folder", e.errorCode());
  }
}

}  // namespace

void ignoreFileSizeSignal() {
  std::signal(SIGXFSZ, SIG_IGN);
}

void writeFileAtomically(const std::string& path, std::string_view bytes,
                         const AtomicWriteOps& ops) {
  ignoreFileSizeSignal();
  const std::string target = resolveTarget(path);
  const UniqueFd dir = openParent(target);
  const std::string name = nameOf(target);
  TempFile temp(dir.get(), target, ops);
  writeAll(temp, bytes, ops, target);
  applyOwnership(temp, ownershipOf(dir.get(), name, std::nullopt), target);
  if (callFsync(ops, temp.fd()) != 0) fail(target, "flush", errno);
  temp.closeFd();
  if (callRename(ops, dir.get(), temp.name().c_str(), name.c_str()) != 0) {
    fail(target, "rename", errno);
  }
  temp.keep();
  syncFolder(ops, dir.get());
}

AtomicWriteBatch::AtomicWriteBatch(AtomicWriteOps ops) : ops_(std::move(ops)) {
  ignoreFileSizeSignal();
}

AtomicWriteBatch::~AtomicWriteBatch() {
  for (auto& e : entries_) release(e);
}

void AtomicWriteBatch::release(Entry& e) {
  if (!e.done) ::unlinkat(e.dirFd, e.temp.c_str(), 0);
  e.done = true;
  if (e.dirFd >= 0) ::close(e.dirFd);
  e.dirFd = -1;
}

std::size_t AtomicWriteBatch::stage(const std::string& path, std::string_view bytes,
                                    std::optional<std::uint32_t> mode,
                                    std::optional<std::size_t> after) {
  const std::string target = resolveTarget(path);
  const UniqueFd dir = openParent(target);
  const std::string name = nameOf(target);
  return stageAt(dir.get(), name, target, bytes, ownershipOf(dir.get(), name, mode), after);
}

std::size_t AtomicWriteBatch::stageAt(int dirFd, const std::string& name,
                                      const std::string& displayName, std::string_view bytes,
                                      const FileOwnership& ownership,
                                      std::optional<std::size_t> after,
                                      const RestoredFacts* restored) {
  UniqueFd dir(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
  if (!dir) fail(displayName, "open folder", errno);
  TempFile temp(dir.get(), displayName, ops_, &tempNameHook_);
  writeAll(temp, bytes, ops_, displayName);
  return keepTemporary(dir, temp, name, displayName, ownership, after, restored, bytes.size());
}

std::size_t AtomicWriteBatch::stageStreamAt(int dirFd, const std::string& name,
                                            const std::string& displayName, const Producer& produce,
                                            const FileOwnership& ownership,
                                            std::optional<std::size_t> after) {
  UniqueFd dir(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
  if (!dir) fail(displayName, "open folder", errno);
  TempFile temp(dir.get(), displayName, ops_, &tempNameHook_);
  std::size_t written = 0;
  std::size_t unsynced = 0;
  produce([&](std::string_view bytes) {
    writeAll(temp, bytes, ops_, displayName);
    written += bytes.size();
    unsynced += bytes.size();
    // Starts writing the pages back early, so that the flush of the commit has less left to
    // do and a large content does not pile up as dirty memory.
    if (unsynced >= kWriteBackBytes) {
      ::sync_file_range(temp.fd(), static_cast<off_t>(written - unsynced),
                        static_cast<off_t>(unsynced), SYNC_FILE_RANGE_WRITE);
      unsynced = 0;
    }
  });
  return keepTemporary(dir, temp, name, displayName, ownership, after, nullptr, written);
}

std::size_t AtomicWriteBatch::stageCopyAt(int dirFd, const std::string& name,
                                          const std::string& displayName, int fromFd,
                                          const FileOwnership& ownership,
                                          std::optional<std::size_t> after) {
  UniqueFd dir(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
  if (!dir) fail(displayName, "open folder", errno);
  TempFile temp(dir.get(), displayName, ops_, &tempNameHook_);
  const std::int64_t size = copyFileContent(fromFd, temp.fd(), ops_, displayName);
  return keepTemporary(dir, temp, name, displayName, ownership, after, nullptr,
                       static_cast<std::size_t>(size));
}

std::size_t AtomicWriteBatch::stageLinkAt(int dirFd, const std::string& name,
                                          const std::string& displayName,
                                          const std::string& fromName,
                                          const struct ::stat& expected) {
  UniqueFd dir(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
  if (!dir) fail(displayName, "open folder", errno);
  std::string temp;
  for (int attempt = 0;; ++attempt) {
    temp = tempName();
    if (tempNameHook_) tempNameHook_(temp, true);
    if (::linkat(dir.get(), fromName.c_str(), dir.get(), temp.c_str(), 0) == 0) break;
    const int err = errno;
    if (err == EEXIST && tempNameHook_) tempNameHook_(temp, false);
    if (err != EEXIST || attempt == 99) fail(displayName, "link", err);
  }
  struct ::stat st {};
  if (::fstatat(dir.get(), temp.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
      st.st_dev != expected.st_dev || st.st_ino != expected.st_ino) {
    const int err = errno;
    ::unlinkat(dir.get(), temp.c_str(), 0);
    fail(displayName, "link", st.st_ino == 0 ? err : ESTALE);
  }
  Entry entry;
  entry.name = name;
  entry.temp = temp;
  entry.displayName = displayName;
  entry.linked = true;
  entry.stamp = {static_cast<std::int64_t>(st.st_size),
                 static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                 st.st_dev, st.st_ino};
  try {
    entries_.reserve(entries_.size() + 1);
  } catch (...) {
    ::unlinkat(dir.get(), temp.c_str(), 0);
    throw;
  }
  entry.dirFd = dir.release();
  entries_.push_back(std::move(entry));
  return entries_.size() - 1;
}

// Gives the written temporary its ownership and hands it to the batch as a new entry.
template <class Temporary>
std::size_t AtomicWriteBatch::keepTemporary(UniqueFd& dir, Temporary& temp, const std::string& name,
                                            const std::string& displayName,
                                            const FileOwnership& ownership,
                                            std::optional<std::size_t> after,
                                            const RestoredFacts* restored, std::size_t bytes) {
  applyOwnership(temp, ownership, displayName, restored);
  const StagedFile stamp = stampOf(temp);
  temp.closeFd();
  // Everything that can run out of memory comes before the temporary is handed over, so
  // that a failure still removes it.
  Entry entry;
  entry.name = name;
  entry.temp = temp.name();
  entry.displayName = displayName;
  entry.after = after;
  entry.stamp = stamp;
  entries_.reserve(entries_.size() + 1);
  temp.keep();
  entry.dirFd = dir.release();
  entries_.push_back(std::move(entry));
  stagedBytes_ += bytes;
  return entries_.size() - 1;
}

// One flush per file system holding temporaries (syncfs); a file system whose flush fails,
// and every entry when a test replaced fsync, falls back to flushing each file.
void AtomicWriteBatch::flushAll() {
  std::map<dev_t, std::vector<std::size_t>> byDevice;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].done) continue;  // discarded
    struct ::stat st {};
    if (::fstatat(entries_[i].dirFd, entries_[i].temp.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      entries_[i].error = "the temporary file was lost";
      continue;
    }
    byDevice[st.st_dev].push_back(i);
  }
  for (const auto& [device, indexes] : byDevice) {
    if (!ops_.fsync && ::syncfs(entries_[indexes.front()].dirFd) == 0) continue;
    for (std::size_t i : indexes) {
      Entry& e = entries_[i];
      UniqueFd fd(::openat(e.dirFd, e.temp.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
      const int rc = fd ? callFsync(ops_, fd.get()) : -1;
      if (rc != 0) {
        e.error = std::strerror(errno);
      }
    }
  }
}

void AtomicWriteBatch::expectUnchanged(std::size_t index, const struct ::stat& st) {
  entries_[index].expected = st;
}

namespace {

// Same file, same size and modification time; the change time aside.
bool sameContent(const struct ::stat& a, const struct ::stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

bool sameFile(const struct ::stat& a, const struct ::stat& b) {
  return sameContent(a, b) && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
         a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

}  // namespace

// Fails the entry `index` with kChanged when its target is no longer the file that was read
// (a deleted target counts as changed: it is never brought back).
void AtomicWriteBatch::checkUnchanged(std::size_t index) {
  Entry& e = entries_[index];
  if (!e.expected || !e.error.empty() || e.done) return;
  struct ::stat now {};
  if (::fstatat(e.dirFd, e.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
      !sameFile(now, *e.expected)) {
    e.error = kChanged;
  }
}

// Just before the entry `index` is renamed: its own target, or, for a backup, the target of
// the file it belongs to (`fileOf`), must be unchanged.
void AtomicWriteBatch::checkBeforeRename(std::size_t index,
                                         const std::vector<std::optional<std::size_t>>& fileOf) {
  if (const auto file = fileOf[index]) {
    checkUnchanged(*file);
    if (entries_[*file].error == kChanged && entries_[index].error.empty()) {
      entries_[index].error = kChanged;
    }
  }
  checkUnchanged(index);
}

// The batch itself moved the change time of the file `device`/`inode` (a rename took one
// of its names, or a link gave it one): the entries from `from` on that expect it take the
// new time (when nothing else about them changed).
void AtomicWriteBatch::acceptOwnChange(std::size_t from, std::uint64_t device,
                                       std::uint64_t inode) {
  for (std::size_t j = from; j < entries_.size(); ++j) {
    Entry& other = entries_[j];
    if (!other.expected || other.expected->st_dev != device || other.expected->st_ino != inode) {
      continue;
    }
    struct ::stat now {};
    if (::fstatat(other.dirFd, other.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
        sameContent(now, *other.expected)) {
      other.expected->st_ctim = now.st_ctim;
    }
  }
}

void AtomicWriteBatch::renameAll(const StopPollFunction& stopPoll, bool& stopped) {
  std::set<std::pair<dev_t, ino_t>> synced;
  std::vector<std::optional<std::size_t>> fileOf(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].after) fileOf[*entries_[i].after] = i;
  }
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    Entry& e = entries_[i];
    // A stop is taken between files: a backup and the file it belongs to go together.
    if (stopPoll && !e.after && !stopped && stopPoll()) stopped = true;
    if (stopped) {
      if (e.error.empty()) e.error = kStopped;
      continue;
    }
    if (e.error.empty() && e.after && !entries_[*e.after].error.empty()) {
      e.error = "its backup could not be written";
    }
    if (e.error.empty()) checkBeforeRename(i, fileOf);
    if (e.error.empty()) {
      if (callRename(ops_, e.dirFd, e.temp.c_str(), e.name.c_str()) != 0) {
        e.error = std::strerror(errno);
      } else {
        e.done = true;
        if (e.expected && e.expected->st_nlink > 1)
          acceptOwnChange(i + 1, e.expected->st_dev, e.expected->st_ino);
        if (e.linked) acceptOwnChange(i + 1, e.stamp.device, e.stamp.inode);
        struct ::stat st {};
        // Makes the new names durable, once per folder (best effort: the contents are safe).
        if (::fstat(e.dirFd, &st) == 0 && synced.insert({st.st_dev, st.st_ino}).second) {
          syncFolder(ops_, e.dirFd);
        }
      }
    }
  }
}

bool AtomicWriteBatch::keepCopyOfStaged(std::size_t index, int toDirFd, const std::string& toName) {
  const Entry& e = entries_[index];
  auto failed = [&](int err) {
    ::unlinkat(toDirFd, toName.c_str(), 0);
    return PlatformError("Cannot keep a copy of " + e.displayName + ": " + std::strerror(err), err);
  };
  if (e.done) throw failed(ENOENT);
  if (::linkat(e.dirFd, e.temp.c_str(), toDirFd, toName.c_str(), 0) == 0) {
    acceptOwnChange(0, e.stamp.device, e.stamp.inode);
    return true;
  }
  if (errno == EEXIST)
    throw PlatformError("Cannot keep a copy of " + e.displayName + ": " + std::strerror(EEXIST),
                        EEXIST);
  UniqueFd from(::openat(e.dirFd, e.temp.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!from)
    throw PlatformError("Cannot read " + e.displayName + ": " + std::strerror(errno), errno);
  UniqueFd to(callOpen(ops_, toDirFd, toName.c_str(),
                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!to)
    throw PlatformError("Cannot keep a copy of " + e.displayName + ": " + std::strerror(errno),
                        errno);
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(from.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw failed(errno);
    if (got == 0) break;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ops_.write ? ops_.write(to.get(), buffer + done, got - done)
                                     : ::write(to.get(), buffer + done, got - done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) throw failed(put < 0 ? errno : EIO);
      done += put;
    }
  }
  if (callFsync(ops_, to.get()) != 0) throw failed(errno);
  return false;
}

void AtomicWriteBatch::discard(std::size_t index) {
  Entry& e = entries_[index];
  if (!e.done) ::unlinkat(e.dirFd, e.temp.c_str(), 0);
  e.done = true;
  e.error = "discarded";
}

// Lets the caller record the entries that will be renamed; false when it could not.
bool AtomicWriteBatch::record(const BeforeRenames& beforeRenames) {
  for (std::size_t i = 0; i < entries_.size(); ++i) checkUnchanged(i);
  if (!beforeRenames) return true;
  std::vector<std::string> reasons;
  for (const auto& e : entries_) reasons.push_back(e.error);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const auto& after = entries_[i].after;
    if (reasons[i].empty() && after && !entries_[*after].error.empty()) {
      reasons[i] = "its backup could not be written";
    }
  }
  try {
    beforeRenames(reasons);
  } catch (const std::exception& e) {
    for (auto& entry : entries_) {
      if (entry.error.empty()) entry.error = e.what();
    }
    return false;
  }
  return true;
}

// The flush and the record, on a worker thread while `stopPoll` runs here when given. True
// when the entries may be renamed.
bool AtomicWriteBatch::makeDurable(const BeforeRenames& beforeRenames,
                                   const StopPollFunction& stopPoll, bool& stopped) {
  std::atomic<bool> stop{false};
  auto work = [&] {
    flushAll();
    return !stop.load() && record(beforeRenames);
  };
  if (!stopPoll) return work();
  std::future<bool> done;
  try {
    done = std::async(std::launch::async, work);
  } catch (const std::system_error&) {
    return work();  // no thread to be had: flush here
  }
  while (done.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
    if (stopPoll()) stop.store(true);
  }
  stopped = stop.load();
  return done.get() && !stopped;
}

std::vector<std::string> AtomicWriteBatch::commit(const BeforeRenames& beforeRenames,
                                                  const StopPollFunction& stopPoll) {
  bool stopped = false;
  if (makeDurable(beforeRenames, stopPoll, stopped)) {
    renameAll(stopPoll, stopped);
  } else if (stopped) {
    for (auto& e : entries_) {
      if (e.error.empty()) e.error = kStopped;
    }
  }
  std::vector<std::string> errors;
  for (auto& e : entries_) {
    release(e);
    errors.push_back(std::move(e.error));
  }
  entries_.clear();
  stagedBytes_ = 0;
  return errors;
}

}  // namespace kestrix::platform
