// Temporary file + fsync + rename: a rewritten file is either the old or the new content,
// never half of each, and a failure leaves the old one in place.
#include "platform/AtomicWrite.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

// Gives the temporary the permission bits and owner of the file it replaces.
void copyMode(const TempFile& temp, const std::string& target) {
  struct stat st {};
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

}  // namespace kestrix::platform
