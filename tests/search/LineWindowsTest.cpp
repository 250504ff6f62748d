// Files read in windows of whole lines: the pieces put together are the text up to its first
// NUL and break into the same lines; an expression searched line by line counts the same
// matches over a streamed file as over the file read whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "TempTree.h"
#include "search/Cells.h"
#include "search/Find.h"
#include "search/LineWindows.h"
#include "text/Lines.h"

namespace kestrix::search {
namespace {

using kestrix::testing::TempTree;

// A reader that hands out at most `most` bytes per call (short reads as well as full ones).
ReadAt choppyReader(const std::string& text, std::mt19937& rng) {
  return [&text, &rng](std::uint64_t offset, char* out, std::size_t size) -> std::size_t {
    if (offset >= text.size()) return 0;
    std::size_t n = std::min<std::size_t>(size, text.size() - offset);
    if (rng() % 3 == 0) n = std::max<std::size_t>(1, n / 2);
    std::memcpy(out, text.data() + offset, n);
    return n;
  };
}

TEST(LineWindows, PiecesHoldWholeLinesOfTheText) {
  std::mt19937 rng(5);
  const std::vector<std::string> pieces = {"a", "bc", "\n", "\r", "\r\n", "\n\r", "xyzxyzxyz"};
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const std::size_t size = rng() % 200;
    while (text.size() < size) text += pieces[rng() % pieces.size()];
    if (rng() % 5 == 0 && !text.empty()) text[rng() % text.size()] = '\0';
    const std::size_t window = 2 + rng() % 12;
    SCOPED_TRACE(::testing::Message() << "round " << round << " window " << window);
    std::string buffer, joined;
    std::vector<std::string> lines;
    const bool finished = forEachLineWindow(
        choppyReader(text, rng), buffer, window,
        [&](std::string_view piece) {
          EXPECT_FALSE(piece.empty());
          for (std::string_view line : text::splitLines(piece)) lines.emplace_back(line);
          joined += piece;
          return true;
        },
        rng() % 2 ? text.size() : TermScan::kToEnd);
    EXPECT_TRUE(finished);
    const std::string_view expected = text::textUntilNul(text);
    EXPECT_EQ(joined, expected);
    std::vector<std::string> expectedLines;
    for (std::string_view line : text::splitLines(expected)) expectedLines.emplace_back(line);
    EXPECT_EQ(lines, expectedLines);
  }
}

TEST(LineWindows, CutsOnlyWhereALineIsKnownToEnd) {
  EXPECT_EQ(lineWindowCut("ab\ncd", 5), 3u);
  EXPECT_EQ(lineWindowCut("ab\r\n", 4), 4u);
  EXPECT_EQ(lineWindowCut("ab\rcd", 5), 3u);
  EXPECT_EQ(lineWindowCut("ab\r", 3), 0u);  // a LF may follow in the next window
  EXPECT_EQ(lineWindowCut("a\rb\r", 4), 2u);
  EXPECT_EQ(lineWindowCut("abcd", 4), 0u);
  // `each` saying stop ends the walk.
  const std::string text = "a\nb\nc\n";
  std::mt19937 rng(1);
  int calls = 0;
  std::string buffer;
  EXPECT_FALSE(forEachLineWindow(choppyReader(text, rng), buffer, 2,
                                 [&](std::string_view) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
}

class Rows : public SearchObserver {
 public:
  void resultAdded(const ResultItem& item) override { items.push_back(item); }
  std::vector<ResultItem> items;
};

// Files of several windows, with lines longer than a window, every kind of break and a NUL
// past the first window: the streamed run finds what the whole file's lines hold.
TEST(LineWindows, ExpressionCountsAgreeWithTheWholeFile) {
  TempTree tree;
  std::mt19937 rng(17);
  const std::vector<std::string> pieces = {"ab",  "size_t", "AB",   " ",   "\n", "\r\n", "\r",
                                           "x_t", "ab1",    "fooo", "bar", "-",  "ba"};
  for (int file = 0; file < 4; ++file) {
    std::string text;
    const std::size_t size = kLineWindowBytes * 2 + 1000;
    while (text.size() < size) {
      const std::string& piece = pieces[rng() % pieces.size()];
      // One line longer than a window.
      if (file == 1 && text.size() > 1000 && text.size() < kLineWindowBytes * 3 / 2 &&
          (piece[0] == '\r' || piece[0] == '\n')) {
        continue;
      }
      text += piece;
    }
    if (file == 3) text[kLineWindowBytes + 77] = '\0';
    tree.write("f" + std::to_string(file) + ".txt", text);
  }
  for (const char* expression :
       {"ab", "^ab", "b$", "^$", "[a-z]+_t", "fo+ba?r", "\\w+_t", "\\bab\\b", "[^a]b", "a|b$"}) {
    for (bool caseSensitive : {false, true}) {
      SCOPED_TRACE(std::string(expression) + (caseSensitive ? " case" : ""));
      SearchRequest r;
      r.folder = tree.path();
      r.queryType = QueryType::RegExpr;
      r.queryLines = {expression};
      r.caseSensitive = caseSensitive;
      Rows rows;
      const FindOutcome out = runFind(r, rows);
      ASSERT_FALSE(out.error.has_value()) << out.error->text();
      ASSERT_EQ(rows.items.size(), 4u);
      for (const ResultItem& item : rows.items) {
        SCOPED_TRACE(item.name);
        EXPECT_EQ(search::foundCellText(item),
                  search::foundText(fillFoundLines(r, item.path, item.name).hits));
      }
    }
  }
}

}  // namespace
}  // namespace kestrix::search
