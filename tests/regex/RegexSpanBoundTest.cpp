// How far a match can reach (a table of expressions under modifiers and modes, each bound
// also checked against the longest match found in a sample text), and searches that start
// inside a subject, seeing the bytes before their offset.
#include "regex/SpanBound.h"

#include <gtest/gtest.h>

#include "RegexTestUtil.h"
#include "regex/RegExpr.h"

namespace kestrix {
namespace {

using testing::applyModifiers;
using testing::printable;

constexpr std::int64_t kUnbounded = -1;

TEST(SpanBound, LongestMatchOrUnbounded) {
  struct Case {
    const char* expression;
    const char* modifiers;
    bool utf8;
    bool newlineCrLf;
    std::int64_t span;
    std::string sample;  // its longest match must not be longer than the span
  };
  const Case cases[] = {
      {"abc", "", false, false, 3, "xabcx"},
      {"a\\r?\\nb", "", false, false, 4, "a\r\nb a\nb"},
      {"a\\r?\\nb", "", false, true, 5, "a\r\r\nb"},
      {"a\\nb", "", false, true, 4, "a\r\nb"},
      {"x{2,5}", "", false, false, 5, "xxxxxxxxxxx"},
      {"x{3}", "+i", false, false, 3, "XxX"},
      {"[a-z]{1,3}\\d", "", false, false, 4, "abc1"},
      {"(ab|cde)f?", "", false, false, 4, "cdef"},
      {"(a|bc)?d{0,3}", "", false, false, 5, "bcddd"},
      {"(a{1,3}){2}", "", false, false, 6, "aaaaaa"},
      {"(?#note)ab|c", "", false, false, 2, "ab"},
      {"end\\s", "", false, false, 4, "end\n"},
      {"end\\s", "", true, false, 6, "end\xE3\x80\x80"},  // an ideographic space
      {".", "", false, false, 1, "\r\n"},
      {".", "", true, false, 4, "\xF0\x9F\x98\x80"},
      {"\xC3\xA9t\xC3\xA9", "+i", true, false, 5, "\xC3\x89T\xC3\x89"},
      {"[\xC3\xA9x]", "", true, false, 2, "\xC3\xA9"},
      {"^ab$", "+m", false, false, 2, "x\nab\r\n"},
      {"ab$", "-m", false, false, 2, "xab"},
      {"ab\\Z", "", false, false, 2, "ab"},
      {"a{0}", "", false, false, 0, "a"},
      {"((a{1000}){1000}){1000}", "", false, false, 1000000000, ""},
      {"((a{100000}){100000}){1000}", "", false, false, kUnbounded, ""},
      {"a*", "", false, false, kUnbounded, ""},
      {"a+", "", false, false, kUnbounded, ""},
      {"a{2,}", "", false, false, kUnbounded, ""},
      {"x(a|b+)", "", false, false, kUnbounded, ""},
      {"a*?b", "", false, false, kUnbounded, ""},
      {"(a)\\1", "", false, false, kUnbounded, ""},
      {"\\Aab", "", false, false, kUnbounded, ""},
      {"^ab", "-m", false, false, kUnbounded, ""},
      {"x|^a", "-m", false, false, kUnbounded, ""},
      {"(?-m)^ab", "+m", false, false, kUnbounded, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(printable(c.expression));
    RegExpr re;
    applyModifiers(re, c.modifiers);
    re.setUtf8Mode(c.utf8);
    re.setNewlineMatchesCrLf(c.newlineCrLf);
    re.setExpression(c.expression);
    const std::optional<std::int64_t> span = matchSpanBound(re);
    EXPECT_EQ(span.value_or(kUnbounded), c.span);
    std::int64_t longest = 0;
    for (bool found = re.exec(c.sample); found; found = re.execNext()) {
      longest = std::max<std::int64_t>(longest, re.matchLen(0));
    }
    EXPECT_EQ(longest, c.sample.empty() ? 0 : c.span) << "in " << printable(c.sample);
  }
}

TEST(SpanBound, ExpressionThatDoesNotCompileThrows) {
  RegExpr re;
  re.setExpression("(a");
  EXPECT_THROW(matchSpanBound(re), RegExprError);
}

TEST(ExecPos, SearchesFromItsOffsetSeeingTheBytesBefore) {
  struct Case {
    const char* expression;
    const char* modifiers;
    std::string input;
    int offset;
    int pos;  // of the match, -1 for none
  };
  const Case cases[] = {
      {"b", "", "abab", 1, 2},         {"b", "", "abab", 3, 4},     {"b", "", "abab", 5, -1},
      {"b", "", "abab", 9, -1},        {"^b", "+m", "ab\nb", 2, 4},  // "b" at 2 follows "a": no
                                                                     // line start
      {"^b", "+m", "a\r\nb", 4, 4},                                  // after CR LF
      {"^\\n", "+m", "a\r\nb", 3, -1},  // between CR and LF is no line start
      {"a$", "+m", "ab\na", 1, 4},     {"$", "+m", "a\r\nb", 3, 5},  // nor line end
      {"^a", "-m", "aa", 2, -1},                                     // the input still begins at 1
      {"a\\Z", "", "aa", 2, 2},        {"x?", "", "ab", 3, 3},
  };
  for (const Case& c : cases) {
    RegExpr re;
    applyModifiers(re, c.modifiers);
    re.setExpression(c.expression);
    const bool found = re.execPos(c.input, c.offset);
    EXPECT_EQ(found ? re.matchPos(0) : -1, c.pos)
        << printable(c.expression) << " in " << printable(c.input) << " from " << c.offset;
  }
  RegExpr re;
  re.setExpression("a");
  try {
    re.execPos("a", 0);
    ADD_FAILURE() << "offset 0 was taken";
  } catch (const RegExprError& e) {
    EXPECT_EQ(e.code(), 1006);
  }
}

}  // namespace
}  // namespace kestrix
