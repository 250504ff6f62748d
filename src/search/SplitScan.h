// Internal: the term scan of one big file split into ranges that every worker of a run may
// take, so that a single large file uses all the cores. The ranges are combined in file
// order into exactly the hits a scan from start to end gives.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "search/Poller.h"
#include "search/TermScan.h"

namespace kestrix::search {

class SplitScan {
 public:
  // Splits the starts of a file of `size` bytes (as opened; the last range runs to the
  // actual end) into ranges of `rangeBytes`. `scan` and the reader behind `read` must
  // outlive every range run, which the caller ensures by waiting (wait()).
  SplitScan(const TermScan& scan, ReadAt read, std::uint64_t size, std::uint64_t rangeBytes);

  std::size_t rangeCount() const { return ranges_.size(); }
  // Scans the next range nobody took yet, with the caller's buffer and stop request; false
  // when every range is taken. Never waits for other threads.
  bool runOne(std::string& buffer, Poller& poller);
  // Waits until every range taken is done.
  void wait();
  // Combines the ranges in file order (call after wait()): a range in which a chain must
  // resume after its start, because an occurrence crosses into it, is scanned again from
  // there. Nothing when the run was stopped. Rethrows a read failure of any range.
  std::optional<RangeScan> combine(std::string& buffer, Poller& poller);

 private:
  struct Range {
    std::uint64_t begin = 0, end = 0;
    RangeScan result;
  };
  void lowerCutoff(std::uint64_t at);

  const TermScan& scan_;
  ReadAt read_;
  std::vector<Range> ranges_;
  std::atomic<std::size_t> next_{0};
  // Ranges that start after this cannot change the outcome (a NUL ends the text or an
  // excluded term ends the file before them).
  std::atomic<std::uint64_t> cutoff_{TermScan::kToEnd};
  std::mutex mutex_;
  std::condition_variable allDone_;
  std::size_t done_ = 0;      // guarded by mutex_
  std::exception_ptr error_;  // guarded by mutex_: the first read failure
};

// Lends the other workers of a run to one big file.
class ScanHelpers {
 public:
  virtual ~ScanHelpers() = default;
  // How many other workers could help.
  virtual unsigned helperCount() const = 0;
  // Asks up to `count` workers to run ranges of `job` when they are free.
  virtual void offer(std::shared_ptr<SplitScan> job, unsigned count) = 0;
};

}  // namespace kestrix::search
