// Ranges of one file's term scan run by several workers. Each range counts its occurrences as
// if every chain started at the range; combining them in order checks that assumption and
// rescans the rare range where an occurrence of the previous range reaches into it.
#include "search/SplitScan.h"

#include <algorithm>

#include "search/FileMatcher.h"

namespace kestrix::search {

std::vector<SplitScan::Range> SplitScan::rangesOf(std::uint64_t size, std::uint64_t rangeBytes) {
  rangeBytes = std::max<std::uint64_t>(rangeBytes, 1);
  std::vector<Range> ranges;
  for (std::uint64_t begin = 0;; begin += rangeBytes) {
    Range& range = ranges.emplace_back();
    range.begin = begin;
    range.end = size - begin > rangeBytes ? begin + rangeBytes : TermScan::kToEnd;
    if (range.end == TermScan::kToEnd) break;
  }
  return ranges;
}

SplitScan::SplitScan(const TermScan& scan, ReadAt read, std::uint64_t size,
                     std::uint64_t rangeBytes)
    : SplitScan(scan, std::move(read), rangesOf(size, rangeBytes)) {}

SplitScan::SplitScan(const TermScan& scan, ReadAt read, std::vector<Range> ranges)
    : SplitJob(ranges.size()), scan_(scan), read_(std::move(read)), ranges_(std::move(ranges)) {}

void SplitScan::helpWith(FileMatcher& matcher) {
  matcher.help(*this);
}

bool SplitScan::runOne(std::string& buffer, Poller& poller) {
  const std::optional<std::size_t> index = take();
  if (!index) return false;
  Range& range = ranges_[*index];
  std::exception_ptr error;
  if (range.begin > cutoff()) {
    range.result.abandoned = true;
  } else {
    try {
      range.result = scan_.scan(read_, range.begin, range.end, {}, buffer,
                                [&] { return poller.stopped() || range.begin > cutoff(); });
      if (range.result.nul) lowerCutoff(*range.result.nul);
      if (range.result.rejectedAt) lowerCutoff(*range.result.rejectedAt);
    } catch (...) {
      error = std::current_exception();
    }
  }
  finish(error);
  return true;
}

std::optional<RangeScan> SplitScan::combine(std::string& buffer, Poller& poller) {
  rethrowFailure();
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
