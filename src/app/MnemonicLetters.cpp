// Mnemonic letters of captions: reading them and choosing free ones.
#include "app/MnemonicLetters.h"

#include <algorithm>
#include <map>
#include <set>

#include "text/CaseFold.h"
#include "text/CharClass.h"

namespace kestrix::app {
namespace {

using Positions = std::vector<std::ptrdiff_t>;

bool isLetter(char16_t c) {
  return text::isLetterDigitOrMark(c);
}

char16_t lower(char16_t c) {
  const char32_t folded = text::simpleFold(c);
  return folded <= 0xFFFF ? static_cast<char16_t>(folded) : c;
}

bool atWordStart(std::u16string_view caption, std::size_t i) {
  return i == 0 || !isLetter(caption[i - 1]);
}

// The letter positions of `caption`, word starts first, each group left to right.
Positions letterPositions(std::u16string_view caption) {
  Positions positions;
  for (const bool wordStart : {true, false})
    for (std::size_t i = 0; i < caption.size(); ++i)
      if (isLetter(caption[i]) && wordStart == atWordStart(caption, i))
        positions.push_back(static_cast<std::ptrdiff_t>(i));
  return positions;
}

// The letter positions of `caption`, best first: the letters least in demand (fewest
// occurrences in `contested`), word starts before the rest among equals.
Positions candidatePositions(std::u16string_view caption, std::u16string_view contested) {
  Positions positions = letterPositions(caption);
  const auto demand = [&](std::ptrdiff_t at) {
    return std::count(contested.begin(), contested.end(), lower(caption[at]));
  };
  std::stable_sort(positions.begin(), positions.end(),
                   [&](std::ptrdiff_t a, std::ptrdiff_t b) { return demand(a) < demand(b); });
  return positions;
}

// A caption waiting for a letter: where a mark may go and where it went.
struct Slot {
  std::u16string_view caption;
  Positions positions;  // candidate positions, best first
  std::ptrdiff_t chosen = -1;
  char16_t letterAt(std::ptrdiff_t at) const { return lower(caption[at]); }
};

// Finds letters for as many slots as possible (a maximum matching of slots to free letters,
// found by augmenting paths), earlier slots first: a slot that got a letter keeps one.
class LetterMatcher {
 public:
  LetterMatcher(std::vector<Slot>& waiting, std::u16string_view taken)
      : slots_(waiting), taken_(taken) {}

  void run() {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      std::set<char16_t> seen;
      place(i, seen);
    }
  }

 private:
  bool isTaken(char16_t c) const { return taken_.find(c) != std::u16string_view::npos; }

  // Gives slot i a free letter, else takes one from a slot that can move to another.
  bool place(std::size_t i, std::set<char16_t>& seen) {
    const Slot& slot = slots_[i];
    for (const std::ptrdiff_t at : slot.positions) {
      const char16_t c = slot.letterAt(at);
      if (!isTaken(c) && !holders_.contains(c)) return hold(i, at);
    }
    for (const std::ptrdiff_t at : slot.positions) {
      const char16_t c = slot.letterAt(at);
      if (isTaken(c) || !seen.insert(c).second) continue;
      if (place(holders_.at(c), seen)) return hold(i, at);
    }
    return false;
  }

  bool hold(std::size_t i, std::ptrdiff_t at) {
    holders_[slots_[i].letterAt(at)] = i;
    slots_[i].chosen = at;
    return true;
  }

  std::vector<Slot>& slots_;
  std::u16string_view taken_;
  std::map<char16_t, std::size_t> holders_;
};

}  // namespace

char16_t mnemonicOf(std::u16string_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (caption[i + 1] != u'&') return lower(caption[i + 1]);
    ++i;  // "&&" is a plain ampersand
  }
  return 0;
}

std::u16string markedAt(std::u16string caption, std::ptrdiff_t at) {
  if (at >= 0) caption.insert(static_cast<std::size_t>(at), 1, u'&');
  return caption;
}

std::vector<std::ptrdiff_t> chooseLetters(const std::vector<std::u16string>& captions,
                                          std::u16string_view taken,
                                          std::u16string_view contested) {
  std::vector<Slot> waiting;
  for (const std::u16string& caption : captions)
    waiting.push_back({caption, candidatePositions(caption, contested)});
  LetterMatcher(waiting, taken).run();
  std::vector<std::ptrdiff_t> chosen;
  for (const Slot& slot : waiting) chosen.push_back(slot.chosen);
  return chosen;
}

std::u16string wantedLetters(const std::vector<std::u16string>& captions) {
  std::u16string letters;
  for (const std::u16string& caption : captions) {
    std::u16string own;
    for (const char16_t c : caption)
      if (isLetter(c) && own.find(lower(c)) == std::u16string::npos) own += lower(c);
    if (own.empty()) continue;
    for (std::size_t n = 1 + 16 / own.size(); n > 0; --n) letters += own;
  }
  return letters;
}

std::ptrdiff_t pickLetter(std::u16string_view caption,
                          const std::function<bool(char16_t)>& accept) {
  for (const std::ptrdiff_t at : letterPositions(caption))
    if (accept(lower(caption[at]))) return at;
  return -1;
}

}  // namespace kestrix::app
