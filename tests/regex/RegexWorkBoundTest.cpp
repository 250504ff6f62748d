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

TEST(RegexWorkBound, HostileFamilyFinishesInBoundedSteps) {
  const Hostile cases[] = {
      {".X(.+)+X", "=X" + times('=', 28)},   {".X(.+)+X", "bX" + times('a', 400)},
      {"(a|aa)+$", times('a', 10000) + "b"}, {"(a|aa)+b", times('a', 10000)},
      {"(x+x+)+y", times('x', 2000)},        {"(\\w+\\s?)+$", times('w', 3000) + "!"},
      {"((a+)*b|c)+d", times('a', 2000)},    {"(a|b|ab)*c", "ab" + times('b', 3000)},
  };
  const auto& codePage = text::activeCodePage();
  for (const auto& c : cases) {
    Program program = compileProgram(parseExpression(c.pattern, Modifiers{}, codePage), codePage);
    const auto bound = static_cast<std::int64_t>(program.code.size()) *
                       static_cast<std::int64_t>(c.subject.size() + 1) * 8;
    // A regression stops at the first poll past the bound instead of running for ages.
    const Poller* watched = nullptr;
    std::function<bool()> pastBound = [&] { return watched->steps() > bound; };
    Poller poller(pastBound);
    watched = &poller;
    Searcher searcher(program, poller);
    searcher.allowAutomaton(false);
    searcher.setSubject(c.subject);
    Registers regs{};
    EXPECT_NO_THROW(EXPECT_FALSE(searcher.find(0, regs)) << c.pattern) << c.pattern;
    EXPECT_LE(poller.steps(), bound) << c.pattern << " on " << c.subject.size() << " bytes, "
                                     << program.code.size() << " instructions";
  }
}

}  // namespace
}  // namespace kestrix::regex
