// Search loop: a class run before a text around the text's occurrences (ClassRunSearch.cpp);
// where the expression allows, the lazy automaton (after the required text picked the
// candidate lines); otherwise, or when the automaton gives up on a subject,
// candidate positions from memchr/memmem-class scans, then the backtracking matcher.
// Covered by RegexDialectTest.cpp (SearchLoopAndExecNext) and RegexDifferentialTest.cpp.
#include "regex/Search.h"

#include <algorithm>
#include <cstring>

#include "regex/RegexErrors.h"

namespace kestrix::regex {
Searcher::Searcher(const Program& program, Poller& poller, std::size_t memoBytes)
    : p_(program),
      poller_(poller),
      matcher_(program, poller, memoBytes),
      required_(program.required) {
  if (program.automaton) {
    forward_.emplace(program, program.automaton->forward, true, poller);
    backward_.emplace(program, program.automaton->reverse, false, poller);
  }
}

void Searcher::setSubject(std::string_view subject) {
  scan_ = TwoByteScan();
  s_ = subject;
  n_ = static_cast<int>(subject.size());
  requiredAt_ = -1;
  requiredMissFrom_ = -1;
  lineEndFrom_ = lineEnd_ = -1;
  overscan_ = 0;
  automatonOn_ = forward_.has_value();
  classRunOn_ = automatonOn_ && p_.classRun.has_value();
  classRunMisses_ = 0;
  if (forward_) forward_->setSubject();
  groupsPending_ = false;
  startPending_ = false;
  matcher_.setSubject(subject);
}

bool Searcher::find(int from, Registers& regs) {
  groupsPending_ = false;
  startPending_ = false;
  if (from > n_) return false;
  if (automatonOn_ && automatonAllowed_) {
    const Outcome outcome = findWithAutomaton(from, regs);
    if (outcome != Outcome::GaveUp) return outcome == Outcome::Match;
    automatonOn_ = false;  // the backtracker is faster on this subject
  }
  if (p_.anchored) return tryAt(from, regs);
  if (!p_.required.empty() && !requiredPresent(from)) return false;
  if (p_.canBeEmpty) return scanEveryPosition(from, regs);
  if (!p_.prefix.empty()) {
    return p_.prefixFold.empty() ? scanPrefix(from, regs) : scanFoldedPrefix(from, regs);
  }
  if (p_.firstCount == 1) return scanOneByte(from, regs);
  if (p_.firstCount == 2) return scanTwoBytes(from, regs);
  return scanFirstSet(from, regs);
}

// The automaton finds where the match ends; its start (found by running it backwards from
// there) and groups wait until someone asks for them. The start of a match that may be
// empty is found at once: the next search starts one further after an empty match.
Searcher::Outcome Searcher::findWithAutomaton(int from, Registers& regs) {
  int start = from, end = -1;
  const Outcome found = findEndWithAutomaton(from, start, end);
  if (found != Outcome::Match) return found;
  regs.fill(-1);
  regs[1] = end;
  startFloor_ = start;
  startPending_ = true;
  groupsPending_ = p_.groupCount > 0;
  if (p_.canBeEmpty) fillStart(regs);
  return Outcome::Match;
}

void Searcher::fillStart(Registers& regs) {
  if (!startPending_) return;
  startPending_ = false;
  const int end = regs[1];
  const auto* s = reinterpret_cast<const unsigned char*>(s_.data());
  int start = -1;
  const Outcome outcome = backward_->scanBackward(s, n_, end, startFloor_, start);
  // A match ends at `end`, so one starts at or after the floor.
  if (outcome == Outcome::NoMatch) throwRunError(kCorruptedProgram);
  if (outcome == Outcome::Match) {
    regs[0] = start;
    return;
  }
  // The automaton gave up: the backtracker finds the same match from the floor.
  automatonOn_ = false;
  if (!find(startFloor_, regs) || regs[1] != end) throwRunError(kCorruptedProgram);
}

Searcher::Outcome Searcher::findEndWithAutomaton(int from, int& start, int& end) {
  if (!p_.required.empty() && !requiredPresent(from)) return Outcome::NoMatch;
  if (classRunOn_) {
    const Outcome found = scanClassRunCandidates(from, start, end);
    // Its reads past a match stay inside the class run that ends it: no overscan to weigh.
    if (classRunOn_) return found;
  }
  start = from;
  Outcome found;
  if (p_.lineBound && !p_.required.empty() && !p_.anchored) {
    found = scanCandidateLines(from, start, end);
  } else {
    const auto* s = reinterpret_cast<const unsigned char*>(s_.data());
    found = forward_->scanForward(s, n_, from, n_, !p_.anchored, end);
  }
  return found == Outcome::Match ? checkOverscan(end) : found;
}

// Each search starts where the last match ended, so the bytes a scan read past its match
// are read again by the next one. Threads of higher priority than the match that run far
// on before they die (as "a*b" in "a*b|a" over a long run of a's) would make the search
// for all matches quadratic; once those bytes outweigh the subject searched so far, the
// backtracker takes over: its memo keeps every (instruction, position) failure, so it
// never explores them twice.
Searcher::Outcome Searcher::checkOverscan(int end) {
  overscan_ += forward_->scannedTo() - end;
  if (overscan_ <= kOverscanPerByte * static_cast<std::int64_t>(end) + kOverscanSlack) {
    return Outcome::Match;
  }
  return Outcome::GaveUp;
}

std::int64_t Searcher::countMatches(int from) {
  std::int64_t count = 0;
  Registers regs{};
  while (from <= n_) {
    if (automatonOn_ && automatonAllowed_) {
      int start = from, end = -1;
      const Outcome outcome = findEndWithAutomaton(from, start, end);
      if (outcome == Outcome::GaveUp) {
        automatonOn_ = false;  // the backtracker is faster on this subject
        continue;
      }
      if (outcome == Outcome::NoMatch) break;
      if (end <= from) throwRunError(kCorruptedProgram);  // matches are never empty here
      from = end;
    } else {
      if (!find(from, regs)) break;
      from = regs[1] + (regs[1] == regs[0] ? 1 : 0);
    }
    ++count;
  }
  groupsPending_ = startPending_ = false;
  return count;
}

// Matches never cross a line break and each contains the required text: only the lines
// that hold it are run through the automaton. `start` is set to where the line of the
// match begins (or `from`).
Searcher::Outcome Searcher::scanCandidateLines(int from, int& start, int& end) {
  const auto* s = reinterpret_cast<const unsigned char*>(s_.data());
  const char* base = s_.data();
  for (int at = from; at < n_;) {
    const int hit = nextRequired(at);
    if (hit < 0) return Outcome::NoMatch;
    int lineStart = at;
    for (char brk : {'\n', '\r'}) {
      const void* p = memrchr(base + at, brk, hit - at);
      if (p)
        lineStart = std::max(lineStart, static_cast<int>(static_cast<const char*>(p) - base) + 1);
    }
    const int lineEnd = lineEndAfter(hit);
    const Outcome outcome = forward_->scanForward(s, n_, lineStart, lineEnd, true, end);
    if (outcome == Outcome::GaveUp) return outcome;
    if (outcome == Outcome::Match) {
      start = lineStart;
      return outcome;
    }
    at = lineEnd + 1;
  }
  return Outcome::NoMatch;
}

// Where the line that holds `pos` ends (its first CR or LF at or after `pos`, or the end).
// Remembered: the required text may occur many times in one long line, and each search
// for its end would otherwise run to the end of the line again.
int Searcher::lineEndAfter(int pos) {
  if (pos < lineEndFrom_ || pos > lineEnd_) {
    const char* base = s_.data();
    const char* lf = findByte(base + pos, base + n_, '\n');
    lineEnd_ = static_cast<int>(findByte(base + pos, lf, '\r') - base);
    lineEndFrom_ = pos;
    poller_.tick(((lineEnd_ - pos) >> 6) + 1);
  }
  return lineEnd_;
}

int Searcher::nextRequired(int from) {
  return requiredPresent(from) ? requiredAt_ : -1;
}

void Searcher::fillGroups(Registers& regs) {
  fillStart(regs);
  if (!groupsPending_) return;
  groupsPending_ = false;
  const int end = regs[1];
  if (!matcher_.matchAt(regs[0], regs) || regs[1] != end) throwRunError(kCorruptedProgram);
}

// Whether the required text occurs at or after `from`; remembers the last answer, since
// execNext asks again with growing offsets.
bool Searcher::requiredPresent(int from) {
  if (requiredAt_ >= from) return true;
  if (requiredMissFrom_ >= 0 && from >= requiredMissFrom_) return false;
  if (n_ - from < static_cast<int>(p_.required.size())) return false;
  const char* hit = required_.find(s_.data() + from, s_.data() + n_);
  if (!hit) {
    requiredMissFrom_ = from;
    return false;
  }
  requiredAt_ = static_cast<int>(hit - s_.data());
  return true;
}

bool Searcher::tryAt(int pos, Registers& regs) {
  return matcher_.matchAt(pos, regs);
}

int Searcher::nextStart(int failed) const {
  return std::max(failed + 1, matcher_.leadEnd());
}

bool Searcher::scanEveryPosition(int from, Registers& regs) {
  for (int pos = from; pos <= n_; ++pos) {
    if (tryAt(pos, regs)) return true;
  }
  return false;
}

bool Searcher::scanPrefix(int from, Registers& regs) {
  const char* base = s_.data();
  const std::string& prefix = p_.prefix;
  for (int pos = from; pos < n_;) {
    const char* hit =
        static_cast<const char*>(memmem(base + pos, n_ - pos, prefix.data(), prefix.size()));
    if (!hit) return false;
    pos = static_cast<int>(hit - base);
    if (tryAt(pos, regs)) return true;
    ++pos;
  }
  return false;
}

// Case-insensitive prefix: scans for its least common byte (either case) and checks the
// whole prefix around each hit before running the matcher. The subject is never copied.
bool Searcher::scanFoldedPrefix(int from, Registers& regs) {
  const std::string& text = p_.prefix;
  const std::string& fold = p_.prefixFold;
  const int len = static_cast<int>(text.size());
  int key = 0;
  for (int i = 1; i < len; ++i) {
    if (commonness(text[i]) > commonness(text[key])) key = i;
  }
  const char* base = s_.data();
  const char* end = base + n_;
  if (n_ - from < len) return false;
  for (const char* at = base + from + key; at < end;) {
    const char* hit = scan_.next(at, end, text[key], fold[key]);
    if (hit == end) return false;
    int start = static_cast<int>(hit - base) - key;
    at = hit + 1;
    poller_.tick();
    if (start + len > n_) return false;
    bool same = true;
    for (int i = 0; i < len && same; ++i)
      same = base[start + i] == text[i] || base[start + i] == fold[i];
    if (same && tryAt(start, regs)) return true;
  }
  return false;
}

bool Searcher::scanOneByte(int from, Registers& regs) {
  char c =
      static_cast<char>(std::find(p_.firstSet.begin(), p_.firstSet.end(), 1) - p_.firstSet.begin());
  const char* base = s_.data();
  const char* end = base + n_;
  for (const char* at = base + from; at < end;) {
    const char* hit = findByte(at, end, c);
    if (hit == end) return false;
    if (tryAt(static_cast<int>(hit - base), regs)) return true;
    at = base + nextStart(static_cast<int>(hit - base));
  }
  return false;
}

bool Searcher::scanTwoBytes(int from, Registers& regs) {
  auto first = std::find(p_.firstSet.begin(), p_.firstSet.end(), 1);
  auto second = std::find(first + 1, p_.firstSet.end(), 1);
  char a = static_cast<char>(first - p_.firstSet.begin());
  char b = static_cast<char>(second - p_.firstSet.begin());
  const char* base = s_.data();
  const char* end = base + n_;
  for (const char* at = base + from; at < end;) {
    const char* hit = scan_.next(at, end, a, b);
    if (hit == end) return false;
    if (tryAt(static_cast<int>(hit - base), regs)) return true;
    at = base + nextStart(static_cast<int>(hit - base));
  }
  return false;
}

bool Searcher::scanFirstSet(int from, Registers& regs) {
  const auto* s = reinterpret_cast<const unsigned char*>(s_.data());
  const ByteSet& first = p_.firstSet;
  for (int pos = from; pos < n_;) {
    if (!first[s[pos]]) {
      ++pos;
      continue;
    }
    if (tryAt(pos, regs)) return true;
    pos = nextStart(pos);
  }
  return false;
}

}  // namespace kestrix::regex
