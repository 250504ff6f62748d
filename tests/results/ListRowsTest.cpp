// The results list's row arithmetic: runs of rows, mask selection, the row selected after
// Delete Items and the status text of the rows left.
#include <gtest/gtest.h>

#include "results/ListRows.h"

namespace kestrix::results {
namespace {

std::vector<search::ResultItem> named(const std::vector<std::string>& names) {
  std::vector<search::ResultItem> items;
  for (const std::string& name : names) {
    items.emplace_back();
    items.back().name = name;
  }
  return items;
}

// The rows of `runs`, one by one.
std::vector<int> rowsOf(const std::vector<RowRun>& runs) {
  std::vector<int> rows;
  for (const RowRun& run : runs)
    for (int r = run.first; r <= run.last; ++r) rows.push_back(r);
  return rows;
}

TEST(ListRows, RunsOfValidRows) {
  const std::vector<int> rows = validRows({5, 0, 1, 1, 9, -1, 3, 4, 10}, 10);
  EXPECT_EQ(rows, (std::vector<int>{0, 1, 3, 4, 5, 9}));
  EXPECT_EQ(rowRuns(rows), (std::vector<RowRun>{{0, 1}, {3, 5}, {9, 9}}));
  EXPECT_TRUE(rowRuns({}).empty());
  EXPECT_TRUE(validRows({3}, 0).empty());
}

TEST(ListRows, MaskPicksRowsByName) {
  const auto items = named({"readme", "readme.txt", "a", "ab", "Makefile", "x.TXT"});
  struct Case {
    const char* mask;
    std::vector<int> rows;
  };
  const Case cases[] = {
      {"readme", {0}}, {"*", {0, 2, 3, 4}}, {"*.*", {0, 1, 2, 3, 4, 5}},
      {"a?", {3}},     {"*.txt", {1, 5}},   {"[r]*", {0}},  // "[r]*." needs a dot at the end
  };
  for (const Case& c : cases) {
    const auto runs = rowsMatchingMask(items, c.mask);
    ASSERT_TRUE(runs.has_value()) << c.mask;
    EXPECT_EQ(rowsOf(*runs), c.rows) << c.mask;
  }
  EXPECT_FALSE(rowsMatchingMask(items, "[abc").has_value());
}

TEST(ListRows, DeleteItemsSelectsTheFollowingRow) {
  struct Case {
    std::vector<int> removed;
    int remaining;
    int selected;
  };
  const Case cases[] = {
      {{2, 5}, 8, 4},                      // row 6 moved up by two
      {{0}, 9, 0},                         // the first row: the new first row
      {{8, 9}, 8, 7},                      // the last rows: the new last row
      {{3, 4, 5}, 3, 2}, {{0, 1}, 0, -1},  // nothing left
  };
  for (const Case& c : cases)
    EXPECT_EQ(rowAfterRemoval(c.removed, c.remaining), c.selected) << c.remaining;
  EXPECT_EQ(filesInListText(1), "File in List:   1");
  EXPECT_EQ(filesInListText(12), "Files in List:   12");
}

}  // namespace
}  // namespace kestrix::results
