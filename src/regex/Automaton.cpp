// Lazy automaton: each state is the ordered list of instructions that threads continue
// from; a transition runs their closure for the next byte (the assertions see the bytes on
// both sides), keeps the leftmost-first priority by cutting every thread below a match,
// and steps over the byte. Covered by RegexDifferentialTest.cpp
// (AutomatonAgreesWithBacktracker) and the dialect tests, which run through it.
#include "regex/Automaton.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace kestrix::regex {
namespace {

// The cache holds at most this many states or bytes before it is cleared.
constexpr size_t kMaxStates = 4096;
constexpr size_t kMaxCacheBytes = size_t{16} << 20;
// A scan gives up after this many clears that each came before kMinBytesPerState bytes
// per state were scanned: the automaton is then slower than the backtracker.
constexpr int kMaxThrash = 3;
constexpr int kMinBytesPerState = 10;
constexpr int kChunk = 4096;

// Transition values: the next state, whether it has no threads but may start one (idle),
// whether a match ends before the byte
// and whether it is the dead state. An unknown transition (-1) has every flag set, so one
// test sends it to the slow path with the others.
constexpr int kMatchBit = 1;
constexpr int kIdleBit = 2;
constexpr int kDeadBit = 4;
constexpr int kFlags = kMatchBit | kIdleBit | kDeadBit;
constexpr int kStateShift = 3;

bool holds(Assertion a, int left, int right) {
  enum { kBoundary, kLf, kCr, kOther };
  switch (a) {
    case Assertion::InputStart:
      return left == kBoundary;
    case Assertion::InputEnd:
      return right == kBoundary;
    case Assertion::LineStart:
      return left == kBoundary || left == kLf || (left == kCr && right != kLf);
    case Assertion::LineEnd:
      return right == kBoundary || right == kCr || (right == kLf && left != kCr);
  }
  return false;
}

}  // namespace

Automaton::Automaton(const Program& program, const std::vector<Inst>& code, bool forward,
                     Poller& poller)
    : p_(program),
      code_(code),
      forward_(forward),
      poller_(poller),
      mark_(code.size(), 0),
      prefixScan_(program.prefix.size() >= 2 && program.prefixFold.empty() ? program.prefix
                                                                           : std::string()) {
  buildClasses();
  clearCache();
  if (program.firstCount <= 2) {
    const auto& first = program.firstSet;
    auto one = std::find(first.begin(), first.end(), 1);
    auto two = one == first.end() ? one : std::find(one + 1, first.end(), 1);
    firstByte_[0] = static_cast<char>(one - first.begin());
    firstByte_[1] = two == first.end() ? firstByte_[0] : static_cast<char>(two - first.begin());
  }
}

// Bytes that every instruction treats alike share a class; with assertions, LF and CR
// get classes of their own.
void Automaton::buildClasses() {
  const bool contexts = p_.automaton->hasAssertions;
  std::vector<int> sets, chars;
  for (const Inst& in : code_) {
    if (in.op == Op::Set) sets.push_back(in.a);
    if (in.op == Op::Char) chars.push_back(in.a);
  }
  for (auto* list : {&sets, &chars}) {
    std::sort(list->begin(), list->end());
    list->erase(std::unique(list->begin(), list->end()), list->end());
  }
  std::unordered_map<std::string, int> bySignature;
  for (int c = 0; c < 256; ++c) {
    std::string signature;
    for (int set : sets) signature += static_cast<char>(p_.sets[set][c]);
    for (int ch : chars) signature += static_cast<char>(ch == c);
    if (contexts) signature += static_cast<char>(c == '\n' ? 1 : c == '\r' ? 2 : 0);
    auto [at, added] = bySignature.try_emplace(signature, classes_);
    if (added) {
      ++classes_;
      representative_.push_back(c);
      classContext_.push_back(!contexts ? kBoundary : c == '\n' ? kLf : c == '\r' ? kCr : kOther);
    }
    classOf_[c] = static_cast<std::uint8_t>(at->second);
  }
  stride_ = classes_ + 1;
}

void Automaton::clearCache() {
  states_.clear();
  ids_.clear();
  table_.clear();
  cacheBytes_ = 0;
  for (auto& row : starts_) std::fill(std::begin(row), std::end(row), -1);
  dead_ = -1;
  dead_ = stateFor({}, kBoundary, false);
}

