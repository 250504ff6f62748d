// Searching one long line for all its matches takes work linear in the line: the same
// expressions over a line four times longer take about four times the steps (counted by
// the poller, not the clock), whether every match is found with its start (exec, execNext
// and matchPos, as a replace does) or only counted (as a search does); and the matches
// are those the backtracker alone finds.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "regex/RegExpr.h"
#include "regex/Search.h"
#include "text/CodePage.h"

namespace kestrix::regex {
namespace {

struct LongLine {
  const char* pattern;
  const char* piece;  // repeated to the line's length
  const char* tail;   // after the repeats
  bool caseless = false;
  bool takesOver = false;  // the backtracker takes over from the automaton
};

std::string line(const LongLine& c, std::size_t length) {
  std::string out;
  out.reserve(length + 16);
  while (out.size() < length) out += c.piece;
  return out + c.tail;
}

struct Work {
  std::int64_t steps = 0;
  std::int64_t matches = 0;
  std::uint64_t positions = 0;  // a checksum of where the matches start and end
};

// Every match of the exec / execNext chain with its start, or only their count.
Work search(const LongLine& c, const std::string& subject, bool startsToo, bool automaton = true) {
  const auto& codePage = text::activeCodePage();
  Modifiers mods;
  mods.i = c.caseless;
  const Program program = compileProgram(parseExpression(c.pattern, mods, codePage), codePage);
  // A regression stops at the first poll past a generous bound instead of running for ages.
  const auto bound = static_cast<std::int64_t>(subject.size()) * 64;
  const Poller* watched = nullptr;
  const std::function<bool()> pastBound = [&] { return watched->steps() > bound; };
  Poller poller(pastBound);
  watched = &poller;
  Searcher searcher(program, poller);
  searcher.allowAutomaton(automaton);
  searcher.setSubject(subject);
  Work work;
  try {
    if (!startsToo && !program.canBeEmpty) {
      work.matches = searcher.countMatches(0);
    } else {
      Registers regs{};
      for (int from = 0; from <= static_cast<int>(subject.size()) && searcher.find(from, regs);) {
        searcher.fillStart(regs);
        from = regs[1] + (regs[1] == regs[0] ? 1 : 0);
        ++work.matches;
        work.positions = work.positions * 31 + static_cast<std::uint64_t>(regs[0]) * 7 +
                         static_cast<std::uint64_t>(regs[1]);
      }
    }
  } catch (const RegExprAborted&) {
    ADD_FAILURE() << c.pattern << ": more than " << bound << " steps on " << subject.size()
                  << " bytes";
  }
  work.steps = poller.steps();
  return work;
}

TEST(RegexLongLine, AllMatchesTakeWorkLinearInTheLine) {
  const LongLine cases[] = {
      {"a+needle", "a", "needle"},
      {"a+needle", "a", ""},
      {"\\w+_t", "size_t, ", ""},
      {"\\w+_t", "size _t ", ""},  // the required text everywhere, no match
      {"[a-z]+ing[ ,]", "the thing, singing bring ", ""},
      {"needle", "haystack ", "Needle", true},
      {"a*b|a", "a", "", false, true},  // the longer branch reads to the end of the line every time
      {"[ab]*c|ab", "ab", "", false, true},
      {"x(a|b)*y", "xabab", "y"},
      {"a.*?z", "a", ""},
      {"\\d+", "12 345 ", ""},
      {"(a|aa)+$", "a", "b"},
      {"fo+ba?r|fo+", "foobar fobr foooo ", ""},
  };
  constexpr std::size_t kShort = std::size_t{1} << 17;
  for (const LongLine& c : cases) {
    for (bool startsToo : {true, false}) {
      const Work small = search(c, line(c, kShort), startsToo);
      const Work large = search(c, line(c, 4 * kShort), startsToo);
      // Four times the line: four times the work, with room for constant costs.
      EXPECT_LE(large.steps, 5 * small.steps + 1000)
          << c.pattern << (startsToo ? " with starts" : " counted") << ": " << small.steps
          << " steps on " << kShort << " bytes, " << large.steps << " on four times as many";
      EXPECT_GE(large.matches, small.matches) << c.pattern;
    }
    // The same matches as the backtracker alone finds, also where it takes over from the automaton
    // (past the automaton's first 64 KB read twice). The backtracker alone is slow on
    // most of these lines: a shorter one serves there.
    const std::string subject = line(c, c.takesOver ? kShort : kShort / 16);
    const Work fast = search(c, subject, true);
    const Work plain = search(c, subject, true, false);
    EXPECT_EQ(fast.matches, plain.matches) << c.pattern;
    EXPECT_EQ(fast.positions, plain.positions) << c.pattern;
    EXPECT_EQ(search(c, subject, false).matches, plain.matches) << c.pattern;
  }
}

}  // namespace
}  // namespace kestrix::regex
