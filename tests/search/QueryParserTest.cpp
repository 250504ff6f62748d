// Query parsing: term tables of Words and Search Engine queries, their failures, and the
// lines of a multi-line query.
#include <gtest/gtest.h>

#include "search/QueryLines.h"
#include "search/QueryParser.h"
#include "search/SearchError.h"

namespace kestrix::search {
namespace {

// Terms as "sign+text" strings, e.g. "+APPLE", " PIE" (blank = optional).
std::vector<std::string> shown(const TermTable& table) {
  std::vector<std::string> out;
  for (const Term& t : table.terms) out.push_back(std::string(1, t.sign ? t.sign : ' ') + t.text);
  return out;
}

TEST(QueryParser, WordsAndPhrase) {
  EXPECT_EQ(shown(parseWords("alpha   beta", false, '+')),
            (std::vector<std::string>{"+ALPHA", "+BETA"}));
  EXPECT_EQ(shown(parseWords("one\ttwo", true, 0)), (std::vector<std::string>{" one\ttwo"}));
  EXPECT_EQ(shown(parseWords(" \t x  ", true, 0)), (std::vector<std::string>{" x"}));
  EXPECT_TRUE(parseWords("", false, 0).terms.empty());
  EXPECT_EQ(shown(parsePhrase("  ", false)), (std::vector<std::string>{"   "}));
  EXPECT_EQ(shown(parsePhrase(" Ab ", false)), (std::vector<std::string>{"  AB "}));
}

// The window's memos and the console's query and --with texts split their lines alike.
TEST(QueryLines, SplitAtLineFeeds) {
  const struct {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},  // a final break makes no empty line
      {"a\n\n", {"a", ""}},
      {"\n", {""}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb", {"a\rb"}},  // a lone CR is no break
      {"\n\nb", {"", "", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitQueryLines(c.text), c.lines) << '"' << c.text << '"';
}

TEST(QueryParser, SearchEngine) {
  struct Case {
    const char* query;
    std::vector<std::string> terms;
    bool allNegative;
  };
  const Case cases[] = {
      {"+apple -pie \"big tree\"", {"+APPLE", "-PIE", " BIG TREE"}, false},
      {"- +", {" -", " +"}, false},
      {"-x", {"-X"}, true},
      {"-a -b", {"-A", "-B"}, true},
      {"+-word", {"-WORD"}, true},
      {"\"say \"hi\" there\" x", {" SAY \"HI", " THERE\"", " X"}, false},
      {"\"a\"b\" c", {" A\"B", " C"}, false},  // the quote before b does not close
      {"  lead  two", {" LEAD", " TWO"}, false},
      {"\"first\" second", {" FIRST", " SECOND"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    const TermTable table = parseSearchEngine(c.query, false);
    EXPECT_EQ(shown(table), c.terms);
    EXPECT_EQ(table.allNegative, c.allNegative);
  }
}

TEST(QueryParser, FailuresCarryTheirCaptions) {
  struct Case {
    std::string query;
    QueryType type;
    const char* caption;
    const char* text;
  };
  std::string words500, words499;
  for (int i = 0; i < 500; ++i) words500 += "w ";
  for (int i = 0; i < 499; ++i) words499 += "w ";
  const Case cases[] = {
      {"   ", QueryType::WordsOr, "Find", "Please specify the word or words"},
      {"\t ", QueryType::WordsAnd, "Find", "Please specify the word or words"},
      {words500, QueryType::WordsOr, kProgramCaption, "Too many words"},
      {"\"", QueryType::SearchEngine, "Find", "Missing   \""},
      {"\"open phrase", QueryType::SearchEngine, "Find", "Missing   \""},
      {"\"\"", QueryType::SearchEngine, "Find", "Missing   \""},
      {"   ", QueryType::SearchEngine, "Find", "Missing   \""},
      {"\"a\"b", QueryType::SearchEngine, "Find", "Missing   \""},
      {words500, QueryType::SearchEngine, kProgramCaption, "Too many words and phrases"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query.substr(0, 40));
    SearchRequest request;
    request.queryType = c.type;
    request.queryText = c.query;
    try {
      buildTermTable(request);
      ADD_FAILURE() << "no error";
    } catch (const SearchError& e) {
      EXPECT_EQ(e.caption(), c.caption);
      EXPECT_EQ(e.text(), c.text);
    }
  }
  SearchRequest ok;
  ok.queryType = QueryType::SearchEngine;
  ok.queryText = words499;
  buildTermTable(ok);
  EXPECT_EQ(ok.termTable.terms.size(), 499u);
}

}  // namespace
}  // namespace kestrix::search
