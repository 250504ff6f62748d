// The matching pieces: the literal finder against a plain reference, whole words, blocks
// and the regular-expression rules.
#include <gtest/gtest.h>

#include <random>

#include "TermHits.h"
#include "search/Matchers.h"

namespace kestrix::search {
namespace {

using testing::countTermHits;

// The plain reference: first position at or after `from` where the folded text equals term.
std::size_t naiveFind(std::string_view text, std::string_view term, std::size_t from,
                      bool caseSensitive, const text::CodePage& cp) {
  for (std::size_t p = from; p + term.size() <= text.size(); ++p) {
    bool ok = true;
    for (std::size_t k = 0; ok && k < term.size(); ++k) {
      unsigned char c = static_cast<unsigned char>(text[p + k]);
      ok = (caseSensitive ? c : cp.upper(c)) == static_cast<unsigned char>(term[k]);
    }
    if (ok) return p;
  }
  return std::string_view::npos;
}

TEST(LiteralFinder, AgreesWithPlainScanOnRandomTexts) {
  std::mt19937 rng(7);
  const std::string alphabet = "aAbB\xe9\xc9_ \n\r\x01\xff";
  for (const text::CodePage* cp : {&text::CodePage::utf8(), &text::CodePage::windows1252()}) {
    for (int round = 0; round < 400; ++round) {
      std::string text(rng() % 300, ' ');
      for (char& c : text) c = alphabet[rng() % alphabet.size()];
      std::string term(1 + rng() % 4, ' ');
      for (char& c : term) c = alphabet[rng() % alphabet.size()];
      if (round % 3 == 0 && text.size() > 10) term = text.substr(rng() % (text.size() - 5), 3);
      for (bool cs : {true, false}) {
        const std::string folded = cs ? term : cp->toUpper(term);
        LiteralFinder finder(folded, cs, *cp);
        for (std::size_t from = 0; from <= text.size(); from += 1 + rng() % 7) {
          ASSERT_EQ(finder.find(text, from), naiveFind(text, folded, from, cs, *cp))
              << "text=" << ::testing::PrintToString(text)
              << " term=" << ::testing::PrintToString(folded) << " cs=" << cs << " from=" << from;
        }
      }
    }
  }
}

TEST(LiteralFinder, CountsAndWholeWords) {
  struct Case {
    const char* text;
    const char* term;
    bool wholeWords;
    std::size_t hits;
  };
  const Case cases[] = {
      {"aaaa", "AA", false, 2},
      {"cat_x cats", "CAT", true, 0},
      {"cat-x (cat)", "CAT", true, 2},
      {"cat", "CAT", true, 1},
      {"xcat\ncat", "CAT", true, 1},
      {"a1cat cat1 cat", "CAT", true, 1},
      {"Cat CAT cAt", "CAT", false, 3},
      {"", "A", false, 0},
      {"caf\xc3\xa9 caf", "CAF", true, 1},  // bytes >= 0x80 are word characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.term);
    LiteralFinder finder(c.term, false);
    EXPECT_EQ(countTermHits(c.text, finder, c.wholeWords), c.hits);
  }
  // A long text crosses the vector blocks: every hit is found once.
  std::string longText;
  for (int i = 0; i < 1000; ++i) longText += "xx needle y";
  EXPECT_EQ(countTermHits(longText, LiteralFinder("NEEDLE", false), true), 1000u);
  EXPECT_EQ(countTermHits(longText, LiteralFinder("needle", true), false), 1000u);
}

TEST(BlockMatch, FoldingAndTrims) {
  struct Case {
    const char* query;
    const char* line;
    bool caseSensitive, lead, trail;
    bool equal;
  };
  const Case cases[] = {
      {"  x", "x\t", false, true, true, true},  {"  x", "x\t", false, false, true, false},
      {"A b", "a B ", false, true, true, true}, {"A b", "a B", true, true, true, false},
      {"", "  \t", false, true, true, true},    {"x ", "x", false, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.query) + " | " + c.line);
    const BlockOptions options{c.caseSensitive, c.lead, c.trail};
    EXPECT_EQ(blockLineEquals(c.line, prepareBlockLine(c.query, options), options), c.equal);
  }
}

TEST(RegexRules, ScopeExpressionAndErrors) {
  struct Case {
    std::vector<std::string> lines;
    bool dotAll, eachLine;
    bool wholeText;
  };
  const Case cases[] = {
      {{"^a"}, false, false, false},     {{"a\\nb"}, false, false, true},
      {{"a", "b"}, false, false, true},  {{"a", "b"}, false, true, false},
      {{"a\\sb"}, false, false, true},   {{"a.b"}, true, false, true},
      {{"a.b"}, false, false, false},    {{"(?s)a.b"}, false, false, true},
      {{"\\Aa"}, false, false, true},    {{"(?-m)^a"}, false, false, true},
      {{"(?-m)a$"}, false, false, true}, {{"(?-m)a"}, false, false, false},
      {{"a\\x0Db"}, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines[0]);
    EXPECT_EQ(regexUsesWholeText(c.lines, c.dotAll, c.eachLine), c.wholeText);
  }
  EXPECT_EQ(regexExpression({".*x"}), "^.*x");
  EXPECT_EQ(regexExpression({"a", "b"}), "a\r\nb");
  EXPECT_EQ(wholeTextSubject("a\rb\r\nc\n\nd"), "a\r\nb\r\nc\r\n\r\nd\r\n");
  const RegExprError error(113, 4, "KsrRegex(comp): Unmatched [] (pos 4)");
  const SearchError shown = regexSearchError(error);
  EXPECT_EQ(shown.text(), "Error: Unmatched [] (pos 4)");
  EXPECT_EQ(shown.caption(), "Regular Expression");
  EXPECT_EQ(shown.position(), 4);
}

TEST(RegexRules, QueryLimits) {
  SearchRequest request;
  request.queryText = std::string(4000, 'x');
  EXPECT_NO_THROW(checkQueryLimits(request));
  request.queryText += 'x';
  EXPECT_THROW(checkQueryLimits(request), SearchError);
  request.origin = Origin::SearchAndReplace;
  try {
    checkQueryLimits(request);
  } catch (const SearchError& e) {
    EXPECT_EQ(e.text(), "The string is too long for the To Search field");
  }
  request.queryType = QueryType::Multiline;
  request.queryLines = {std::string(1001, 'y')};
  try {
    checkQueryLimits(request);
    ADD_FAILURE();
  } catch (const SearchError& e) {
    EXPECT_EQ(e.text(), "The lines are too long for the To Search field");
  }
}

}  // namespace
}  // namespace kestrix::search
