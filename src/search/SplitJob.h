// Internal: one big file's work split into ranges that every worker of a run may take, so
// that a single large file uses all the cores. Subclasses say what a range is (a term scan,
// the lines of an expression search) and how ranges combine in file order.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>

namespace kestrix::search {

class FileMatcher;

class SplitJob {
 public:
  explicit SplitJob(std::size_t rangeCount) : rangeCount_(rangeCount) {}
  virtual ~SplitJob() = default;
  SplitJob(const SplitJob&) = delete;
  SplitJob& operator=(const SplitJob&) = delete;

  std::size_t rangeCount() const { return rangeCount_; }
  // Runs ranges nobody took yet with `matcher` (the calling worker's) until none is left.
  virtual void helpWith(FileMatcher& matcher) = 0;
  // Waits until every range taken is done.
  void wait();

 protected:
  // The next range nobody took yet, or nothing when every range is taken.
  std::optional<std::size_t> take();
  // Ends a range taken, with the failure it met (which abandons the ranges not begun).
  void finish(std::exception_ptr error);
  // Rethrows the first failure of any range (call after wait()).
  void rethrowFailure();
  // Ranges that start after `at` cannot change the outcome.
  void lowerCutoff(std::uint64_t at);
  std::uint64_t cutoff() const { return cutoff_.load(std::memory_order_relaxed); }

 private:
  const std::size_t rangeCount_;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::uint64_t> cutoff_{~std::uint64_t{0}};
  std::mutex mutex_;
  std::condition_variable allDone_;
  std::size_t done_ = 0;      // guarded by mutex_
  std::exception_ptr error_;  // guarded by mutex_: the first failure
};

// Lends the other workers of a run to one big file.
class ScanHelpers {
 public:
  virtual ~ScanHelpers() = default;
  // How many other workers could help.
  virtual unsigned helperCount() const = 0;
  // Asks up to `count` workers to run ranges of `job` when they are free.
  virtual void offer(std::shared_ptr<SplitJob> job, unsigned count) = 0;
};

}  // namespace kestrix::search
