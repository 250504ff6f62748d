// The lazy automaton: a DFA over byte classes built on demand from AutomatonCode, which
// finds where the leftmost-first match ends (forward) and where it starts (backward)
// without backtracking. Its states live in a bounded cache that is cleared when full.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "regex/ByteScan.h"
#include "regex/Matcher.h"

namespace kestrix::regex {

class Automaton {
 public:
  enum class Result { Match, NoMatch, GaveUp };

  // `program` (with an automaton) and `poller` must outlive the object.
  Automaton(const Program& program, const std::vector<Inst>& code, bool forward, Poller& poller);

  // Forgets the scan state of the previous subject.
  void setSubject() { pair_ = TwoByteScan(); }

  // Forward: runs over s[from, stop) and looks at s[stop] (or the end) for a last match
  // end. With `restart` a match may begin at any position, as in the search loop; the
  // match found is the leftmost-first one, `end` its end. GaveUp when the cache thrashes.
  Result scanForward(const unsigned char* s, int n, int from, int stop, bool restart, int& end);
  // Where the last scan stopped reading: forward, past the end of its match when longer
  // threads of higher priority ran on before they died; backward, the lowest byte read.
  int scannedTo() const { return scannedTo_; }
  // Backward from `end` down to `floor`: the smallest start of a match that ends at `end`.
  Result scanBackward(const unsigned char* s, int n, int end, int floor, int& start);

 private:
  // Byte contexts for the assertions: the subject's boundary, LF, CR, any other byte.
  enum Context : std::uint8_t { kBoundary, kLf, kCr, kOther };

  void buildClasses();
  int stateFor(const std::vector<int>& kernel, int context, bool restart);
  int startState(int context, bool restart);
  // The transition of `state` on byte class `column` (the boundary column: none), computed
  // when unknown. Returns the next state's row (id * stride_) shifted left past the flags
  // (a match ends before the byte; the next state is idle; it is the dead state).
  int transition(int state, int column) {
    const int t = table_[static_cast<size_t>(state) * stride_ + column];
    return t >= 0 ? t : computeTransition(state, column);
  }
  int computeTransition(int state, int column);
  bool closure(const std::vector<int>& kernel, bool restart, int left, int right,
               std::vector<int>& consuming);
  void clearCache();
  int contextOf(const unsigned char* s, int n, int pos) const;
  int skipToCandidate(const unsigned char* s, int pos, int stop);
  void beginScan();
  // True when the cache was cleared too often for the bytes `scanned` so far.
  bool thrashing(int scanned);

  const Program& p_;
  const std::vector<Inst>& code_;
  const bool forward_;
  Poller& poller_;

  std::uint8_t classOf_[256] = {};
  std::vector<int> representative_;  // a byte of each class
  std::vector<std::uint8_t> classContext_;
  int classes_ = 0;
  int stride_ = 0;  // columns per state: the classes and the boundary

  struct State {
    std::vector<int> kernel;  // instructions to continue from, in priority order
    int context;              // of the byte before (forward) or after (backward)
    bool restart;             // a new match may still begin here
  };
  std::vector<State> states_;
  std::unordered_map<std::string, int> ids_;
  std::vector<int> table_;
  int dead_ = -1;
  int starts_[2][4];
  std::vector<int> mark_;  // closure visit marks, by generation
  int generation_ = 0;
  std::vector<int> work_;
  size_t cacheBytes_ = 0;
  char firstByte_[2] = {};  // the bytes that can begin a match, when there are one or two
  TwoByteScan pair_;
  TextScan prefixScan_;  // the prefix, when case-sensitive and of two bytes or more
  int resets_ = 0;       // cache clears during the current scan
  int seenResets_ = 0;
  int resetAt_ = 0;  // bytes scanned at the last clear
  int thrash_ = 0;
  int scannedTo_ = 0;
};

}  // namespace kestrix::regex
