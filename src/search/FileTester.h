// Internal: tests the files a walk accepts, inline or on worker threads, and reports the
// folders and files to the observer on the calling thread in exactly the walk order.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "search/Enumerate.h"
#include "search/FileMatcher.h"
#include "search/Find.h"
#include "search/Poller.h"
#include "search/SearchObserver.h"

namespace kestrix::search {

class FileTester : private ScanHelpers {
 public:
  // With `threads` 1 every file is tested on the calling thread as it comes; with more,
  // that many workers open, read and match files while the walk goes on, at most a bounded
  // number of folders and files ahead of what the observer has seen. `poller` (the run's,
  // calling the observer) is only used on the calling thread. Counts go into `out`.
  // request, observer, poller and out must outlive the tester.
  FileTester(const SearchRequest& request, SearchObserver& observer, Poller& poller,
             unsigned threads, FindOutcome& out);
  // Stops the workers and waits for them: no thread outlives the tester.
  ~FileTester();
  FileTester(const FileTester&) = delete;
  FileTester& operator=(const FileTester&) = delete;

  // The walk entered a folder.
  void folderEntered(const std::string& path);
  // The walk accepted a file. Rethrows, in walk order, the failure that ends the run.
  void test(Candidate&& file);
  // Waits until every file handed in is reported (or the run is stopped).
  void finish();

  bool nameOnly() const { return nameOnly_; }
  // True once a file reached the matcher.
  bool testedAny() const { return testedAny_; }

  // The largest number of folders and files handed in but not yet reported.
  // Deep enough that the workers still have some milliseconds of small files queued while
  // the calling thread waits to be scheduled again or pumps the window's events (a few MB
  // at most).
  static constexpr std::size_t kWindow = 4096;
  // How many reported slots a full window waits for before the walk goes on.
  static constexpr std::size_t kRefill = 1024;

 private:
  // What testing one file gave.
  struct Tested {
    std::optional<std::vector<std::int64_t>> hits;  // listed with these hits
    std::optional<platform::FileInfo> info;
    std::optional<SearchError> warning;
    std::exception_ptr error;  // ends the run when the file's turn comes
  };
  // A folder or a file of the walk, in walk order.
  struct Slot {
    bool isFolder = false;
    std::string path;  // the folder, or the file's full name
    Candidate file;
    Tested tested;
    // Set by the worker once `tested` is filled in (release), read by the calling thread
    // (acquire) before it touches `tested`.
    std::atomic<bool> done{false};
  };

  static Tested testOne(FileMatcher& matcher, const Candidate& file, const std::string& full);
  void work(FileMatcher& matcher);
  unsigned helperCount() const override;
  void offer(std::shared_ptr<SplitJob> job, unsigned count) override;
  void report(Slot& slot);
  void reportDone();
  bool makeRoom();
  bool waitFor(const Slot& slot);
  void stopWorkers();

  const SearchRequest& request_;
  SearchObserver& observer_;
  Poller& poller_;
  FindOutcome& out_;
  bool nameOnly_ = false;
  bool testedAny_ = false;
  std::unique_ptr<FileMatcher> inlineMatcher_;  // threads == 1

  // Parallel runs.
  std::vector<std::unique_ptr<Poller>> workerPollers_;
  std::vector<std::unique_ptr<FileMatcher>> workerMatchers_;
  std::vector<std::thread> workers_;
  std::deque<std::unique_ptr<Slot>> slots_;  // calling thread only
  std::mutex mutex_;
  std::condition_variable jobReady_;
  std::condition_variable jobDone_;
  // A file to test, or ranges of a big file another worker is scanning.
  struct Job {
    Slot* slot = nullptr;
    std::shared_ptr<SplitJob> ranges;
  };
  std::deque<Job> jobs_;           // guarded by mutex_
  const Slot* awaited_ = nullptr;  // guarded by mutex_: the slot the calling thread waits for
  bool closing_ = false;           // guarded by mutex_: no more jobs come
  std::atomic<bool> stop_{false};
};

// The number of workers a run uses by default: the processor cores available.
unsigned defaultThreadCount();

}  // namespace kestrix::search