int Automaton::stateFor(const std::vector<int>& kernel, int context, bool restart) {
  if (dead_ >= 0 && kernel.empty() && !restart) return dead_;
  std::string key(2 + 4 * kernel.size(), '\0');
  key[0] = static_cast<char>(context);
  key[1] = static_cast<char>(restart);
  if (!kernel.empty()) std::memcpy(&key[2], kernel.data(), 4 * kernel.size());
  if (auto at = ids_.find(key); at != ids_.end()) return at->second;
  const size_t bytes = 2 * key.size() + 4 * stride_ + 64;
  if (states_.size() >= kMaxStates || cacheBytes_ + bytes > kMaxCacheBytes) {
    ++resets_;
    clearCache();
  }
  cacheBytes_ += bytes;
  const int id = static_cast<int>(states_.size());
  states_.push_back(State{kernel, context, restart});
  table_.resize(table_.size() + stride_, -1);
  ids_.emplace(std::move(key), id);
  return id;
}

int Automaton::startState(int context, bool restart) {
  int& id = starts_[restart ? 1 : 0][context];
  if (id < 0) {
    const int made =
        stateFor(forward_ && restart ? std::vector<int>{} : std::vector<int>{0}, context, restart);
    // A clear while making it drops the slot with the rest of the cache.
    starts_[restart ? 1 : 0][context] = made;
    return made;
  }
  return id;
}

int Automaton::computeTransition(int state, int column) {
  const State st = states_[state];
  const bool boundary = column == classes_;
  const int near = boundary ? static_cast<int>(kBoundary) : classContext_[column];
  const int left = forward_ ? st.context : near;
  const int right = forward_ ? near : st.context;
  std::vector<int> consuming;
  const bool matched = closure(st.kernel, st.restart, left, right, consuming);
  std::vector<int> kernel;
  if (!boundary) {
    const int c = representative_[column];
    for (int pc : consuming) {
      const Inst& in = code_[pc];
      if (in.op == Op::Char ? in.a == c : p_.sets[in.a][c] != 0) kernel.push_back(pc + 1);
    }
    if (!forward_) std::sort(kernel.begin(), kernel.end());
  }
  const bool restart = forward_ && st.restart && !matched && !boundary;
  const int resets = resets_;
  const int next =
      boundary ? dead_ : stateFor(kernel, p_.automaton->hasAssertions ? near : 0, restart);
  const bool idle = kernel.empty() && restart && !p_.canBeEmpty;
  const int value = ((next * stride_) << kStateShift) | (idle ? kIdleBit : 0) |
                    (matched ? kMatchBit : 0) | (next == dead_ ? kDeadBit : 0);
  if (resets == resets_) table_[static_cast<size_t>(state) * stride_ + column] = value;
  return value;
}

// Follows the instructions that consume nothing, from each kernel thread in priority order
// (and from the start when a match may begin here). Collects the byte-consuming ones into
// `consuming`; returns whether a match ends here. Forwards, the first match cuts every
// thread of lower priority.
bool Automaton::closure(const std::vector<int>& kernel, bool restart, int left, int right,
                        std::vector<int>& consuming) {
  if (++generation_ == INT_MAX) {
    std::fill(mark_.begin(), mark_.end(), 0);
    generation_ = 1;
  }
  bool matched = false;
  auto follow = [&](int root) {
    work_.clear();
    work_.push_back(root);
    while (!work_.empty()) {
      const int pc = work_.back();
      work_.pop_back();
      if (mark_[pc] == generation_) continue;
      mark_[pc] = generation_;
      const Inst& in = code_[pc];
      switch (in.op) {
        case Op::Match:
          matched = true;
          if (forward_) return true;
          break;
        case Op::Char:
        case Op::Set:
          consuming.push_back(pc);
          break;
        case Op::Split:
          work_.push_back(in.b);
          work_.push_back(in.a);
          break;
        case Op::Jmp:
          work_.push_back(in.a);
          break;
        case Op::Assert:
          if (holds(in.assertion, left, right)) work_.push_back(pc + 1);
          break;
        default:
          work_.push_back(pc + 1);
          break;
      }
    }
    return false;
  };
  for (int pc : kernel) {
    if (follow(pc)) return true;
  }
  if (restart) follow(0);
  return matched;
}

int Automaton::contextOf(const unsigned char* s, int n, int pos) const {
  if (!p_.automaton->hasAssertions) return kBoundary;
  const int at = forward_ ? pos - 1 : pos;
  if (at < 0 || at >= n) return kBoundary;
  return s[at] == '\n' ? kLf : s[at] == '\r' ? kCr : kOther;
}

