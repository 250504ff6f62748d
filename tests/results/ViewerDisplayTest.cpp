// The lines viewer's display: hits moved from bytes to display columns, clipped to the
// text, the file line each entry names, and the lines the interval marker marks.
#include <gtest/gtest.h>

#include "results/DisplayLines.h"
#include "results/IntervalMarker.h"

namespace kestrix::results {
namespace {

// Adds a line entry with hits given as {offset, length} into `text`.
void addLine(search::FoundLines& lines, std::int64_t number, const std::string& text,
             const std::vector<std::pair<std::size_t, std::size_t>>& hits) {
  search::HitLine hitLine{number, {}};
  const std::size_t prefix = search::FoundLines::prefixLength(number);
  for (auto [start, length] : hits) hitLine.hits.push_back(search::Hit{prefix + start, length, 0});
  lines.hitLines.push_back(hitLine);
  lines.appendLine(number, text, static_cast<int>(lines.hitLines.size()) - 1);
}

TEST(DisplayLines, MovesHitsToColumnsOfTheDecodedText) {
  search::FoundLines lines;
  lines.begin("a.txt", "/data");
  addLine(lines, 3, "x\xC3\xA9 needle", {{4, 6}});
  addLine(lines, 12, "caf\xE9 needle needle", {{5, 6}, {12, 6}});
  addLine(lines, 7, "\xF0\x9F\x98\x80 hit", {{0, 4}, {5, 3}});
  addLine(lines, 8, "short", {{3, 10}, {9, 2}});  // runs past the end; starts past it
  lines.appendBlock(20, 22, false);
  const std::vector<DisplayLine> shown = displayLines(lines);
  ASSERT_EQ(shown.size(), 6u);
  EXPECT_EQ(shown[0].text, u"     File:  a.txt      Path:  /data");
  EXPECT_TRUE(shown[0].hits.empty());
  EXPECT_EQ(shown[0].lineNumber, 0);
  struct Expected {
    std::u16string text;
    std::vector<ColumnHit> hits;
    std::int64_t lineNumber;
  } expected[] = {
      {u" line 3: x\u00E9 needle", {{12, 6}}, 3},
      {u" line 12: caf\u00E9 needle needle", {{15, 6}, {22, 6}}, 12},
      {u" line 7: \U0001F600 hit", {{9, 2}, {12, 3}}, 7},
      {u" line 8: short", {{12, 2}}, 8},
      {u" line 20 - line 22", {}, 20},
  };
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(shown[i + 1].text, expected[i].text);
    EXPECT_EQ(shown[i + 1].hits, expected[i].hits);
    EXPECT_EQ(shown[i + 1].lineNumber, expected[i].lineNumber);
  }
}

TEST(DisplayLines, EtcEntryNamesNoLine) {
  search::FoundLines lines;
  lines.begin("big.txt", "/data");
  for (int n = 1; n <= 6000 && !lines.full(); ++n) addLine(lines, n, "hit", {{0, 3}});
  const std::vector<DisplayLine> shown = displayLines(lines);
  ASSERT_EQ(shown.size(), 5003u);
  EXPECT_EQ(shown[5001].lineNumber, 0);
  EXPECT_TRUE(shown[5001].hits.empty());
  EXPECT_EQ(shown[5002].lineNumber, 5001);
  EXPECT_EQ(shown[5002].hits, (std::vector<ColumnHit>{{12, 3}}));
}

TEST(IntervalMarker, MarksTheLinesInsideTheInterval) {
  struct Case {
    IntervalMarker marker;
    std::vector<std::int64_t> marked, unmarked;
  };
  const std::vector<Case> cases = {
      {{false, 0, 0}, {}, {1, 10}},         // intervals not in use
      {{true, 0, 0}, {1, 10, 5000}, {}},    // all file
      {{true, 10, 0}, {10, 5000}, {1, 9}},  // 10 - Bottom
      {{true, 0, 4}, {1, 4}, {5, 100}},     // Top - 4
      {{true, 3, 5}, {3, 4, 5}, {2, 6}},    // 3 - 5
      {{true, -1, -1}, {}, {1, 2, 5000}},   // Nil
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.marker.from) + " - " + std::to_string(c.marker.to));
    for (std::int64_t line : c.marked) EXPECT_TRUE(c.marker.marks(line)) << line;
    for (std::int64_t line : c.unmarked) EXPECT_FALSE(c.marker.marks(line)) << line;
  }
}

}  // namespace
}  // namespace kestrix::results
