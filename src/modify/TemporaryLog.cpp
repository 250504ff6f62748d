// The log of a pass's temporaries and the removal of those a killed run left.
#include "modify/TemporaryLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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

bool removeIfOurs(const std::string& fullName) {
  try {
    std::string leaf;
    const platform::UniqueFd folder = platform::openFolderOf(fullName, leaf);
    if (!isTemporaryName(leaf)) return false;
    struct ::stat st {};
    if (::fstatat(folder.get(), leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    // As root a temporary already has the owner of the file it was made for.
    if (!S_ISREG(st.st_mode) || (st.st_uid != ::geteuid() && ::geteuid() != 0)) return false;
    return ::unlinkat(folder.get(), leaf.c_str(), 0) == 0;
  } catch (const platform::PlatformError&) {
    return false;  // its folder is gone or became a link: nothing of ours to remove there
  }
}

}  // namespace

std::string temporaryLogPath(const std::string& journalPath) {
  return platform::joinPath(platform::folderOf(journalPath), "Temporaries.tmp");
}

TemporaryLog::TemporaryLog(const std::string& path) : path_(path) {
  fd_ = platform::UniqueFd(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!fd_) fail("Cannot write", path, errno);
}

void TemporaryLog::record(const std::string& fullName, bool intent) {
  std::string bytes(1, intent ? '+' : '-');
  bytes += fullName;
  bytes += '\0';
  const off_t start = ::lseek(fd_.get(), 0, SEEK_END);
  const ssize_t put = ::write(fd_.get(), bytes.data(), bytes.size());
  if (put != static_cast<ssize_t>(bytes.size())) {
    const int err = put < 0 ? errno : ENOSPC;
    // A record cut short is taken off, so that the next one is read on its own.
    if (put > 0 && start >= 0) [[maybe_unused]]
      int ignored = ::ftruncate(fd_.get(), start);
    fail("Cannot write", path_, err);
  }
}

void TemporaryLog::clear() {
  [[maybe_unused]] int ignored = ::ftruncate(fd_.get(), 0);
}

std::size_t removeStaleTemporaries(const std::string& path) {
  std::string bytes;
  try {
    struct ::stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    bytes = platform::readFile(path);
  } catch (const platform::PlatformError&) {
    return 0;
  }
  std::size_t removed = 0;
  for (const std::string& name : claimedIn(bytes)) removed += removeIfOurs(name) ? 1 : 0;
  [[maybe_unused]] int ignored = ::truncate(path.c_str(), 0);
  return removed;
}

}  // namespace kestrix::modify
