// The backtracking matcher: runs a Program at one position of the subject with its own
// explicit backtrack stack (bounded in memory), and the poll clock that serves "Stop".
#pragma once

#include <array>
#include <chrono>
#include <climits>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "regex/Program.h"

namespace kestrix::regex {

// Calls the poll callback when more than 25 ms have passed since the last call; the clock
// is read only every few thousand steps. Throws RegExprAborted when the callback says stop.
class Poller {
 public:
  explicit Poller(const std::function<bool()>& poll) : poll_(poll) {}
  // Counts `steps` units of work; cheap unless the step budget ran out.
  void tick(int steps = 1) {
    steps_ += steps;
    budget_ -= steps;
    if (budget_ <= 0) check();
  }
  // Units of work counted so far (matcher steps, scanned candidates): a measure of the
  // work a search took, independent of the clock.
  std::int64_t steps() const { return steps_; }
  // Allows `steps` more units of work before tick throws RegExprError 1017 (checked with
  // the clock, so a few thousand steps late); `unlimited()` lifts the limit.
  void limitSteps(std::int64_t steps) { limit_ = steps_ + steps; }
  void unlimited() { limit_ = kNoLimit; }

 private:
  void check();

  static constexpr std::int64_t kNoLimit = INT64_MAX;
  const std::function<bool()>& poll_;
  int budget_ = kStepsPerClockRead;
  std::int64_t steps_ = 0;
  std::int64_t limit_ = kNoLimit;
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
  static constexpr int kStepsPerClockRead = 4096;
};

// The registers of a match: start and end (0-based offsets) of groups 0..14; -1 when unset.
using Registers = std::array<int, 2 * kGroupCount>;

// The memo of the matcher: the (instruction, position) states of one subject that have
// already been explored. Without back-references, what can follow such a state depends only
// on the instruction and the position, so a state explored once without success fails again
// and is never explored twice: the work of a search is bounded by program size x subject
// length. Counters of counted loops are part of the state, so instructions inside counted
// loops are left out. The bit set holds at most `budgetBytes`: on a longer subject it covers
// a window of positions that moves with the start of the tries (states outside it are
// explored as if new), so the bound holds for every try that stays within half a window of
// its start.
class Memo {
 public:
  static constexpr std::size_t kMemoBudgetBytes = std::size_t{32} << 20;

  Memo(const Program& program, std::size_t budgetBytes);
  // Prepares the memo for a subject of `length` bytes.
  void reset(int length);
  // Moves the window so that it covers the try that begins at `start`.
  void coverFrom(int start);
  bool on() const { return on_; }
  // Whether the states of instruction `pc` are memoized (whatever their position).
  bool tracks(int pc) const { return on_ && tracked_[pc]; }
  // True when the state was seen before; marks it seen otherwise.
  bool visit(int pc, int pos) {
    if (!on_ || !tracked_[pc] || !inWindow(pos)) return false;
    ensureClean();
    const std::size_t bit = index(pc, pos);
    const std::uint64_t mask = std::uint64_t{1} << (bit & 63);
    if (bits_[bit >> 6] & mask) return true;
    bits_[bit >> 6] |= mask;
    return false;
  }
  bool seen(int pc, int pos) const {
    return on_ && tracked_[pc] && clean_ && inWindow(pos) &&
           (bits_[index(pc, pos) >> 6] >> (index(pc, pos) & 63)) & 1;
  }
  // Forgets the states at `pos`: those of a successful match end there, and are no failures.
  void forgetPosition(int pos);

 private:
  bool inWindow(int pos) const {
    return static_cast<unsigned>(pos - base_) < static_cast<unsigned>(span_);
  }
  std::size_t index(int pc, int pos) const {
    return static_cast<std::size_t>(pos - base_) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(pc);
  }
  void ensureClean();