// The next position at or after `pos` (before `stop`) where a match can begin.
int Automaton::skipToCandidate(const unsigned char* s, int pos, int stop) {
  const char* base = reinterpret_cast<const char*>(s);
  const std::string& prefix = p_.prefix;
  // A case-sensitive prefix of two bytes or more: its two least common bytes pick the
  // candidates, sixteen positions at a time.
  if (!prefixScan_.text().empty()) {
    const char* hit = prefixScan_.find(base + pos, base + stop);
    return hit ? static_cast<int>(hit - base) : stop;
  }
  if (p_.firstCount > 2 || p_.firstCount == 0) {
    while (pos < stop && !p_.firstSet[s[pos]]) ++pos;
    return pos;
  }
  for (;; ++pos) {
    const char* hit = p_.firstCount == 1
                          ? findByte(base + pos, base + stop, firstByte_[0])
                          : pair_.next(base + pos, base + stop, firstByte_[0], firstByte_[1]);
    pos = static_cast<int>(hit - base);
    // The prefix's other bytes are checked before the automaton starts.
    if (pos == stop || prefix.size() < 2) return pos;
    if (pos + static_cast<int>(prefix.size()) > stop) return stop;
    size_t i = 1;
    const std::string& fold = p_.prefixFold.empty() ? prefix : p_.prefixFold;
    while (i < prefix.size() && (base[pos + i] == prefix[i] || base[pos + i] == fold[i])) {
      ++i;
    }
    if (i == prefix.size()) return pos;
  }
}

bool Automaton::thrashing(int scanned) {
  if (resets_ == seenResets_) return false;
  const int since = scanned - resetAt_;
  if (since < kMinBytesPerState * static_cast<int>(kMaxStates) * (resets_ - seenResets_)) {
    ++thrash_;
  }
  seenResets_ = resets_;
  resetAt_ = scanned;
  return thrash_ >= kMaxThrash;
}

void Automaton::beginScan() {
  resets_ = seenResets_ = thrash_ = 0;
  resetAt_ = 0;
}

// The scans keep a state as its row in the table (id * stride_), so that a transition value
// is the next row with no multiply on the path from one byte to the next.
Automaton::Result Automaton::scanForward(const unsigned char* s, int n, int from, int stop,
                                         bool restart, int& end) {
  beginScan();
  int row = startState(contextOf(s, n, from), restart) * stride_;
  int last = -1;
  for (int p = from; p < stop;) {
    const int chunkStart = p;
    const int chunkEnd = std::min(stop, p + kChunk);
    const int* table = table_.data();
    while (p < chunkEnd) {
      const int column = classOf_[s[p]];
      int t = table[row + column];
      if ((t & kFlags) == 0) {
        row = t >> kStateShift;
        ++p;
        continue;
      }
      if (t < 0) t = computeTransition(row / stride_, column);
      if (t & kMatchBit) last = p;
      row = t >> kStateShift;
      ++p;
      if (t & kDeadBit) {
        end = last;
        scannedTo_ = p;
        return last >= 0 ? Result::Match : Result::NoMatch;
      }
      if ((t & kIdleBit) && p < stop) {
        const int q = skipToCandidate(s, p, stop);
        if (q != p) {
          p = q;
          row = startState(contextOf(s, n, p), true) * stride_;
        }
      }
      table = table_.data();  // a new state may have moved the table
    }
    poller_.tick(((p - chunkStart) >> 6) + 1);
    if (thrashing(p - from)) return Result::GaveUp;
  }
  const int t = transition(row / stride_, stop < n ? classOf_[s[stop]] : classes_);
  if (t & kMatchBit) last = stop;
  end = last;
  scannedTo_ = stop;
  return last >= 0 ? Result::Match : Result::NoMatch;
}

Automaton::Result Automaton::scanBackward(const unsigned char* s, int n, int end, int floor,
                                          int& start) {
  beginScan();
  int row = startState(contextOf(s, n, end), false) * stride_;
  int best = -1;
  for (int q = end; q > floor;) {
    const int chunkStart = q;
    const int chunkEnd = std::max(floor, q - kChunk);
    const int* table = table_.data();
    while (q > chunkEnd) {
      const int column = classOf_[s[q - 1]];
      int t = table[row + column];
      // Backwards no state is idle, and a match may start at almost every byte of a run
      // (every start of "\w+_t" inside a word): only unknown and dead transitions leave
      // this path.
      if ((t & kDeadBit) == 0) {
        best = (t & kMatchBit) ? q : best;
        row = t >> kStateShift;
        --q;
        continue;
      }
      if (t < 0) t = computeTransition(row / stride_, column);
      if (t & kMatchBit) best = q;
      row = t >> kStateShift;
      --q;
      if (t & kDeadBit) {
        start = best;
        scannedTo_ = q;
        return best >= 0 ? Result::Match : Result::NoMatch;
      }
      table = table_.data();
    }
    poller_.tick(((chunkStart - q) >> 6) + 1);
    if (thrashing(end - q)) return Result::GaveUp;
  }
  const int t = transition(row / stride_, floor > 0 ? classOf_[s[floor - 1]] : classes_);
  if (t & kMatchBit) best = floor;
  start = best;
  scannedTo_ = floor;
  return best >= 0 ? Result::Match : Result::NoMatch;
}

}  // namespace kestrix::regex
