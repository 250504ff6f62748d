// Ranges of one file's term scan run by several workers. Each range counts its occurrences as
// if every chain started at the range; combining them in order checks that assumption and
// rescans the rare range where an occurrence of the previous range reaches into it.
#include "search/SplitScan.h"

#include <algorithm>

namespace kestrix::search {

SplitScan::SplitScan(const TermScan& scan, ReadAt read, std::uint64_t size,
                     std::uint64_t rangeBytes)
    : scan_(scan), read_(std::move(read)) {
  rangeBytes = std::max<std::uint64_t>(rangeBytes, 1);
  for (std::uint64_t begin = 0;; begin += rangeBytes) {
    Range& range = ranges_.emplace_back();
    range.begin = begin;
    range.end = size - begin > rangeBytes ? begin + rangeBytes : TermScan::kToEnd;
    if (range.end == TermScan::kToEnd) break;
  }
}

void SplitScan::lowerCutoff(std::uint64_t at) {
  std::uint64_t seen = cutoff_.load();
  while (at < seen && !cutoff_.compare_exchange_weak(seen, at)) {
  }
}

bool SplitScan::runOne(std::string& buffer, Poller& poller) {
  const std::size_t index = next_.fetch_add(1);
  if (index >= ranges_.size()) return false;
  Range& range = ranges_[index];
  std::exception_ptr error;
  if (range.begin > cutoff_.load()) {
    range.result.abandoned = true;
  } else {
    try {
      range.result = scan_.scan(read_, range.begin, range.end, {}, buffer, [&] {
        return poller.stopped() || range.begin > cutoff_.load(std::memory_order_relaxed);
      });
      if (range.result.nul) lowerCutoff(*range.result.nul);
      if (range.result.rejectedAt) lowerCutoff(*range.result.rejectedAt);
    } catch (...) {
      error = std::current_exception();
      lowerCutoff(0);  // the file fails whatever the other ranges find
    }
  }
  {
    std::lock_guard lock(mutex_);
    if (error && !error_) error_ = error;
    ++done_;
  }
  allDone_.notify_all();
  return true;
}

void SplitScan::wait() {
  std::unique_lock lock(mutex_);
  allDone_.wait(lock, [this] { return done_ >= std::min(next_.load(), ranges_.size()); });
}

std::optional<RangeScan> SplitScan::combine(std::string& buffer, Poller& poller) {
  {
    std::lock_guard lock(mutex_);
    if (error_) std::rethrow_exception(error_);
  }
  if (poller.stopped()) return std::nullopt;
  RangeScan total;
  total.hits.assign(scan_.termCount(), 0);
  total.next.assign(scan_.termCount(), 0);
  for (Range& range : ranges_) {
    RangeScan* part = &range.result;
    const bool resumesInside = std::any_of(total.next.begin(), total.next.end(),
                                           [&](std::uint64_t at) { return at > range.begin; });
    if (resumesInside || part->abandoned || part->hits.empty()) {
      range.result = scan_.scan(read_, range.begin, range.end, total.next, buffer,
                                [&] { return poller.stopped(); });
      if (range.result.abandoned) return std::nullopt;
    }
    for (std::size_t i = 0; i < total.hits.size(); ++i) total.hits[i] += part->hits[i];
    total.next = part->next;
    // A NUL seen in the bytes read past the range ends the text in a later range.
    if (part->rejectedAt || (part->nul && *part->nul < range.end)) {
      total.rejectedAt = part->rejectedAt;
      total.nul = part->nul;
      break;
    }
  }
  return total;
}

}  // namespace kestrix::search
