// The Reg Expr engine: mode choice, template expansion per modification type, whole-text
// and per-line runs, intervals, and engine errors that fail the file with their message.
#include <gtest/gtest.h>

#include "Rewritten.h"
#include "modify/ModifyPass.h"
#include "modify/RegexEngine.h"
#include "regex/RegExpr.h"
#include "text/Lines.h"

namespace kestrix::modify {
namespace {

using Lines = std::vector<std::string>;

bool engineAvailable() {
  try {
    RegExpr re;
    re.setExpression("a");
    return re.exec("a");
  } catch (const std::exception&) {
    return false;
  }
}

ModifyRequest regex(std::vector<std::string> expression, ModificationType type,
                    std::vector<std::string> templ = {}) {
  ModifyRequest req;
  req.searchType = QueryType::RegExpr;
  req.searchLines = std::move(expression);
  req.modificationType = type;
  req.replacementLines = std::move(templ);
  req.caseSensitive = true;
  return req;
}

// The file of `lines` (each ended by `lineBreak`, the last one only with `finalBreak`)
// as the pass rewrites it with `separator`, its lines shown ended by "|".
std::string rewritten(const Lines& lines, ModifyRequest req, bool finalBreak,
                      std::string_view lineBreak, LineSeparator separator,
                      const std::optional<Interval>& interval = std::nullopt) {
  std::string bytes;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    bytes += lines[i];
    if (i + 1 < lines.size() || finalBreak) bytes += lineBreak;
  }
  req.lineSeparator = separator;
  std::string out;
  const std::string after = testing::rewritten(req, bytes, interval);
  for (const std::string_view l : text::splitLines(after)) {
    out.append(l);
    out += '|';
  }
  return out;
}

TEST(RegexEngine, ChoosesTheMode) {
  struct Case {
    std::vector<std::string> lines;
    bool dotAll, eachLine;
    RegexMode expected;
  };
  const Case cases[] = {
      {{"a$"}, false, false, RegexMode::PerLine},
      {{"(?-m)a$"}, false, false, RegexMode::WholeText},
      {{"end\\s+begin"}, false, false, RegexMode::WholeText},
      {{"end\\s+begin"}, false, true, RegexMode::PerLine},
      {{"a.b"}, true, false, RegexMode::WholeText},
      {{"a.b"}, false, false, RegexMode::PerLine},
      {{"(?s)a.b"}, false, false, RegexMode::WholeText},
      {{"a", "b"}, false, false, RegexMode::WholeText},
      {{"\\Aa"}, false, false, RegexMode::WholeText},
      {{"x\\n"}, false, false, RegexMode::WholeText},
  };
  for (const auto& c : cases) {
    auto req = regex(c.lines, ModificationType::Replace);
    req.dotMatchesLineSeparators = c.dotAll;
    req.searchEachLine = c.eachLine;
    EXPECT_EQ(chooseRegexMode(req), c.expected) << c.lines[0];
  }
}

TEST(RegexEngine, ExpandsMatchesPerType) {
  if (!engineAvailable()) GTEST_SKIP() << "regular-expression engine not built yet";
  using T = ModificationType;
  struct Case {
    Lines file;
    ModifyRequest req;
    bool finalBreak;
    const char* expected;
  };
  const Case cases[] = {
      {{"a cat", "cat"}, regex({"c(a)t"}, T::Replace, {"<$1>"}), true, "a <a>|<a>|"},
      {{"xaby"}, regex({"(ab)"}, T::InsertBefore, {"$1-"}), true, "xab-aby|"},
      {{"xaby"}, regex({"ab"}, T::InsertAfter, {"!"}), true, "xab!y|"},
      {{"xaby"}, regex({"ab"}, T::Delete, {"ignored"}), true, "xy|"},
      {{"axb"}, regex({"x*"}, T::Replace, {"-"}), true, "a-b|"},
      {{"zx", "x"}, regex({".*x"}, T::Replace, {"Y"}), true, "Y|Y|"},
      {{"end", "  begin"}, regex({"end\\s+begin"}, T::Replace, {"end begin"}), true, "end begin|"},
      {{"a", "a"}, regex({"(?-m)a$"}, T::Replace, {"b"}), false, "a|b|"},
      {{"a", "a"}, regex({"a$"}, T::Replace, {"b"}), true, "b|b|"},
      {{"one", "two"}, regex({"one\\r\\ntwo"}, T::Replace, {"1", "2"}), true, "1|2|"},
  };
  // The subject's breaks are CR LF whatever the file's (a file of LF breaks is copied).
  for (const auto& c : cases) {
    EXPECT_EQ(rewritten(c.file, c.req, c.finalBreak, "\r\n", LineSeparator::Windows), c.expected)
        << c.req.searchLines[0];
    EXPECT_EQ(rewritten(c.file, c.req, c.finalBreak, "\n", LineSeparator::Unix), c.expected)
        << c.req.searchLines[0] << " over LF breaks";
  }
}

TEST(RegexEngine, PerLineHonoursTheInterval) {
  if (!engineAvailable()) GTEST_SKIP() << "regular-expression engine not built yet";
  auto req = regex({"x"}, ModificationType::Replace, {"X"});
  req.searchEachLine = true;
  req.useIntervalsRegex = true;
  struct Case {
    Interval interval;
    const char* expected;
  };
  const Case cases[] = {{{2, 3}, "x|X|X|x|"}, {{3, 99}, "x|x|X|X|"}, {{0, 1}, "X|x|x|x|"}};
  for (const auto& c : cases) {
    EXPECT_EQ(rewritten({"x", "x", "x", "x"}, req, true, "\n", LineSeparator::Keep, c.interval),
              c.expected)
        << intervalText(c.interval);
  }
  req.useIntervalsRegex = false;  // the switch is off: every line changes
  EXPECT_EQ(rewritten({"x", "x"}, req, true, "\n", LineSeparator::Keep, Interval{2, 2}), "X|X|");
}

TEST(RegexEngine, ErrorsFailTheFileWithTheirMessage) {
  if (!engineAvailable()) GTEST_SKIP() << "regular-expression engine not built yet";
  try {
    testing::rewritten(regex({"a(b"}, ModificationType::Replace, {"x"}), "abc\nabc\n");
    ADD_FAILURE() << "no error";
  } catch (const RegexFileFailure& e) {
    EXPECT_EQ(e.message().caption, "Regular Expression");
    EXPECT_TRUE(e.message().text.starts_with("Error: ")) << e.message().text;
  }
}

}  // namespace
}  // namespace kestrix::modify
