// The log of a pass's temporaries and the removal of those a killed run left.
#include "modify/TemporaryLog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <set>
#include <vector>

#include "platform/FileAt.h"
#include "platform/Platform.h"

namespace kestrix::modify {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
  throw platform::PlatformError(what + " " + path + ": " + std::strerror(err), err);
}

// True for a name the safe writes give their temporaries.
bool isTemporaryName(const std::string& name) {
  if (name.size() != 10 || name.compare(0, 4, ".ksr") != 0) return false;
  for (std::size_t i = 4; i < name.size(); ++i) {
    const char c = name[i];
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// The temporaries a log names and does not take back. A record cut short by a kill has
// no final NUL byte and is ignored.
std::set<std::string> claimedIn(const std::string& bytes) {
  std::set<std::string> claimed;
  std::size_t start = 0;
  for (std::size_t end = bytes.find('\0'); end != std::string::npos;
       start = end + 1, end = bytes.find('\0', start)) {
    if (end - start < 2) continue;
    const std::string name = bytes.substr(start + 1, end - start - 1);
    if (bytes[start] == '+') claimed.insert(name);
    if (bytes[start] == '-') claimed.erase(name);
  }
  return claimed;
}

// What became of a named temporary.
enum class Removal { Removed, NotOurs, Stuck };

// Removes `leaf` of the open folder `folder` when it is one of our temporaries; Stuck when
// it is and cannot be removed (an immutable or read-only folder).
Removal removeIfOurs(int folder, const std::string& leaf) {
  if (!isTemporaryName(leaf)) return Removal::NotOurs;
  struct ::stat st {};
  if (::fstatat(folder, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return Removal::NotOurs;
  // As root a temporary already has the owner of the file it was made for.
  if (!S_ISREG(st.st_mode) || (st.st_uid != ::geteuid() && ::geteuid() != 0)) {
    return Removal::NotOurs;
  }
  if (::unlinkat(folder, leaf.c_str(), 0) == 0 || errno == ENOENT) return Removal::Removed;
  return Removal::Stuck;
}

// What a clean-up did: how many temporaries it removed, and those it could not.
struct CleanUp {
  std::size_t removed = 0;
  std::vector<std::string> stuck;
};

// Removes the named temporaries that are still there. The names come sorted, so those of
// one folder follow each other: each folder is reached (from "/", without following
// links) once for all of them, not once per name.
CleanUp removeAllOurs(const std::set<std::string>& names) {
  CleanUp done;
  std::string folderName;
  std::optional<platform::UniqueFd> folder;  // empty: the folder is gone or became a link
  for (const std::string& name : names) {
    const std::size_t slash = name.rfind('/');
    if (slash == std::string::npos) continue;
    std::string leaf = name.substr(slash + 1);
    if (folderName.empty() || name.compare(0, slash, folderName) != 0 ||
        folderName.size() != slash) {
      folderName = name.substr(0, slash);
      folder.reset();
      try {
        folder.emplace(platform::openFolderOf(name, leaf));
      } catch (const platform::PlatformError&) {
        continue;  // nothing of ours to remove there
      }
    }
    if (!folder) continue;
    const Removal r = removeIfOurs(folder->get(), leaf);
    if (r == Removal::Removed) ++done.removed;
    if (r == Removal::Stuck) done.stuck.push_back(name);
  }
  return done;
}

// The log's records of `names`, each a temporary of ours.
std::string recordsOf(const std::vector<std::string>& names) {
  std::string bytes;
  for (const std::string& name : names) {
    bytes += '+';
    bytes += name;
    bytes += '\0';
  }
  return bytes;
}

// True when no other run holds the log open at `fd`: this one then holds it alone
// (exclusive lock). A file system without locks counts as unshared.
bool takeAlone(int fd) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  return errno != EWOULDBLOCK && errno != EINTR;
}

// Removes the temporaries the log open at `fd` names and empties it, except for the names
// of those that could not be removed: they stay for a later run. The caller holds the log
// alone.
CleanUp removeClaimed(int fd, const std::string& path) {
  std::string bytes;
  try {
    struct ::stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > platform::kMaxOwnFileBytes ||
        ::lseek(fd, 0, SEEK_SET) != 0) {
      return {};
    }
    platform::readAll(fd, st.st_size, path, bytes);
  } catch (const std::exception&) {
    return {};  // unreadable (or no memory): the log stays for a later run
  }
  CleanUp done = removeAllOurs(claimedIn(bytes));
  if (::ftruncate(fd, 0) == 0 && !done.stuck.empty()) {
    const std::string kept = recordsOf(done.stuck);
    // Best effort: a record cut short is never read as a name.
    [[maybe_unused]] const ssize_t put = ::write(fd, kept.data(), kept.size());
  }
  return done;
}

}  // namespace

std::string temporaryLogPath(const std::string& dataFolder) {
  return platform::joinPath(dataFolder, "Temporaries.tmp");
}

TemporaryLog::TemporaryLog(const std::string& path) : path_(path) {
  fd_ = platform::UniqueFd(::open(
      path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600));
  if (!fd_) fail("Cannot write", path, errno);
  struct ::stat st {};
  if (::fstat(fd_.get(), &st) != 0 || !S_ISREG(st.st_mode)) fail("Cannot write", path, EINVAL);
  if (takeAlone(fd_.get())) removeClaimed(fd_.get(), path_);
  // Shared from here on (waits only while another run starting up cleans the log).
  while (::flock(fd_.get(), LOCK_SH) != 0 && errno == EINTR) {
  }
}

TemporaryLog::~TemporaryLog() {
  if (fd_ && takeAlone(fd_.get())) removeClaimed(fd_.get(), path_);
}

std::vector<std::string> TemporaryLog::finish() {
  if (!fd_) return {};
  CleanUp done = takeAlone(fd_.get()) ? removeClaimed(fd_.get(), path_) : removeAllOurs(own_);
  fd_.reset();
  own_.clear();
  return std::move(done.stuck);
}

void TemporaryLog::record(const std::string& fullName, bool intent) {
  if (intent) {
    own_.insert(fullName);
  } else {
    own_.erase(fullName);
  }
  std::string bytes(1, intent ? '+' : '-');
  bytes += fullName;
  bytes += '\0';
  const ssize_t put = ::write(fd_.get(), bytes.data(), bytes.size());
  if (put != static_cast<ssize_t>(bytes.size())) {
    // A record cut short has no final NUL byte, so it is never read as a name; the next
    // record, glued to it, then names a path that does not exist (a temporary of ours may
    // stay behind after a kill, never another file go).
    fail("Cannot write", path_, put < 0 ? errno : ENOSPC);
  }
}

std::size_t removeStaleTemporaries(const std::string& path) {
  const platform::UniqueFd fd(
      ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
  if (!fd || !takeAlone(fd.get())) return 0;
  return removeClaimed(fd.get(), path).removed;
}

}  // namespace kestrix::modify
