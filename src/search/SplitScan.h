// Internal: the term scan of one big file split into ranges that every worker of a run may
// take, so that a single large file uses all the cores. The ranges are combined in file
// order into exactly the hits a scan from start to end gives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "search/Poller.h"
#include "search/SplitJob.h"
#include "search/TermScan.h"

namespace kestrix::search {

class SplitScan : public SplitJob {
 public:
  // Splits the starts of a file of `size` bytes (as opened; the last range runs to the
  // actual end) into ranges of `rangeBytes`. `scan` and the reader behind `read` must
  // outlive every range run, which the caller ensures by waiting (wait()).
  SplitScan(const TermScan& scan, ReadAt read, std::uint64_t size, std::uint64_t rangeBytes);

  void helpWith(FileMatcher& matcher) override;
  // Scans the next range nobody took yet, with the caller's buffer and stop request; false
  // when every range is taken. Never waits for other threads.
  bool runOne(std::string& buffer, Poller& poller);
  // Combines the ranges in file order (call after wait()): a range in which a chain must
  // resume after its start, because an occurrence crosses into it, is scanned again from
  // there. Nothing when the run was stopped. Rethrows a read failure of any range.
  std::optional<RangeScan> combine(std::string& buffer, Poller& poller);

 private:
  struct Range {
    std::uint64_t begin = 0, end = 0;
    RangeScan result;
  };
  SplitScan(const TermScan& scan, ReadAt read, std::vector<Range> ranges);
  static std::vector<Range> rangesOf(std::uint64_t size, std::uint64_t rangeBytes);

  const TermScan& scan_;
  ReadAt read_;
  std::vector<Range> ranges_;
};

}  // namespace kestrix::search
