// The work of a search is bounded: expressions without back-references never explore a
// state twice, so even the classic exponential family finishes in steps proportional to
// program size x subject length. Counted through the matcher's step counter, not the clock.
#include <gtest/gtest.h>

#include <string>

#include "regex/Search.h"
#include "text/CodePage.h"

namespace kestrix::regex {
namespace {

struct Hostile {
  const char* pattern;
  std::string subject;
};

std::string times(char c, int n) {
  return std::string(static_cast<size_t>(n), c);
}

// Searches `subject` with the backtracker alone and expects no match within the bound.
void expectBoundedFailure(const char* pattern, const std::string& subject, std::size_t memoBytes) {
  const auto& codePage = text::activeCodePage();
  Program program = compileProgram(parseExpression(pattern, Modifiers{}, codePage), codePage);
  const auto bound = static_cast<std::int64_t>(program.code.size()) *
                     static_cast<std::int64_t>(subject.size() + 1) * 8;
  // A regression stops at the first poll past the bound instead of running for ages.
  const Poller* watched = nullptr;
  std::function<bool()> pastBound = [&] { return watched->steps() > bound; };
  Poller poller(pastBound);
  watched = &poller;
  Searcher searcher(program, poller, memoBytes);
  searcher.allowAutomaton(false);
  searcher.setSubject(subject);
  Registers regs{};
  EXPECT_NO_THROW(EXPECT_FALSE(searcher.find(0, regs)) << pattern) << pattern;
  EXPECT_LE(poller.steps(), bound) << pattern << " on " << subject.size() << " bytes, "
                                   << program.code.size() << " instructions";
}

TEST(RegexWorkBound, HostileFamilyFinishesInBoundedSteps) {
  const Hostile cases[] = {
      {".X(.+)+X", "=X" + times('=', 28)},   {".X(.+)+X", "bX" + times('a', 400)},
      {"(a|aa)+$", times('a', 10000) + "b"}, {"(a|aa)+b", times('a', 10000)},
      {"(x+x+)+y", times('x', 10000)},       {"(\\w+\\s?)+$", times('w', 3000) + "!"},
      {"((a+)*b|c)+d", times('a', 2000)},    {"(a|b|ab)*c", "ab" + times('b', 3000)},
      {"x+x+y", times('x', 20000)},          {"(x+)+x+y", times('x', 10000) + "z"},
  };
  for (const auto& c : cases) expectBoundedFailure(c.pattern, c.subject, Memo::kMemoBudgetBytes);
}

// A subject too long for the memo's budget gets a window of positions that follows the
// tries: each try that stays near its start is still bounded.
TEST(RegexWorkBound, MemoWindowKeepsLongSubjectsBounded) {
  std::string lines;
  while (lines.size() < 100000) lines += times('x', 60) + "\n";
  const Hostile cases[] = {
      {"(x+x+)+y", lines},
      {"(x|xx)+y", lines},
      {"(\\w+\\w?)+$", lines + "!"},
  };
  for (const auto& c : cases) expectBoundedFailure(c.pattern, c.subject, 4096);
}

}  // namespace
}  // namespace kestrix::regex