  std::vector<std::uint8_t> tracked_;  // per instruction: 1 when its states are memoized
  bool usable_ = false;                // the program has no back-references
  int width_ = 0;                      // instructions per position
  std::size_t budgetBits_ = 0;
  int length_ = 0;        // of the subject
  int base_ = 0;          // the first position of the window
  int span_ = 0;          // positions in the window
  std::size_t size_ = 0;  // bits for the window
  bool on_ = false;
  bool clean_ = false;  // cleared for the current window (done at its first use)
  std::vector<std::uint64_t> bits_;
};

class Matcher {
 public:
  // `program` and `poller` must outlive the matcher. `memoBytes` bounds the memo.
  Matcher(const Program& program, Poller& poller, std::size_t memoBytes = Memo::kMemoBudgetBytes);

  // Binds the subject of the following matches; it must stay alive while they run.
  void setSubject(std::string_view subject);

  // Tries a match that begins exactly at `start`. On success fills `regs` and returns true.
  // Throws RegExprError 1014 when the loop nesting or the backtrack memory bound is exceeded,
  // 1017 when the try takes more steps than attemptBudget allows, RegExprAborted when the
  // poll callback stops the match.
  bool matchAt(int start, Registers& regs);

  // The steps one try may take on the bound subject, 0 for no limit. Programs the memo bounds
  // need none; the others (back-references, counted loops) get steps in proportion to
  // program size x subject length, so that back-references in nested repeats, whose work
  // grows exponentially, fail within milliseconds instead of running for ages.
  std::int64_t attemptBudget() const { return attemptBudget_; }

  // Where the program's lead loop (Program::leadLoop) stopped at a non-member byte in the
  // last matchAt, or -1 when it did not run or stopped at its repetition limit.
  int leadEnd() const { return leadEnd_; }

 private:
  struct Frame {
    int kind;
    int pc;
    int pos;
    int aux;
  };
  enum FrameKind { kRetry, kRestoreSlot, kRestoreCounter, kLoopRetry, kRestoreGroup };

  bool run(int start, Registers& regs);  // matchAt without the step limit
  void push(int kind, int pc, int pos, int aux);
  bool step(const Inst& in, int& pc, int& pos);
  bool branch(const Inst& in, int& pc, int& pos);
  void countTest(const Inst& in, int& pc, int pos);
  bool backtrack(int& pc, int& pos);
  bool assertionHolds(Assertion a, int pos) const;
  bool matchStr(const Inst& in, int pos) const;
  int matchBackref(const Inst& in, int pos);
  int countRun(int set, int start, int limit);
  bool startLoop(const Inst& in, int& pc, int& pos);
  bool retryLoop(const Frame& f, int& pc, int& pos);
  void setLoopCapture(int group, int start, int count);
  void saveRegister(int slot, int pos);

  const Program& p_;
  const unsigned char* s_ = nullptr;
  int n_ = 0;
  Poller& poller_;
  std::vector<std::uint8_t> fullSet_;  // per set: 1 when it holds every byte
  std::vector<Frame> stack_;
  std::vector<int> counters_;
  // The registers of the groups as they were when each last closed (what back-references
  // read), then, from kOpenBase on, where each group's current iteration opened.
  static constexpr int kOpenBase = 2 * kGroupCount;
  std::array<int, 3 * kGroupCount> caps_{};
  int leadEnd_ = -1;
  bool budgeted_ = false;  // the memo does not bound the program's work
  std::int64_t attemptBudget_ = 0;
  Memo memo_;
  // Per set: the last maximal run of members counted, [from, end), for the subject.
  struct Run {
    int from = -1;
    int end = -1;
  };
  std::vector<Run> runs_;
  // Per tight loop: the ends [lo, hi] from which what follows the loop is known to fail
  // (when the memo tracks it). Failing there is a fact of the subject, so every later try
  // skips those ends at once instead of walking past them one by one.
  struct Failed {
    int lo = 1;
    int hi = 0;
  };
  std::vector<Failed> failedEnds_;
  void noteFailedEnds(int pc, int lo, int hi);
};

}  // namespace kestrix::regex
