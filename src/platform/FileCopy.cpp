// Whole-file copies by clone, copy_file_range, or read and write.
#include "platform/FileCopy.h"

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace kestrix::platform {
namespace {

[[noreturn]] void fail(const std::string& name, const char* step, int err) {
  throw AtomicWriteError("Cannot copy " + name + " (" + step + ": " + std::strerror(err) + ")",
                         std::strerror(err));
}

// In-kernel copy: the bytes copied, or -1 (nothing copied) when the file systems cannot.
std::int64_t copyInKernel(int fromFd, int toFd, std::int64_t size, const std::string& name) {
  loff_t in = 0;
  loff_t out = 0;
  while (in < size) {
    const ssize_t n =
        ::copy_file_range(fromFd, &in, toFd, &out, static_cast<std::size_t>(size - in), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && in == 0 &&
        (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
         errno == EBADF)) {
      return -1;
    }
    if (n < 0) fail(name, "copy", errno);
    if (n == 0) break;  // the file became shorter meanwhile
  }
  // A file that grew or shrank meanwhile fails the check before the rename anyway.
  return in;
}

std::int64_t copyByReads(int fromFd, int toFd, const AtomicWriteOps& ops, const std::string& name) {
  std::vector<char> buffer(std::size_t{1} << 20);
  std::int64_t offset = 0;
  for (;;) {
    const ssize_t got = ::pread(fromFd, buffer.data(), buffer.size(), offset);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) fail(name, "read", errno);
    if (got == 0) return offset;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ops.write ? ops.write(toFd, buffer.data() + done, got - done)
                                    : ::write(toFd, buffer.data() + done, got - done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) fail(name, "write", put < 0 ? errno : EIO);
      done += put;
    }
    offset += got;
  }
}

}  // namespace

std::int64_t copyFileContent(int fromFd, int toFd, const AtomicWriteOps& ops,
                             const std::string& displayName) {
  struct ::stat st {};
  if (::fstat(fromFd, &st) != 0) fail(displayName, "examine", errno);
  if (!ops.write) {
    if (::ioctl(toFd, FICLONE, fromFd) == 0) return st.st_size;
    if (const std::int64_t n = copyInKernel(fromFd, toFd, st.st_size, displayName); n >= 0)
      return n;
  }
  return copyByReads(fromFd, toFd, ops, displayName);
}

}  // namespace kestrix::platform
