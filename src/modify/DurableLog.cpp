// Appends made durable one by one, cut back on failure.
#include "modify/DurableLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Platform.h"

namespace kestrix::modify {

DurableLog::DurableLog(int dirFd, const std::string& name, const std::string& shown,
                       platform::AtomicWriteOps ops)
    : shown_(shown), ops_(std::move(ops)) {
  const int flags = O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
  fd_ = platform::UniqueFd(ops_.open ? ops_.open(dirFd, name.c_str(), flags, 0600)
                                     : ::openat(dirFd, name.c_str(), flags, 0600));
  if (!fd_) {
    throw platform::PlatformError("Cannot write " + shown + ": " + std::strerror(errno), errno);
  }
}

void DurableLog::append(std::string_view bytes) {
  const off_t start = ::lseek(fd_.get(), 0, SEEK_END);
  std::size_t done = 0;
  int err = 0;
  while (done < bytes.size() && err == 0) {
    const ssize_t put = ops_.write ? ops_.write(fd_.get(), bytes.data() + done, bytes.size() - done)
                                   : ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
    if (put > 0) done += static_cast<std::size_t>(put);
    if (put < 0 && errno != EINTR) err = errno;
    if (put == 0) err = EIO;
  }
  if (err == 0 && (ops_.fsync ? ops_.fsync(fd_.get()) : ::fdatasync(fd_.get())) != 0) err = errno;
  if (err != 0) {
    [[maybe_unused]] int ignored = ::ftruncate(fd_.get(), start < 0 ? 0 : start);
    throw platform::PlatformError("Cannot write " + shown_ + ": " + std::strerror(err), err);
  }
}

}  // namespace kestrix::modify
