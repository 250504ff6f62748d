// Matcher: executes the instructions at one start position, backtracking through an explicit
// stack of frames. Covered by RegexDialectTest.cpp, RegexLimitsTest.cpp (10 MB, stop, 1014).
#include "regex/Matcher.h"

#include <algorithm>
#include <cstring>

#include "regex/RegexErrors.h"

namespace kestrix::regex {
namespace {

// The backtrack stack may grow to this many frames (16 bytes each: 128 MB).
constexpr size_t kMaxFrames = size_t{8} << 20;
// Stack capacity kept from one subject to the next (1 MB).
constexpr size_t kKeptFrames = size_t{1} << 16;
// A try's step budget: this many steps per instruction and subject position, and never less
// than the floor (a few tens of milliseconds of work).
constexpr std::int64_t kStepsPerState = 64;
constexpr std::int64_t kMinAttemptSteps = std::int64_t{1} << 22;

// Limits the poller's steps during a try, and lifts the limit when the try ends, however it
// ends.
struct StepLimit {
  StepLimit(Poller& poller, std::int64_t steps) : poller(poller) { poller.limitSteps(steps); }
  ~StepLimit() { poller.unlimited(); }
  StepLimit(const StepLimit&) = delete;
  StepLimit& operator=(const StepLimit&) = delete;
  Poller& poller;
};

// True when the memo cannot bound the program's work: back-references make a state's future
// depend on what was captured, and instructions inside counted loops are not memoized.
bool needsBudget(const Program& program) {
  return std::any_of(program.code.begin(), program.code.end(),
                     [](const Inst& in) { return in.op == Op::Backref || in.op == Op::CountTest; });
}

}  // namespace

void Poller::check() {
  budget_ = kStepsPerClockRead;
  if (steps_ > limit_) {
    limit_ = kNoLimit;
    throwRunError(kTooComplex);
  }
  auto now = std::chrono::steady_clock::now();
  if (now - last_ <= std::chrono::milliseconds(25)) return;
  last_ = now;
  if (poll_ && poll_()) throw RegExprAborted();
}

Memo::Memo(const Program& program, std::size_t budgetBytes)
    : tracked_(program.code.size(), 1),
      width_(static_cast<int>(program.code.size())),
      budgetBits_(budgetBytes * 8) {
  usable_ = std::none_of(program.code.begin(), program.code.end(),
                         [](const Inst& in) { return in.op == Op::Backref; });
  // A counted loop spans its CountTest up to the exit that CountTest names.
  for (size_t pc = 0; pc < program.code.size(); ++pc) {
    const Inst& in = program.code[pc];
    if (in.op != Op::CountTest) continue;
    for (int inner = static_cast<int>(pc); inner < in.b; ++inner) tracked_[inner] = 0;
  }
}

void Memo::reset(int length) {
  length_ = length;
  base_ = 0;
  const std::size_t positions = static_cast<std::size_t>(length) + 1;
  const std::size_t fit = budgetBits_ / static_cast<std::size_t>(std::max(width_, 1));
  span_ = static_cast<int>(std::min(positions, fit));
  size_ = static_cast<std::size_t>(width_) * static_cast<std::size_t>(span_);
  // A window of a few positions would be cleared more often than it helps.
  on_ = usable_ && (span_ == static_cast<int>(positions) || span_ >= 8);
  clean_ = false;
}

void Memo::coverFrom(int start) {
  if (!on_ || span_ > length_) return;  // the whole subject fits
  if (start >= base_ && start - base_ <= span_ / 2) return;
  base_ = start;
  clean_ = false;
}

void Memo::ensureClean() {
  if (clean_) return;
  const std::size_t words = (size_ + 63) / 64;
  if (bits_.size() < words || bits_.capacity() > 2 * words + 4096) {
    std::vector<std::uint64_t>(words).swap(bits_);
  } else {
    std::fill_n(bits_.begin(), words, 0);
  }
  clean_ = true;
}

void Memo::forgetPosition(int pos) {
  if (!on_ || !clean_ || !inWindow(pos)) return;
  for (int pc = 0; pc < width_; ++pc) {
    const std::size_t bit = index(pc, pos);
    bits_[bit >> 6] &= ~(std::uint64_t{1} << (bit & 63));
  }
}

Matcher::Matcher(const Program& program, Poller& poller, std::size_t memoBytes)
    : p_(program),
      poller_(poller),
      counters_(program.counters, 0),
      budgeted_(needsBudget(program)),
      memo_(program, memoBytes) {
  for (const ByteSet& set : program.sets) {
    fullSet_.push_back(std::all_of(set.begin(), set.end(), [](auto m) { return m != 0; }));
  }
}

void Matcher::setSubject(std::string_view subject) {
  s_ = reinterpret_cast<const unsigned char*>(subject.data());
  n_ = static_cast<int>(subject.size());
  // A runaway match may have grown the stack; do not keep that memory for the next ones.
  if (stack_.capacity() > kKeptFrames) std::vector<Frame>().swap(stack_);
  memo_.reset(n_);
  const auto states =
      static_cast<std::int64_t>(p_.code.size()) * (static_cast<std::int64_t>(n_) + 1);
  attemptBudget_ = budgeted_ ? std::max(kMinAttemptSteps, states * kStepsPerState) : 0;
  runs_.assign(p_.sets.size(), Run{});
  failedEnds_.assign(p_.code.size(), Failed{});
}

void Matcher::push(int kind, int pc, int pos, int aux) {
  if (stack_.size() >= kMaxFrames) throwRunError(kLoopStackExceeded);
  stack_.push_back(Frame{kind, pc, pos, aux});
}

bool Matcher::matchAt(int start, Registers& regs) {
  if (attemptBudget_ == 0) return run(start, regs);
  const StepLimit limit(poller_, attemptBudget_);
  return run(start, regs);
}

bool Matcher::run(int start, Registers& regs) {
  stack_.clear();
  caps_.fill(-1);
  leadEnd_ = -1;
  memo_.coverFrom(start);
  int pc = 0;
  int pos = start;
  for (;;) {
    poller_.tick();
    const Inst& in = p_.code[pc];
    if (in.op == Op::Match) {
      caps_[0] = start;
      caps_[1] = pos;
      std::copy_n(caps_.begin(), regs.size(), regs.begin());
      memo_.forgetPosition(pos);
      return true;
    }
    if (memo_.visit(pc, pos) || !step(in, pc, pos)) {
      if (!backtrack(pc, pos)) return false;
    }
  }
}

// Executes one instruction other than Match; false when it fails at `pos`.
inline bool Matcher::step(const Inst& in, int& pc, int& pos) {
  switch (in.op) {
    case Op::Char:
      if (pos >= n_ || s_[pos] != in.a) return false;
      ++pos;
      break;
    case Op::Str:
      if (!matchStr(in, pos)) return false;
      pos += in.b;
      break;
    case Op::Set:
      if (pos >= n_ || !p_.sets[in.a][s_[pos]]) return false;
      ++pos;
      break;
    case Op::Assert:
      if (!assertionHolds(in.assertion, pos)) return false;
      break;
    case Op::Backref: {
      int len = matchBackref(in, pos);
      if (len < 0) return false;
      pos += len;
      break;
    }
    case Op::Save:
      saveRegister(in.a, pos);
      break;
    case Op::Loop:
      return startLoop(in, pc, pos);
    default:
      return branch(in, pc, pos);
  }
  ++pc;
  return true;
}

// The control-flow instructions: each sets pc itself.
bool Matcher::branch(const Inst& in, int& pc, int& pos) {
  switch (in.op) {
    case Op::Split:
      push(kRetry, in.b, pos, 0);
      pc = in.a;
      return true;
    case Op::Dispatch: {
      int target = pos < n_ ? p_.dispatch[in.a][s_[pos]] : -1;
      if (target < 0) return false;
      pc = target;
      return true;
    }
    case Op::Jmp:
      pc = in.a;
      return true;
    case Op::CountInit:
      if (in.b > kMaxLoopDepth) throwRunError(kLoopStackExceeded);
      push(kRestoreCounter, 0, counters_[in.a], in.a);
      counters_[in.a] = 0;
      ++pc;
      return true;
    case Op::CountTest:
      countTest(in, pc, pos);
      return true;
    case Op::CountNext:
      push(kRestoreCounter, 0, counters_[in.a], in.a);
      ++counters_[in.a];
      pc = in.b;
      return true;
    default:
      throwRunError(kCorruptedProgram);
  }
}

// Runs the body of a counted loop again or leaves it, as its bounds and mode say; the
// other choice is left on the stack when both are possible.
void Matcher::countTest(const Inst& in, int& pc, int pos) {
  int k = counters_[in.a];
  if (k < in.min) {
    ++pc;
  } else if (k >= in.max) {
    pc = in.b;
  } else if (in.greedy) {
    push(kRetry, in.b, pos, 0);
    ++pc;
  } else {
    push(kRetry, pc + 1, pos, 0);
    pc = in.b;
  }
}

bool Matcher::backtrack(int& pc, int& pos) {
  while (!stack_.empty()) {
    Frame f = stack_.back();
    stack_.pop_back();
    switch (f.kind) {
      case kRetry:
        pc = f.pc;
        pos = f.pos;
        return true;
      case kRestoreSlot:
        caps_[f.aux] = f.pos;
        break;
      case kRestoreCounter:
        counters_[f.aux] = f.pos;
        break;
      case kRestoreGroup:
        caps_[2 * f.aux] = f.pc;
        caps_[2 * f.aux + 1] = f.pos;
        break;
      case kLoopRetry:
        if (retryLoop(f, pc, pos)) return true;
        break;
    }
  }
  return false;
}

bool Matcher::assertionHolds(Assertion a, int pos) const {
  switch (a) {
    case Assertion::InputStart:
      return pos == 0;
    case Assertion::InputEnd:
      return pos == n_;
    case Assertion::LineStart:
      if (pos == 0) return true;
      if (s_[pos - 1] == '\n') return true;
      return s_[pos - 1] == '\r' && (pos >= n_ || s_[pos] != '\n');
    case Assertion::LineEnd:
      if (pos >= n_) return true;
      if (s_[pos] == '\r') return true;
      return s_[pos] == '\n' && (pos == 0 || s_[pos - 1] != '\r');
  }
  return false;
}

bool Matcher::matchStr(const Inst& in, int pos) const {
  if (in.b > n_ - pos) return false;
  const char* text = p_.strings.data() + in.a;
  if (!in.icase) return std::memcmp(s_ + pos, text, in.b) == 0;
  const char* fold = p_.folds.data() + in.a;
  for (int i = 0; i < in.b; ++i) {
    char c = static_cast<char>(s_[pos + i]);
    if (c != text[i] && c != fold[i]) return false;
  }
  return true;
}

// The length matched by a back-reference at `pos`, or -1. A long comparison counts as the
// work it is, so that the clock is read (and "Stop" seen) in time.
int Matcher::matchBackref(const Inst& in, int pos) {
  int from = caps_[2 * in.a];
  int to = caps_[2 * in.a + 1];
  if (from < 0 || to < from) return -1;
  int len = to - from;
  if (len > n_ - pos) return -1;
  if (len == 0) return 0;
  poller_.tick(len >> 6);
  if (!in.icase) return std::memcmp(s_ + pos, s_ + from, len) == 0 ? len : -1;
  for (int i = 0; i < len; ++i) {
    unsigned char g = s_[from + i];
    unsigned char c = s_[pos + i];
    if (c != g && c != p_.otherCase[g]) return -1;
  }
  return len;
}

// A group's opening only notes where this iteration began; its registers change when it
// closes, so that a back-reference inside the next iteration still reads the last capture.
void Matcher::saveRegister(int slot, int pos) {
  const int group = slot / 2;
  if (slot % 2 == 0) {
    push(kRestoreSlot, 0, caps_[kOpenBase + group], kOpenBase + group);
    caps_[kOpenBase + group] = pos;
    return;
  }
  push(kRestoreGroup, caps_[2 * group], caps_[2 * group + 1], group);
  caps_[2 * group] = caps_[kOpenBase + group];
  caps_[2 * group + 1] = pos;
}

// The members from `start` on, at most `limit`. A maximal run is kept for its set: a later
// count from inside it (the next start, the next repetition) costs nothing, and one from
// before it stops counting where it begins.
int Matcher::countRun(int set, int start, int limit) {
  if (fullSet_[set]) return limit;
  Run& run = runs_[set];
  if (start >= run.from && start <= run.end) return std::min(run.end - start, limit);
  const ByteSet& members = p_.sets[set];
  const unsigned char* s = s_ + start;
  const int joins = run.from > start ? run.from - start : -1;  // where the kept run begins
  int i = 0;
  while (i < limit && i != joins && members[s[i]]) ++i;
  poller_.tick(i >> 6);
  if (i == joins) {
    run.from = start;
    return std::min(run.end - start, limit);
  }
  if (i < limit || start + i == n_) run = Run{start, start + i};
  return i;
}

// Joins [lo, hi] to the known failing ends of loop `pc` when they touch; a run apart
// replaces them (the newest tries are the ones that come back).
void Matcher::noteFailedEnds(int pc, int lo, int hi) {
  if (lo > hi) return;
  Failed& known = failedEnds_[pc];
  if (known.lo <= known.hi && lo <= known.hi + 1 && hi + 1 >= known.lo) {
    known.lo = std::min(known.lo, lo);
    known.hi = std::max(known.hi, hi);
  } else {
    known = Failed{lo, hi};
  }
}

void Matcher::setLoopCapture(int group, int start, int count) {
  caps_[2 * group] = start + count - 1;
  caps_[2 * group + 1] = start + count;
}

bool Matcher::startLoop(const Inst& in, int& pc, int& pos) {
  int start = pos;
  int avail = n_ - pos;
  int count;
  if (in.greedy) {
    count = countRun(in.a, start, std::min(in.max, avail));
    if (count < in.min) return false;
  } else {
    if (avail < in.min || countRun(in.a, start, in.min) < in.min) return false;
    count = in.min;
  }
  if (in.b > 0) {
    push(kRestoreSlot, 0, caps_[2 * in.b], 2 * in.b);
    push(kRestoreSlot, 0, caps_[2 * in.b + 1], 2 * in.b + 1);
    if (count > 0) setLoopCapture(in.b, start, count);
  }
  if (pc == p_.leadLoop && count < in.max) leadEnd_ = start + count;
  bool more = in.greedy ? (!in.possessive && count > in.min) : count < in.max;
  if (more) push(kLoopRetry, pc, start, count);
  pos = start + count;
  ++pc;
  return true;
}

// Resumes a tight loop with one repetition less (greedy) or one more (non-greedy).
bool Matcher::retryLoop(const Frame& f, int& pc, int& pos) {
  const Inst& in = p_.code[f.pc];
  int start = f.pos;
  int k;
  if (in.greedy) {
    k = f.aux - 1;
    // Skip ends whose successor cannot match or was already explored. The end just left
    // failed, and so did every end skipped: later tries jump over them all at once.
    const bool known = memo_.tracks(f.pc + 1);
    const Failed failed = failedEnds_[f.pc];
    while (k >= in.min) {
      const int at = start + k;
      if (known && at >= failed.lo && at <= failed.hi) {
        k = failed.lo - 1 - start;
      } else if ((in.next >= 0 && s_[at] != in.next) || memo_.seen(f.pc + 1, at)) {
        --k;
      } else {
        break;
      }
    }
    if (known) noteFailedEnds(f.pc, start + std::max(k + 1, in.min), start + f.aux);
    if (k < in.min) return false;
    if (k > in.min) push(kLoopRetry, f.pc, start, k);
  } else {
    const ByteSet& members = p_.sets[in.a];
    for (k = f.aux + 1;; ++k) {
      int at = start + k - 1;
      if (at >= n_ || !members[s_[at]]) return false;
      if (k < in.max && memo_.seen(f.pc + 1, start + k)) continue;  // explored already
      // Without the byte its successor needs, one more repetition is the only hope.
      if (in.next < 0 || k >= in.max || at + 1 >= n_ || s_[at + 1] == in.next) break;
    }
    if (k < in.max) push(kLoopRetry, f.pc, start, k);
  }
  if (in.b > 0) {
    // The two frames beneath hold the registers from before the loop.
    size_t base = stack_.size() - (in.greedy ? (k > in.min) : (k < in.max));
    if (k > 0) {
      setLoopCapture(in.b, start, k);
    } else {
      caps_[2 * in.b] = stack_[base - 2].pos;
      caps_[2 * in.b + 1] = stack_[base - 1].pos;
    }
  }
  pos = start + k;
  pc = f.pc + 1;
  return true;
}

}  // namespace kestrix::regex
