// The search loop of exec/execNext: picks candidate start positions with the program's
// shortcuts (anchor, required text, prefix, first bytes) and runs the matcher at each.
#pragma once

#include <string_view>

#include "regex/Matcher.h"

namespace kestrix::regex {

// Scan state for the next occurrence of either of two bytes in one subject.
class TwoByteScan {
 public:
  // The first `a` or `b` in [at, end), or `end`. Calls on one subject move forward.
  const char* next(const char* at, const char* end, char a, char b);

 private:
  const char* from_ = nullptr;   // where the last call started
  const char* nextA_ = nullptr;  // the first `a` at or after from_ (null: not searched)
  const char* nextB_ = nullptr;
  char a_ = 0, b_ = 0;
};

class Searcher {
 public:
  // `program` and `poller` must outlive the searcher.
  Searcher(const Program& program, Poller& poller);

  // Binds the subject of the following searches; it must stay alive while they run.
  void setSubject(std::string_view subject);

  // Finds the leftmost match that starts at or after the 0-based offset `from`.
  // Returns true and fills `regs` on success. Throws what Matcher::matchAt throws.
  bool find(int from, Registers& regs);

 private:
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
  int requiredAt_ = -1;        // where the required text was last found
  int requiredMissFrom_ = -1;  // the required text is absent from this offset on (-1: unknown)
};

}  // namespace kestrix::regex
