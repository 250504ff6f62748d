// An append-only file whose every append is on the disk before append() returns: the
// history's run records and undo logs, written ahead of the changes they describe.
#pragma once

#include <string>
#include <string_view>

#include "platform/AtomicWrite.h"
#include "platform/UniqueFd.h"

namespace kestrix::modify {

class DurableLog {
 public:
  // Opens `name` in the folder `dirFd`, creating it (mode 0600) when missing, never through
  // a link; writes and flushes go through `ops` (the fault-injection seam). Throws
  // platform::PlatformError.
  DurableLog(int dirFd, const std::string& name, const std::string& shown,
             platform::AtomicWriteOps ops = {});

  // Appends `bytes` and flushes them (fdatasync). On failure the file is cut back to where
  // it was, so later appends stay readable, and platform::PlatformError is thrown.
  void append(std::string_view bytes);

  // The open file (for locks).
  int fd() const { return fd_.get(); }

 private:
  std::string shown_;
  platform::AtomicWriteOps ops_;
  platform::UniqueFd fd_;
};

}  // namespace kestrix::modify
