// Limits of the matcher: 10 MB subjects end with a result or error 1014, never a crash;
// back-references in nested repeats fail with error 1017 within their step budget; the poll
// callback stops a long match with RegExprAborted.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

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
  std::string subject = repeated("x", 100000);
  RegExpr re;
  // Back-references keep the matcher from remembering failed states: each try is within its
  // step budget, but the tries together take quadratic work.
  re.setExpression("(x+)\\1[yz]");
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

// Back-references in nested repeats explore exponentially many ways on a short line: each
// fails with error 1017 within milliseconds instead of running for ages.
TEST(RegexLimits, NestedBackReferencesFailAsTooComplex) {
  const std::string line = repeated("a", 40) + "bz";  // the z a quick test would ask for
  for (const char* pattern : {"^(a+)+\\1z", "(a|aa)+\\1z", "((a|aa)+)*\\2z", "(?i)^(A+)+\\1Z"}) {
    RegExpr re;
    const auto start = std::chrono::steady_clock::now();
    try {
      re.setExpression(pattern);
      re.exec(line);
      ADD_FAILURE() << pattern << " ended without the complexity error";
    } catch (const RegExprError& e) {
      EXPECT_EQ(e.code(), 1017) << pattern;
      EXPECT_EQ(std::string(e.what()).substr(16), "The expression is too complex for this text");
    }
    // Milliseconds in an optimised build; unbounded, these run for hours.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << pattern;
    // The engine stays usable, with the limit lifted for what follows.
    re.setExpression("a{40}b");
    EXPECT_TRUE(re.exec(line)) << pattern;
  }
  // Back-references that need little work still match.
  RegExpr re;
  re.setExpression("^(a+)+\\1z");
  EXPECT_TRUE(re.exec("aaaaz"));
  re.setExpression("(a|aa)+\\1b");
  EXPECT_TRUE(re.exec(repeated("a", 40) + "b"));
}

// "Stop" set while a long search runs ends it within 100 ms.
TEST(RegexLimits, StopEndsLongSearchQuickly) {
  const std::string subject = repeated("x", 100000);
  RegExpr re;
  re.setExpression("(x+)\\1[yz]");
  std::atomic<bool> stop = false;
  std::chrono::steady_clock::time_point stopped;
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    stopped = std::chrono::steady_clock::now();
    stop = true;
  });
  re.setPollCallback([&] { return stop.load(); });
  EXPECT_THROW(re.exec(subject), RegExprAborted);
  const auto ended = std::chrono::steady_clock::now();
  stopper.join();
  EXPECT_LT(ended - stopped, std::chrono::milliseconds(100));
}

}  // namespace
}  // namespace kestrix
