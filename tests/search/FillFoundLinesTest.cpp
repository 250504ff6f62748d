// FillFoundLines: entries, hit records and viewer map for each query type.
#include <gtest/gtest.h>

#include "TempTree.h"
#include "search/Cells.h"
#include "search/Find.h"

namespace kestrix::search {
namespace {

using kestrix::testing::TempTree;

// Hits as "line:start+length" strings (start relative to the line text, prefix removed).
std::vector<std::string> hitsOf(const FoundLines& lines) {
  std::vector<std::string> out;
  for (const HitLine& line : lines.hitLines) {
    const std::size_t prefix = FoundLines::prefixLength(line.lineNumber);
    for (const Hit& h : line.hits) {
      out.push_back(std::to_string(line.lineNumber) + ":" + std::to_string(h.start - prefix) + "+" +
                    std::to_string(h.length));
    }
  }
  return out;
}

using Strings = std::vector<std::string>;

TEST(FillFoundLines, EveryQueryType) {
  TempTree tree;
  tree.write("f.txt", "one Two\r\nnothing\ntwo one two\rab\n");
  struct Case {
    QueryType type;
    std::vector<std::string> query;
    Strings entries;  // without the header
    Strings hits;
    std::string found;
  };
  const Case cases[] = {
      {QueryType::WordsOr,
       {"two one"},
       {" line 1: one Two", " line 3: two one two"},
       {"1:0+3", "1:4+3", "3:0+3", "3:4+3", "3:8+3"},
       "3, 2"},
      {QueryType::SearchEngine,
       {"-nothing one"},
       {" line 1: one Two", " line 2: nothing", " line 3: two one two"},
       {"1:0+3", "2:0+7", "3:4+3"},
       "1, 2"},
      {QueryType::Multiline, {"two one two", "AB"}, {" line 3 - line 4"}, {}, "1"},
      {QueryType::Multiline, {"nothing"}, {" line 2 "}, {}, "1"},
      {QueryType::RegExpr,
       {"t[wo]+"},
       {" line 1: one Two", " line 3: two one two"},
       {"1:4+3", "3:0+3", "3:8+3"},
       "3"},
      {QueryType::RegExpr,
       {"Two\\r\\nno"},
       {" line 1: one Two", " line 2: nothing"},
       {"1:4+3", "2:0+2"},
       "1"},
      {QueryType::RegExpr,
       {"ing\\s+two"},
       {" line 2: nothing", " line 3: two one two"},
       {"2:4+3", "3:0+3"},
       "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query[0]);
    SearchRequest r;
    r.queryType = c.type;
    if (c.type == QueryType::Multiline || c.type == QueryType::RegExpr) {
      r.queryLines = c.query;
    } else {
      r.queryText = c.query[0];
    }
    const FillOutcome out = fillFoundLines(r, tree.path(), "f.txt");
    ASSERT_FALSE(out.lines.entries.empty());
    EXPECT_EQ(out.lines.entries[0], "     File:  f.txt      Path:  " + tree.path());
    EXPECT_EQ(Strings(out.lines.entries.begin() + 1, out.lines.entries.end()), c.entries);
    EXPECT_EQ(hitsOf(out.lines), c.hits);
    EXPECT_EQ(search::foundText(out.hits), c.found);
    EXPECT_TRUE(out.completed);
    ASSERT_EQ(out.lines.viewerMap.size(), out.lines.entries.size());
    for (std::size_t i = 1; i < out.lines.entries.size(); ++i) {
      const int map = out.lines.viewerMap[i];
      if (map >= 0) {
        const auto n = out.lines.hitLines[static_cast<std::size_t>(map)].lineNumber;
        EXPECT_EQ(out.lines.entries[i].rfind(" line " + std::to_string(n) + ":", 0), 0u);
      }
    }
  }
}

TEST(FillFoundLines, LimitMissingFileAndStop) {
  TempTree tree;
  std::string many;
  for (int i = 0; i < 6000; ++i) many += "hit\n";
  tree.write("many.txt", many);
  SearchRequest r;
  r.queryText = "hit";
  FillOutcome out = fillFoundLines(r, tree.path(), "many.txt");
  EXPECT_EQ(out.lines.entries.size(), 5003u);
  EXPECT_EQ(out.lines.entries[5001], FoundLines::kEtcMarker);
  EXPECT_EQ(out.lines.entries[5002], " line 5001: hit");
  EXPECT_EQ(search::foundText(out.hits), "6000");

  try {
    fillFoundLines(r, tree.path(), "gone.txt");
    ADD_FAILURE();
  } catch (const SearchError& e) {
    EXPECT_EQ(e.caption(), kProgramCaption);
    EXPECT_EQ(e.text(), "File " + tree.at("gone.txt") + " not found");
  }
  bool asked = false;
  out = fillFoundLines(r, tree.path(), "many.txt", [&] { return asked = true; });
  (void)asked;  // the fill may end before a poll is due; when it polled, it stopped
  EXPECT_EQ(out.completed, !asked);
}

}  // namespace
}  // namespace kestrix::search
