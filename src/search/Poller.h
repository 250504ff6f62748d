// Internal: calls a poll function when more than a given number of milliseconds have
// passed since the last call, and remembers a stop request.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Platform.h"

namespace kestrix::search {

class Poller {
 public:
  explicit Poller(std::function<bool()> poll, std::uint64_t intervalMs = 15)
      : poll_(std::move(poll)), intervalMs_(intervalMs) {}
  // True once the poll function asked to stop. Cheap: reads the tick counter.
  bool stopped() {
    if (stopped_ || !poll_) return stopped_;
    const std::uint64_t now = platform::tickMs();
    if (now - last_ > intervalMs_) {
      last_ = now;
      stopped_ = poll_();
    }
    return stopped_;
  }

 private:
  std::function<bool()> poll_;
  std::uint64_t intervalMs_;
  std::uint64_t last_ = platform::tickMs();
  bool stopped_ = false;
};

}  // namespace kestrix::search
