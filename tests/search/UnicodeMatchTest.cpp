// Matching on characters in UTF-8: every simple case pair of Unicode's CaseFolding.txt found
// caseless, whole words by Unicode letters, digits and marks, and occurrences whose length
// differs from the term's.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../text/CaseFoldingPairs.h"
#include "TermHits.h"
#include "search/Matchers.h"
#include "text/Encoding.h"
#include "text/Utf8.h"

namespace kestrix::search {
namespace {

using testing::countTermHits;

using testing::FoldPair;
using testing::simpleFoldPairs;

std::string utf8(char32_t c) {
  std::string s;
  text::appendUtf8(s, c);
  return s;
}

// Finds the term (upper-cased as the query parser does) caseless in the text; returns the
// occurrence's length or npos.
std::size_t findCaseless(const std::string& term, const std::string& text, std::size_t& at) {
  LiteralFinder finder(text::CodePage::utf8().toUpper(term), false);
  at = finder.find(text);
  return at == std::string::npos ? at : finder.matchLength(text, at);
}

TEST(UnicodeMatch, EverySimpleCasePairIsFoundBothWays) {
  const auto pairs = simpleFoldPairs();
  ASSERT_GT(pairs.size(), 1400u) << "CaseFolding.txt not read";
  for (const FoldPair& p : pairs) {
    const std::string a = utf8(p.from), b = utf8(p.to);
    for (const auto& [query, other] : {std::pair{a, b}, std::pair{b, a}}) {
      // An ASCII query keeps the ASCII fast path (only "k" and "s" have a variant outside
      // ASCII: the Kelvin sign and the long s).
      if (text::isAscii(query)) continue;
      const std::string text = "x " + other + " y";
      std::size_t at = 0;
      ASSERT_EQ(findCaseless(query, text, at), other.size())
          << std::hex << "U+" << static_cast<unsigned>(p.from) << " / U+"
          << static_cast<unsigned>(p.to) << " query " << query;
      EXPECT_EQ(at, 2u);
      LiteralFinder finder(text::CodePage::utf8().toUpper(query + "z"), false);
      EXPECT_EQ(countTermHits("_" + other + "Z " + other + "z", finder, true), 1u) << query;
      EXPECT_EQ(countTermHits(other + "Z " + other + "z", finder, false), 2u) << query;
    }
  }
}

TEST(UnicodeMatch, WordsAndLengths) {
  struct Case {
    const char* term;
    const char* text;
    bool wholeWords;
    std::size_t hits;
  } cases[] = {
      {"привет", "ПРИВЕТ мир, Привет!", false, 2},
      {"Ελλάδα", "ΕΛΛΆΔΑ ελλάδα", true, 2},
      {"école", "ÉCOLE, École", true, 2},
      {"über", "ÜBER über", true, 2},
      {"mot", "«mot» “mot”", true, 2},           // guillemets and quotes are not letters
      {"mot", "motà mot\xcc\x81 mot", true, 1},  // a letter or a combining mark joins the word
      {"ab", "ab١ ab", true, 1},                 // Arabic-Indic digit one is a digit
      {"straße", "STRAẞE", false, 1},            // capital sharp s is longer than ß
      {"ǅ", "Ǆ ǆ ǅ", false, 3},                  // title case folds too
      {"σ", "Σ σ ς", false, 3},                  // final sigma folds to sigma
      {"é", "\xe9 \xc3", false, 0},              // invalid bytes are characters of their own
  };
  for (const Case& c : cases) {
    LiteralFinder finder(text::CodePage::utf8().toUpper(c.term), false);
    EXPECT_EQ(countTermHits(c.text, finder, c.wholeWords), c.hits) << c.term << " in " << c.text;
  }
  std::size_t at = 0;
  EXPECT_EQ(findCaseless("ß", "xẞ", at), 3u);
  EXPECT_EQ(at, 1u);
  EXPECT_EQ(findCaseless("K", "xk", at), 1u);  // the Kelvin sign finds k
}

TEST(UnicodeMatch, BlocksFoldByUnicode) {
  const BlockOptions options{false, true, true};
  EXPECT_TRUE(blockLineEquals("  ПРИВЕТ мир ", prepareBlockLine("привет МИР", options), options));
  EXPECT_TRUE(blockLineEquals("STRAẞE", prepareBlockLine("straße", options), options));
  EXPECT_FALSE(blockLineEquals("STRASSE", prepareBlockLine("straße", options), options));
  EXPECT_FALSE(blockLineEquals("привет", prepareBlockLine("привет мир", options), options));
}

// The search's expressions match characters, and "\n" crosses the CR LF that ends every
// line of the whole-text subject, whatever break the file used.
TEST(UnicodeMatch, ExpressionsOfTheSearch) {
  struct Case {
    const char* expression;
    const char* file;
    bool found;
  } cases[] = {
      {"abc\\ndef", "abc\ndef\n", true},  {"abc\\ndef", "abc\rdef", true},
      {"ПРИВЕТ.мир", "привет мир", true}, {"^.{6}$", "привет", true},
      {"\\bмир", "bмир", true},           {"[^a\\r\\n]", "\xa9", false},
  };
  for (const Case& c : cases) {
    SearchRequest r;
    r.queryType = QueryType::RegExpr;
    r.queryLines = {c.expression};
    r.caseSensitive = false;
    RegExpr re;
    configureRegExpr(re, r);
    EXPECT_EQ(re.exec(wholeTextSubject(c.file)), c.found) << c.expression << " in " << c.file;
  }
}

}  // namespace
}  // namespace kestrix::search
