// Rate-limited stop polling for the engines and the pass: the caller's poll function (which
// lets the window process its messages and returns the stop flag) runs at most once per
// interval; a stop is signalled by throwing StopRequested.
#pragma once

#include <chrono>
#include <functional>

#include "modify/ModifyMessages.h"

namespace kestrix::modify {

class StopPoll {
 public:
  using Clock = std::chrono::steady_clock;

  // `poll` returns true when the user asked to stop; an empty function never stops.
  explicit StopPoll(std::function<bool()> poll = {},
                    std::chrono::milliseconds interval = std::chrono::milliseconds(15))
      : poll_(std::move(poll)), interval_(interval), last_(Clock::now()) {}

  // Polls when the interval has passed; throws StopRequested when a stop was asked for.
  void check() {
    if (!poll_ || ++calls_ % 64 != 0) return;
    auto now = Clock::now();
    if (now - last_ < interval_) return;
    last_ = now;
    if (poll_()) throw StopRequested{};
  }

  // Polls at once; true when a stop was asked for. Used between files.
  bool stopNow() {
    last_ = Clock::now();
    return poll_ && poll_();
  }

  // The raw poll function, for the regular-expression matcher's own callback.
  const std::function<bool()>& function() const { return poll_; }

 private:
  std::function<bool()> poll_;
  std::chrono::milliseconds interval_;
  Clock::time_point last_;
  unsigned calls_ = 0;
};

}  // namespace kestrix::modify
