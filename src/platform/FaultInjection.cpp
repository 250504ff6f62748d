// The counting, failing system calls of FaultInjector.
#include "platform/FaultInjection.h"

#include <fcntl.h>
#include <unistd.h>

namespace kestrix::platform {

FaultInjector::FaultInjector(std::size_t failAt, int error, bool everyNth)
    : state_(std::make_shared<State>()) {
  state_->failAt = failAt;
  state_->error = error;
  state_->everyNth = everyNth;
}

bool FaultInjector::State::failNow() {
  ++calls;
  if (failAt == 0 || (everyNth ? calls % failAt != 0 : calls != failAt)) return false;
  fired = true;
  errno = error;
  return true;
}

AtomicWriteOps FaultInjector::ops() const {
  AtomicWriteOps ops;
  auto s = state_;
  ops.write = [s](int fd, const void* data, std::size_t size) -> ssize_t {
    return s->failNow() ? -1 : ::write(fd, data, size);
  };
  // Counted, but not made: the tests need no durability, and a disk flush per file would
  // make them slow.
  ops.fsync = [s](int) { return s->failNow() ? -1 : 0; };
  ops.rename = [s](int dirFd, const char* from, const char* to) {
    return s->failNow() ? -1 : ::renameat(dirFd, from, dirFd, to);
  };
  ops.open = [s](int dirFd, const char* name, int flags, mode_t mode) {
    return s->failNow() ? -1 : ::openat(dirFd, name, flags, mode);
  };
  return ops;
}

}  // namespace kestrix::platform
