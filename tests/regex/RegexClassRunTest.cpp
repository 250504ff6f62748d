// The search of a class run followed by a text ("\w+_t"): the text is found first and the
// match's start back from it. Its edges by hand, then its chains against the backtracker's
// on random subjects, byte and character mode.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>
#include <string>

#include "RegexTestUtil.h"
#include "regex/RegExpr.h"
#include "regex/Search.h"
#include "text/CodePage.h"

namespace kestrix {
namespace {

TEST(RegexClassRun, EdgesOfTheTextFirstSearch) {
  struct Case {
    const char* pattern;
    bool utf8;
    const char* subject;
    const char* matches;
    int lineCount;  // what countLineMatches counts
  };
  const Case cases[] = {
      {"\\w+_t", false, "a_t", "1,3", 1},                       // a match at the start
      {"\\w+_t", false, "_t", "", 0},                           // no word before the text
      {"\\w+_t", false, "_tx size_t", "5,6", 1},                // ... then a word that has one
      {"\\w+_t", false, " _t _t=a_t", "8,3", 1},                // texts without words first
      {"\\w+_t", false, "a_t_t_tb x_t", "1,7;10,3", 2},         // greedy: the last text of the run
      {"\\w+?_t", false, "a_t_t_tb", "1,3;4,4", 2},             // lazy: the first
      {"\\w{2,}_t", false, "a_t ab_t abc_t_t", "5,4;10,7", 2},  // too short a run first
      {"\\w{1,2}_t", false, "abcd_t", "3,4", 1},                // the bound moves the start
      {"\\w+tt", false, "atttt", "1,5", 1},                     // a text that overlaps itself
      {"\\w+_t", false, "a_t\nb_t\r\nc_t", "1,3;5,3;10,3", 3},  // lines
      {"\\w+_t", true, "über_t", "1,7", 1},                     // non-ASCII word characters
      {"\\w+_t", true, "x ж_t", "3,4", 1},                      // ... at the start of the match
      {"\\w+_t", true, "€_t ٣_t", "7,4", 1},                    // a symbol is no word character
      {"\\w+_t", true, "\xA9_t \xC3_t a\xA9_t", "", 0},         // nor is an invalid byte
      {"\\w+_t", true, "\xC3\xA9_t", "1,4", 1},                 // é whole
      {"[а-я]+_t", true, "яя_t", "1,6", 1},
  };
  for (const Case& c : cases) {
    RegExpr re;
    re.setUtf8Mode(c.utf8);
    re.setExpression(c.pattern);
    const std::string where =
        std::string("pattern '") + c.pattern + "' subject '" + testing::printable(c.subject) + "'";
    EXPECT_EQ(testing::allMatches(re, c.subject), c.matches) << where;
    std::int64_t count = 0;
    ASSERT_TRUE(re.countLineMatches(c.subject, count)) << where;
    EXPECT_EQ(count, c.lineCount) << where;
  }
}

// Occurrences of the text after runs too short, each read back in vain: past a budget the
// forward scans take over, and the matches stay right.
TEST(RegexClassRun, ShortRunsEverywhereHandOverToTheForwardScan) {
  std::string piece;
  for (int i = 0; i < 32; ++i) piece += "a_t";
  piece += ' ';
  std::string subject;
  for (int i = 0; i < 4000; ++i) subject += piece;
  subject += std::string(120, 'b') + "_t";
  RegExpr re;
  re.setExpression("\\w{99,}_t");
  std::int64_t count = 0;
  ASSERT_TRUE(re.countLineMatches(subject, count));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(testing::allMatches(re, subject), std::to_string(subject.size() - 121) + ",122");
}

TEST(RegexClassRun, AgreesWithBacktracker) {
  struct Shape {
    const char* pattern;
    bool utf8;
    bool textFirst;  // whether the search takes the text first
  };
  const Shape shapes[] = {
      {"\\w+_t", false, true},    {"\\w+_t", true, true},       {"\\w*_t", true, true},
      {"\\w+?_t", true, true},    {"\\w{2,}_t", true, true},    {"(\\w{1,3})_t", true, true},
      {"[^ ]+tt", false, true},   {"[^ ]+tt", true, true},      {"\\d+a", false, true},
      {"[a_t]+_t", false, true},  {"\\w+é", true, false},       {"(?i)\\w+_t", true, false},
      {"\\w+_t|x", false, false}, {"[^\\n]+\\n_t", true, true},
  };
  static const char* kPieces[] = {"a", "_", "t", "_t",   "tt",   "1",    " ",   "\r\n", "\n",
                                  "é", "я", "€", "\xC3", "\xA9", "\xFF", "_tt", "x"};
  std::mt19937 rng(2512);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  const std::function<bool()> never;
  for (const Shape& shape : shapes) {
    regex::Modifiers mods;
    mods.utf8 = shape.utf8;
    const auto& codePage = text::activeCodePage();
    const regex::Program program =
        regex::compileProgram(regex::parseExpression(shape.pattern, mods, codePage), codePage);
    ASSERT_EQ(program.classRun.has_value(), shape.textFirst) << shape.pattern;
    ASSERT_TRUE(program.automaton.has_value()) << shape.pattern;
    regex::Poller poller(never);
    regex::Searcher fast(program, poller), plain(program, poller), counter(program, poller);
    plain.allowAutomaton(false);
    for (int k = 0; k < 600; ++k) {
      std::string subject;
      for (int len = pick(k < 500 ? 12 : 200); len > 0; --len) {
        subject += kPieces[pick(sizeof kPieces / sizeof *kPieces)];
      }
      fast.setSubject(subject);
      plain.setSubject(subject);
      counter.setSubject(subject);
      const int size = static_cast<int>(subject.size());
      int expectedCount = 0, count = 0;
      const std::string expected = testing::findChain(plain, size, INT_MAX, expectedCount);
      ASSERT_EQ(testing::findChain(fast, size, INT_MAX, count), expected)
          << "pattern '" << shape.pattern << "' subject '" << testing::printable(subject) << "'";
      ASSERT_EQ(counter.countMatches(0), expectedCount)
          << "pattern '" << shape.pattern << "' subject '" << testing::printable(subject) << "'";
    }
  }
}

}  // namespace
}  // namespace kestrix
