// Handing out the ranges of a split file and waiting for them.
#include "search/SplitJob.h"

#include <algorithm>

namespace kestrix::search {

std::optional<std::size_t> SplitJob::take() {
  const std::size_t index = next_.fetch_add(1);
  if (index >= rangeCount_) return std::nullopt;
  return index;
}

void SplitJob::finish(std::exception_ptr error) {
  if (error) lowerCutoff(0);  // the file fails whatever the other ranges find
  {
    std::lock_guard lock(mutex_);
    if (error && !error_) error_ = error;
    ++done_;
  }
  allDone_.notify_all();
}

void SplitJob::wait() {
  std::unique_lock lock(mutex_);
  allDone_.wait(lock, [this] { return done_ >= std::min(next_.load(), rangeCount_); });
}

void SplitJob::rethrowFailure() {
  std::lock_guard lock(mutex_);
  if (error_) std::rethrow_exception(error_);
}

void SplitJob::lowerCutoff(std::uint64_t at) {
  std::uint64_t seen = cutoff_.load();
  while (at < seen && !cutoff_.compare_exchange_weak(seen, at)) {
  }
}

}  // namespace kestrix::search
