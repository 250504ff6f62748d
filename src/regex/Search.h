// The search loop of exec/execNext: picks candidate start positions with the program's
// shortcuts (anchor, required text, prefix, first bytes) and runs the matcher at each.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "regex/Automaton.h"
#include "regex/ByteScan.h"
#include "regex/Matcher.h"

namespace kestrix::regex {

class Searcher {
 public:
  // `program` and `poller` must outlive the searcher. `memoBytes` bounds the matcher's memo.
  Searcher(const Program& program, Poller& poller, std::size_t memoBytes = Memo::kMemoBudgetBytes);

  // Binds the subject of the following searches; it must stay alive while they run.
  void setSubject(std::string_view subject);

  // Finds the leftmost match that starts at or after the 0-based offset `from`.
  // Returns true and fills `regs` on success: groups 1..14 only after fillGroups when
  // groupsPending() says so. Throws what Matcher::matchAt throws.
  bool find(int from, Registers& regs);
  // Counts the matches at or after `from`, each search starting where the previous match
  // ended, as repeated finds would (for expressions whose matches are never empty). Only
  // where each match ends is needed, so the automaton runs forwards alone.
  std::int64_t countMatches(int from);
  // Whether the last match found still lacks its groups 1..14 (the automaton found it).
  bool groupsPending() const { return groupsPending_; }
  // Whether the last match found still lacks its start (regs[0]): the automaton found where
  // it ends, and a match that cannot be empty needs no start for the next search.
  bool startPending() const { return startPending_; }
  // Fills the start of the last match, whose end is in `regs`, by running the automaton
  // backwards. Throws what Matcher::matchAt throws.
  void fillStart(Registers& regs);
  // Fills groups 1..14 of the last match, whose whole-match registers are in `regs` (the
  // start filled first when pending), by running the backtracker at its start. Throws what
  // Matcher::matchAt throws.
  void fillGroups(Registers& regs);
  // Lets the automaton find matches where the expression allows it (the default), or not:
  // tests compare both strategies.
  void allowAutomaton(bool allow) { automatonAllowed_ = allow; }

 private:
  using Outcome = Automaton::Result;
  Outcome findWithAutomaton(int from, Registers& regs);
  // Where the leftmost-first match at or after `from` ends; `start` is a floor for its
  // start (where the scan began).
  Outcome findEndWithAutomaton(int from, int& start, int& end);
  Outcome scanCandidateLines(int from, int& start, int& end);
  Outcome scanClassRunCandidates(int from, int& start, int& end);
  Outcome classRunStart(int hit, int floor, int& start, int& readFrom);
  Outcome classRunEnd(int start, int hit, int& end);
  Outcome checkOverscan(int end);
  int lineEndAfter(int pos);
  // Where the required text next occurs at or after `from`, or -1.
  int nextRequired(int from);
  bool requiredPresent(int from);
  bool tryAt(int pos, Registers& regs);
  // The next start worth trying after a failed try at `failed`.
  int nextStart(int failed) const;
  bool scanEveryPosition(int from, Registers& regs);
  bool scanPrefix(int from, Registers& regs);
  bool scanFoldedPrefix(int from, Registers& regs);
  bool scanOneByte(int from, Registers& regs);
  bool scanTwoBytes(int from, Registers& regs);
  bool scanFirstSet(int from, Registers& regs);

  const Program& p_;
  std::string_view s_;
  int n_ = 0;
  Poller& poller_;
  Matcher matcher_;
  TwoByteScan scan_;
  TextScan required_;
  std::optional<Automaton> forward_;  // present when the program has an automaton
  std::optional<Automaton> backward_;
  bool automatonAllowed_ = true;
  bool automatonOn_ = false;  // for the current subject; off once the automaton gave up
  bool groupsPending_ = false;
  bool startPending_ = false;
  int startFloor_ = 0;         // the pending start is at or after this offset
  int requiredAt_ = -1;        // where the required text was last found
  int requiredMissFrom_ = -1;  // the required text is absent from this offset on (-1: unknown)
  // Bytes the automaton read past the ends of the matches it found in this subject; the
  // backtracker takes over when they exceed kOverscanPerByte per byte up to the last match
  // end, plus kOverscanSlack.
  std::int64_t overscan_ = 0;
  static constexpr std::int64_t kOverscanPerByte = 4;
  static constexpr std::int64_t kOverscanSlack = std::int64_t{1} << 16;
  // The required text is found first and the start back from it (Program::classRun),
  // until the backward reads at occurrences that end no match outweigh the subject
  // searched so far as the overscan does; then the forward scans take over.
  bool classRunOn_ = false;
  std::int64_t classRunMisses_ = 0;
  int lineEndFrom_ = -1;  // every position in [lineEndFrom_, lineEnd_] has its line
  int lineEnd_ = -1;      // ending at lineEnd_ (-1: not known)
};

}  // namespace kestrix::regex
