// The search of a class run followed by a text ("\w+_t"): the text is found first, the
// match's start back from it and its end forward from the start, by direct loops over
// one-byte characters and by the automaton where a character may be longer. Covered by
// RegexClassRunTest.cpp.
#include <algorithm>
#include <cstring>

#include "regex/RegexErrors.h"
#include "regex/Search.h"

namespace kestrix::regex {

// The starts that can reach an occurrence of the text only grow with the occurrence, so
// the first occurrence that some match ends with gives the leftmost start; the match from
// there ends where the repetition (greedy or not) lets the text follow. Only the words
// around the occurrences are read, never a whole line.
Searcher::Outcome Searcher::scanClassRunCandidates(int from, int& start, int& end) {
  const int len = static_cast<int>(p_.required.size());
  for (int at = from;;) {
    const int hit = nextRequired(at);
    if (hit < 0) return Outcome::NoMatch;
    int readFrom = hit;
    const Outcome back = classRunStart(hit, from, start, readFrom);
    poller_.tick(((hit - at) >> 6) + (std::max(0, hit - readFrom) >> 6) + 1);
    if (back == Outcome::Match) return classRunEnd(start, hit, end);
    if (back == Outcome::GaveUp) return back;
    // Occurrences that end no match: their reads must stay in proportion to the subject.
    classRunMisses_ += hit + len - readFrom;
    if (classRunMisses_ > kOverscanPerByte * static_cast<std::int64_t>(hit) + kOverscanSlack) {
      classRunOn_ = false;
      return Outcome::GaveUp;
    }
    at = hit + 1;
  }
}

// The smallest start at or after `floor` of a match that ends with the occurrence of the
// text at `hit`: the class run before it, as far as the bounds allow. `readFrom` gets the
// lowest byte read.
Searcher::Outcome Searcher::classRunStart(int hit, int floor, int& start, int& readFrom) {
  const ClassRun& run = *p_.classRun;
  const auto* s = reinterpret_cast<const unsigned char*>(s_.data());
  const int limit = run.max == kMaxCount ? floor : std::max(floor, hit - run.max);
  int q = hit;
  while (q > limit && run.bytes[s[q - 1]]) --q;
  if (q > limit && !run.wholeBytes && s[q - 1] >= 0x80) {
    // A byte of a longer character, perhaps: the automaton reads the run.
    const Outcome back =
        backward_->scanBackward(s, n_, hit + static_cast<int>(p_.required.size()), floor, start);
    readFrom = backward_->scannedTo();
    return back;
  }
  readFrom = q > floor ? q - 1 : floor;
  if (hit - q < run.min) return Outcome::NoMatch;
  start = q;
  return Outcome::Match;
}

// Where the match that starts at `start` ends; the text at `hit` ends one. Not greedy, that
// is the end: an earlier occurrence the run reaches would have ended a match itself.
// Greedy, the last occurrence that the run from `start` reaches within the bounds.
Searcher::Outcome Searcher::classRunEnd(int start, int hit, int& end) {
  const ClassRun& run = *p_.classRun;
  const std::string& text = p_.required;
  const int len = static_cast<int>(text.size());
  end = hit + len;
  if (!run.greedy) return Outcome::Match;
  const auto* s = reinterpret_cast<const unsigned char*>(s_.data());
  const int most = static_cast<int>(std::min<std::int64_t>(
      n_, run.max == kMaxCount ? n_ : static_cast<std::int64_t>(start) + run.max));
  int r = hit;
  while (r < most && run.bytes[s[r]]) ++r;
  // Where characters may be longer than a byte, bytes count characters only when the run
  // before the text was read byte by byte too; with an upper bound the automaton decides.
  const bool bounded = run.max != kMaxCount && !run.wholeBytes;
  if (bounded || (r < most && !run.wholeBytes && s[r] >= 0x80)) {
    // A byte of a longer character, perhaps: the automaton, anchored at the start.
    const Outcome forward = forward_->scanForward(s, n_, start, n_, false, end);
    // A match runs from `start` to the occurrence's end at least.
    if (forward == Outcome::NoMatch) throwRunError(kCorruptedProgram);
    return forward;
  }
  poller_.tick(((r - hit) >> 6) + 1);
  // The run reaches every position in [hit, r]; the last one the text begins at ends it.
  for (int at = std::min(r, n_ - len); at > hit; --at) {
    if (s[at] == static_cast<unsigned char>(text[0]) &&
        std::memcmp(s + at, text.data(), len) == 0) {
      end = at + len;
      break;
    }
  }
  return Outcome::Match;
}

}  // namespace kestrix::regex
