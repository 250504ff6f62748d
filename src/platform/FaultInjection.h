// Fault injection for the safe writes: an AtomicWriteOps whose open, write, fsync and
// rename calls are counted, and the Nth of them fails. Tests use it to prove that a failure
// at any step leaves every file fully old or fully new.
#pragma once

#include <cerrno>
#include <cstddef>
#include <memory>

#include "platform/AtomicWrite.h"

namespace kestrix::platform {

class FaultInjector {
 public:
  // The call number `failAt` (counted from 1 over all four kinds) fails with `error`, or,
  // with `everyNth`, every call whose number is a multiple of `failAt`; 0 never fails.
  explicit FaultInjector(std::size_t failAt = 0, int error = EIO, bool everyNth = false);

  // Real calls (flushes are counted but skipped), counted; the copies share this
  // injector's counter.
  AtomicWriteOps ops() const;
  // Calls made so far, and whether the failure was injected.
  std::size_t calls() const { return state_->calls; }
  bool fired() const { return state_->fired; }

 private:
  struct State {
    std::size_t failAt = 0;
    int error = EIO;
    bool everyNth = false;
    std::size_t calls = 0;
    bool fired = false;
    // True when this call is the one to fail (errno is then set).
    bool failNow();
  };
  std::shared_ptr<State> state_;
};

}  // namespace kestrix::platform
