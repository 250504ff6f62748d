// Temporary file + fsync + rename: a rewritten file is either the old or the new content,
// never half of each, and a failure leaves the old one in place.
#include "platform/AtomicWrite.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrix::platform {
namespace {

[[noreturn]] void fail(const std::string& path, const char* step, int err) {
  throw AtomicWriteError("Cannot write " + path + " (" + step + ": " + std::strerror(err) + ")");
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

std::string parentFolder(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Owns the temporary file until it has been renamed; removes it on every other way out.
class TempFile {
 public:
  explicit TempFile(const std::string& target) {
    auto slash = target.rfind('/');
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string folder = parentFolder(target);
    std::string pattern = (folder == "/" ? "" : folder) + "/." + name + ".ksr-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    fd_ = ::mkostemp(buf.data(), O_CLOEXEC);
    if (fd_ < 0) fail(target, "create temporary", errno);
    path_.assign(buf.data());
  }
  ~TempFile() {
    closeFd();
    if (!renamed_) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  void closeFd() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  void markRenamed() { renamed_ = true; }
  // Hands the temporary over to its caller, who renames or removes it.
  void release() { renamed_ = true; }

 private:
  int fd_ = -1;
  std::string path_;
  bool renamed_ = false;
};

void writeAll(const TempFile& temp, std::string_view bytes, const AtomicWriteOps& ops,
              const std::string& target) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ops.write ? ops.write(temp.fd(), p, left) : ::write(temp.fd(), p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail(target, "write", n < 0 ? errno : EIO);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
}

// Gives the temporary the permission bits `mode` when given, else those and the owner of
// the file it replaces.
void copyMode(const TempFile& temp, const std::string& target,
              std::optional<std::uint32_t> mode = std::nullopt) {
  struct stat st {};
  if (mode) {
    if (::fchmod(temp.fd(), *mode & 07777) != 0) fail(target, "set mode", errno);
    if (::stat(target.c_str(), &st) == 0) {
      [[maybe_unused]] int ignored = ::fchown(temp.fd(), st.st_uid, st.st_gid);
    }
    return;
  }
  if (::stat(target.c_str(), &st) == 0) {
    if (::fchmod(temp.fd(), st.st_mode & 07777) != 0) fail(target, "set mode", errno);
    [[maybe_unused]] int ignored = ::fchown(temp.fd(), st.st_uid, st.st_gid);
    return;
  }
  mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(temp.fd(), 0666 & ~mask) != 0) fail(target, "set mode", errno);
}

void syncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // best effort: the rename has already happened
  ::close(fd);
}

}  // namespace

void writeFileAtomically(const std::string& path, std::string_view bytes,
                         const AtomicWriteOps& ops) {
  const std::string target = resolveTarget(path);
  TempFile temp(target);
  writeAll(temp, bytes, ops, target);
  copyMode(temp, target);
  if ((ops.fsync ? ops.fsync(temp.fd()) : ::fsync(temp.fd())) != 0) fail(target, "flush", errno);
  temp.closeFd();
  const char* from = temp.path().c_str();
  if ((ops.rename ? ops.rename(from, target.c_str()) : ::rename(from, target.c_str())) != 0) {
    fail(target, "rename", errno);
  }
  temp.markRenamed();
  syncFolder(parentFolder(target));
}

namespace {

// Makes the renames durable: one file-system flush per device (best effort: the new
// contents are already safe, only the names may lag behind after a crash).
void syncFolders(const std::set<std::string>& folders) {
  std::set<dev_t> done;
  for (const auto& folder : folders) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !done.insert(st.st_dev).second) continue;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) continue;
    ::syncfs(fd);
    ::close(fd);
  }
}

}  // namespace

AtomicWriteBatch::AtomicWriteBatch(AtomicWriteOps ops) : ops_(std::move(ops)) {}

AtomicWriteBatch::~AtomicWriteBatch() {
  for (const auto& e : entries_) {
    if (!e.done) ::unlink(e.temp.c_str());
  }
}

std::size_t AtomicWriteBatch::stage(const std::string& path, std::string_view bytes,
                                    std::optional<std::uint32_t> mode,
                                    std::optional<std::size_t> after) {
  const std::string target = resolveTarget(path);
  TempFile temp(target);
  writeAll(temp, bytes, ops_, target);
  copyMode(temp, target, mode);
  temp.closeFd();
  temp.release();
  entries_.push_back({target, temp.path(), after, {}, false});
  stagedBytes_ += bytes.size();
  return entries_.size() - 1;
}

// One flush per file system holding temporaries (syncfs); a file system whose flush fails,
// and every entry when a test replaced fsync, falls back to flushing each file.
void AtomicWriteBatch::flushAll() {
  std::map<dev_t, std::vector<std::size_t>> byDevice;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    struct stat st {};
    if (::stat(entries_[i].temp.c_str(), &st) != 0) {
      entries_[i].error = "Cannot write " + entries_[i].target + " (flush: temporary lost)";
      continue;
    }
    byDevice[st.st_dev].push_back(i);
  }
  for (const auto& [device, indexes] : byDevice) {
    if (!ops_.fsync) {
      int fd = ::open(entries_[indexes.front()].temp.c_str(), O_RDONLY | O_CLOEXEC);
      bool synced = fd >= 0 && ::syncfs(fd) == 0;
      if (fd >= 0) ::close(fd);
      if (synced) continue;
    }
    for (std::size_t i : indexes) {
      int fd = ::open(entries_[i].temp.c_str(), O_RDONLY | O_CLOEXEC);
      int rc = fd < 0 ? -1 : (ops_.fsync ? ops_.fsync(fd) : ::fsync(fd));
      int err = errno;
      if (fd >= 0) ::close(fd);
      if (rc != 0) {
        entries_[i].error =
            "Cannot write " + entries_[i].target + " (flush: " + std::strerror(err) + ")";
      }
    }
  }
}

std::vector<std::string> AtomicWriteBatch::commit() {
  flushAll();
  std::set<std::string> folders;
  for (auto& e : entries_) {
    if (e.error.empty() && e.after && !entries_[*e.after].error.empty()) {
      e.error = "Cannot write " + e.target + " (its backup could not be written)";
    }
    if (e.error.empty()) {
      const char* from = e.temp.c_str();
      if ((ops_.rename ? ops_.rename(from, e.target.c_str()) : ::rename(from, e.target.c_str())) !=
          0) {
        e.error = "Cannot write " + e.target + " (rename: " + std::strerror(errno) + ")";
      } else {
        folders.insert(parentFolder(e.target));
      }
    }
    if (!e.error.empty()) ::unlink(e.temp.c_str());
    e.done = true;
  }
  syncFolders(folders);
  std::vector<std::string> errors;
  for (auto& e : entries_) errors.push_back(std::move(e.error));
  entries_.clear();
  stagedBytes_ = 0;
  return errors;
}

}  // namespace kestrix::platform
