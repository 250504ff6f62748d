// Testing the accepted files: inline, or on workers that each keep their own matcher, with
// the outcomes reported in walk order through a bounded window of slots. Workers touch
// nothing but their matcher, their slot and the queue; every observer call happens here on
// the calling thread.
#include "search/FileTester.h"

#include <chrono>

#include <sched.h>

#include "search/Cells.h"

namespace kestrix::search {
namespace {

// How long the calling thread waits for a worker before it polls again.
constexpr auto kWaitSlice = std::chrono::milliseconds(5);

}  // namespace

unsigned defaultThreadCount() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return static_cast<unsigned>(count);
  }
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? cores : 1;
}

FileTester::FileTester(const SearchRequest& request, SearchObserver& observer, Poller& poller,
                       unsigned threads, FindOutcome& out)
    : request_(request), observer_(observer), poller_(poller), out_(out) {
  nameOnly_ = hasEmptyQuery(request);
  if (threads <= 1 || nameOnly_) {
    inlineMatcher_ = std::make_unique<FileMatcher>(request, poller);
    return;
  }
  for (unsigned i = 0; i < threads; ++i) {
    workerPollers_.push_back(std::make_unique<Poller>([this] { return stop_.load(); }, 1));
    workerMatchers_.push_back(std::make_unique<FileMatcher>(request, *workerPollers_.back()));
    workerMatchers_.back()->setHelpers(this);
  }
  try {
    for (auto& matcher : workerMatchers_) {
      workers_.emplace_back([this, m = matcher.get()] { work(*m); });
    }
  } catch (...) {
    stopWorkers();
    throw;
  }
}

FileTester::~FileTester() {
  stopWorkers();
}

void FileTester::stopWorkers() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    closing_ = true;
  }
  jobReady_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
}

FileTester::Tested FileTester::testOne(FileMatcher& matcher, const Candidate& file,
                                       const std::string& full) {
  Tested tested;
  try {
    if (matcher.nameOnly()) {
      tested.info = file.info;
      if (!tested.info) tested.info = platform::statAt(file.folderFd->get(), file.name, file.link);
      if (tested.info) tested.hits.emplace();
      return tested;
    }
    platform::ReadOnlyFile opened(file.folderFd->get(), file.name, file.link, full);
    tested.hits = matcher.match(opened, full);
    tested.info = file.info ? *file.info : opened.info();
  } catch (const platform::PlatformError&) {
    tested.hits.reset();  // vanished, unreadable, not a regular file: not listed
  } catch (...) {
    tested.error = std::current_exception();  // rethrown on the calling thread in its turn
  }
  tested.warning = matcher.takeWarning();
  return tested;
}

void FileTester::work(FileMatcher& matcher) {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      jobReady_.wait(lock, [this] { return stop_ || closing_ || !jobs_.empty(); });
      if (stop_ || jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    if (job.ranges) {
      job.ranges->helpWith(matcher);
      continue;
    }
    Slot* slot = job.slot;
    slot->tested = testOne(matcher, slot->file, slot->path);
    bool awaited = false;
    {
      std::lock_guard lock(mutex_);
      slot->done.store(true, std::memory_order_release);
      awaited = slot == awaited_;
    }
    if (awaited) jobDone_.notify_one();
  }
}

unsigned FileTester::helperCount() const {
  return workerMatchers_.empty() ? 0 : static_cast<unsigned>(workerMatchers_.size()) - 1;
}

// The ranges go first in the queue: a worker that frees up helps with the big file before
// it takes the next one.
void FileTester::offer(std::shared_ptr<SplitJob> job, unsigned count) {
  {
    std::lock_guard lock(mutex_);
    for (unsigned i = 0; i < count; ++i) jobs_.push_front(Job{nullptr, job});
  }
  jobReady_.notify_all();
}

void FileTester::folderEntered(const std::string& path) {
  if (workers_.empty() || slots_.empty()) {
    observer_.folderEntered(path);
    return;
  }
  if (!makeRoom()) return;
  auto slot = std::make_unique<Slot>();
  slot->isFolder = true;
  slot->path = path;
  slot->done.store(true, std::memory_order_relaxed);  // nothing to test: reported in its turn
  slots_.push_back(std::move(slot));
  reportDone();
}

void FileTester::test(Candidate&& file) {
  if (poller_.stopped()) return;
  if (workers_.empty()) {
    const std::string full = file.fullName();
    observer_.fileTested(full);
    Slot slot;
    slot.path = full;
    slot.tested = testOne(*inlineMatcher_, file, full);
    slot.file = std::move(file);
    report(slot);
    return;
  }
  if (!makeRoom()) return;
  auto slot = std::make_unique<Slot>();
  slot->path = file.fullName();
  slot->file = std::move(file);
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(Job{slot.get(), nullptr});
  }
  slots_.push_back(std::move(slot));
  jobReady_.notify_one();
  reportDone();
}

void FileTester::finish() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  jobReady_.notify_all();
  while (!slots_.empty() && waitFor(*slots_.front())) reportDone();
  stopWorkers();
}

// Waits until the window has room for one more slot; false when the run was stopped. A
// full window is drained by a batch at a time, so the calling thread sleeps while the
// workers test that batch instead of waking for every file.
bool FileTester::makeRoom() {
  if (slots_.size() < kWindow) return !poller_.stopped();
  if (!waitFor(*slots_[kRefill - 1])) return false;
  reportDone();
  while (slots_.size() >= kWindow && waitFor(*slots_.front())) reportDone();
  return !poller_.stopped();
}

// Waits until `slot` is done; false when the run was stopped meanwhile.
bool FileTester::waitFor(const Slot& slot) {
  for (;;) {
    if (poller_.stopped()) {
      stop_ = true;
      jobReady_.notify_all();
      return false;
    }
    std::unique_lock lock(mutex_);
    awaited_ = &slot;
    const bool done = jobDone_.wait_for(
        lock, kWaitSlice, [&slot] { return slot.done.load(std::memory_order_relaxed); });
    awaited_ = nullptr;
    if (done) return true;
  }
}

// Reports the slots at the front that are done, in order.
void FileTester::reportDone() {
  while (!slots_.empty() && !poller_.stopped()) {
    if (!slots_.front()->done.load(std::memory_order_acquire)) return;
    std::unique_ptr<Slot> slot = std::move(slots_.front());
    slots_.pop_front();
    if (slot->isFolder) {
      observer_.folderEntered(slot->path);
    } else {
      observer_.fileTested(slot->path);
      report(*slot);
    }
  }
}

// Reports a tested file: its warning, the failure that ends the run, or its row.
void FileTester::report(Slot& slot) {
  testedAny_ = true;
  Tested& tested = slot.tested;
  if (tested.warning) observer_.warning(tested.warning->caption(), tested.warning->text());
  if (tested.error) std::rethrow_exception(tested.error);
  if (!tested.hits || !tested.info) return;
  ResultItem item =
      makeResultItem(request_, slot.file.folder, *tested.info, std::move(*tested.hits), !nameOnly_,
                     observer_.typeName(slot.path));
  ++out_.foundCount;
  out_.statusText = foundStatusText(request_.origin, out_.foundCount);
  observer_.resultAdded(item);
}

}  // namespace kestrix::search
