// Regular files opened for reading without blocking: openat with O_NONBLOCK | O_NOCTTY |
// O_CLOEXEC (and O_NOFOLLOW unless a listed link is read), then fstat must say regular.
#include "platform/ReadOnlyFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FolderHandle.h"

namespace kestrix::platform {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
  throw PlatformError(what + " " + path + ": " + std::strerror(err), err);
}

FileInfo infoOf(const struct ::stat& st, const std::string& name) {
  FileInfo info;
  info.name = name;
  info.mode = static_cast<std::uint32_t>(st.st_mode & 07777);
  info.sizeBytes = static_cast<std::int64_t>(st.st_size);
  info.lastWriteSec = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  info.attributes.readOnly = (st.st_mode & S_IWUSR) == 0;
  info.attributes.hidden = !name.empty() && name[0] == '.';
  return info;
}

}  // namespace

std::optional<FileInfo> statAt(int folderFd, const std::string& name, bool followLink) {
  struct ::stat st {};
  if (::fstatat(folderFd, name.c_str(), &st, followLink ? 0 : AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISREG(st.st_mode)) {
    return std::nullopt;
  }
  return infoOf(st, name);
}

ReadOnlyFile::ReadOnlyFile(int folderFd, const std::string& name, bool followLink,
                           std::string shown)
    : shown_(std::move(shown)) {
  open(folderFd, name, followLink);
}

ReadOnlyFile::ReadOnlyFile(const std::string& fullName) : shown_(fullName) {
  const UniqueFd folder = openFolder(folderOf(fullName));
  open(folder.get(), nameOf(fullName), true);
}

void ReadOnlyFile::open(int folderFd, const std::string& name, bool followLink) {
  const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
  fd_ = UniqueFd(::openat(folderFd, name.c_str(), flags));
  if (!fd_) fail("Cannot open", shown_, errno);
  struct ::stat st {};
  if (::fstat(fd_.get(), &st) != 0) fail("Cannot examine", shown_, errno);
  if (!S_ISREG(st.st_mode)) fail("Cannot read", shown_, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  info_ = infoOf(st, name);
}

std::size_t ReadOnlyFile::read(char* out, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd_.get(), out, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) fail("Cannot read", shown_, errno);
  }
}

std::size_t ReadOnlyFile::readAt(std::uint64_t offset, char* out, std::size_t size) const {
  for (;;) {
    const ssize_t got = ::pread(fd_.get(), out, size, static_cast<off_t>(offset));
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) fail("Cannot read", shown_, errno);
  }
}

void ReadBuffer::grow(std::size_t size, std::size_t keep) {
  if (size <= size_) return;
  auto bytes = std::make_unique_for_overwrite<char[]>(size);
  if (keep > 0) std::memcpy(bytes.get(), bytes_.get(), std::min(keep, size_));
  bytes_ = std::move(bytes);
  size_ = size;
}

namespace {

void growTo(std::string& buffer, std::size_t size, std::size_t /*keep*/) {
  buffer.resize(size);
}
void growTo(ReadBuffer& buffer, std::size_t size, std::size_t keep) {
  buffer.grow(size, keep);
}

}  // namespace

// Room for the size fstat gave plus one byte, so the end is seen at once; grows when the file
// grew meanwhile or reports no size (kernel files), never past readCap.
template <class Buffer>
std::string_view ReadOnlyFile::readRest(Buffer& buffer) {
  const auto cap = static_cast<std::size_t>(readCap());
  const auto expected = static_cast<std::size_t>(std::max<std::int64_t>(info_.sizeBytes, 0));
  if (expected > cap) failTooLarge(shown_, readCap());
  if (buffer.size() < expected + 1) growTo(buffer, expected + 1, 0);
  std::size_t used = 0;
  for (;;) {
    if (used > cap) failTooLarge(shown_, readCap());
    if (used == buffer.size()) growTo(buffer, std::min(buffer.size() * 2 + 4096, cap + 1), used);
    const std::size_t got = read(buffer.data() + used, buffer.size() - used);
    if (got == 0) break;
    used += got;
    if (used == expected && expected > 0) break;  // the size fstat gave: no extra read
  }
  return std::string_view(buffer.data(), used);
}

std::string_view ReadOnlyFile::readAll(std::string& buffer) {
  return readRest(buffer);
}

std::string_view ReadOnlyFile::readAll(ReadBuffer& buffer) {
  return readRest(buffer);
}

}  // namespace kestrix::platform
