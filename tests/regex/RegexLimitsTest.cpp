// Limits of the matcher: 10 MB subjects end with a result or error 1014, never a crash,
// and the poll callback stops a runaway match with RegExprAborted.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "regex/RegExpr.h"

namespace kestrix {
namespace {

constexpr size_t kTenMegabytes = 10u << 20;

std::string repeated(std::string_view unit, size_t size) {
  std::string s;
  s.reserve(size + unit.size());
  while (s.size() < size) s += unit;
  return s;
}

TEST(RegexLimits, TenMegabyteSubjects) {
  struct Case {
    std::string pattern;
    std::string unit;
    std::string tail;
    int group1Len;  // of the first match; -1: error 1014 when group 1 is asked for; -2: not asked
  };
  const int whole = static_cast<int>(kTenMegabytes) + 1;
  const Case cases[] = {
      {"(a|b)*c", "ab", "c", 1},
      {"(x+x+)+y", "x", "y", -2},
      {"[ab]*?c", "ab", "c", -2},
      {".*z", "ab", "z", -2},
      // The automaton finds the whole match; the backtracker that fills the groups runs
      // out of memory for its stack.
      {"(ab|cd)*e", "ab", "e", -1},
      {"(ab|cd)*?e", "ab", "e", -1},
  };
  for (const auto& c : cases) {
    std::string subject = repeated(c.unit, kTenMegabytes) + c.tail;
    RegExpr re;
    re.setExpression(c.pattern);
    ASSERT_TRUE(re.exec(subject)) << c.pattern;
    EXPECT_EQ(re.matchLen(0), whole) << c.pattern;
    if (c.group1Len == -2) continue;
    int len = -2;
    try {
      len = re.matchLen(1);
    } catch (const RegExprError& e) {
      EXPECT_EQ(e.code(), 1014) << c.pattern;
      len = -1;
    }
    EXPECT_EQ(len, c.group1Len) << c.pattern;
  }
}

TEST(RegexLimits, NoMatchInTenMegabytesEndsQuickly) {
  // Each needs a required text, a leading ".*" or possessive loops to stay linear.
  std::string subject = repeated("abcdefgh ", kTenMegabytes);
  for (const char* pattern : {".*x", "abcx", "(?i)ABCX", "[a-z]+_t", "^\\s*#include"}) {
    RegExpr re;
    re.setModifier(5, true);
    re.setExpression(pattern);
    EXPECT_FALSE(re.exec(subject)) << pattern;
  }
}

TEST(RegexLimits, PollStopsRunawayMatch) {
  std::string subject = repeated("x", 4000);
  RegExpr re;
  // Back-references keep the matcher from remembering failed states: this one runs away.
  re.setExpression("(x+x+)+\\1[yz]");
  int calls = 0;
  auto start = std::chrono::steady_clock::now();
  re.setPollCallback([&] { return ++calls == 3; });
  EXPECT_THROW(re.exec(subject), RegExprAborted);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(calls, 3);
  // Three calls, each more than 25 ms after the one before.
  EXPECT_GE(elapsed, std::chrono::milliseconds(75));

  // The object stays usable after a stop.
  re.setPollCallback(nullptr);
  re.setExpression("x{3}");
  ASSERT_TRUE(re.exec(subject));
  EXPECT_EQ(re.matchLen(0), 3);
}

}  // namespace
}  // namespace kestrix
