// The results list's columns: captions, cell texts, header-click orders and the toggling
// of the sort direction.
#include <gtest/gtest.h>

#include "results/ResultColumns.h"
#include "results/SortState.h"

namespace kestrix::results {
namespace {

search::ResultItem row(const std::string& name, std::int64_t bytes, std::int64_t firstHit,
                       std::int64_t time) {
  search::ResultItem item;
  item.name = name;
  item.path = "/data";
  item.hits = {firstHit};
  item.sizeBytes = bytes;
  item.size = std::to_string(bytes) + " B";
  item.lastWriteSec = time;
  item.time = "t" + std::to_string(time);
  item.type = name + " type";
  return item;
}

std::vector<std::string> namesInOrder(const std::vector<search::ResultItem>& items,
                                      const std::vector<std::size_t>& order) {
  std::vector<std::string> names;
  for (std::size_t i : order) names.push_back(items[i].name);
  return names;
}

TEST(ResultColumns, CaptionsAndCells) {
  search::ResultItem item = row("bad\xFF.txt", 1500, 2, 100);
  item.hits = {2, 0, 5};
  item.attributes = "RH";
  item.outcome = {search::RowResult::Modified, {}};
  const struct {
    ResultColumn column;
    const char* caption;
    const char* cell;
    int width;
  } cases[] = {
      {ResultColumn::Name, "Name", "bad\\xFF.txt", 122},
      {ResultColumn::Path, "Path", "/data", 212},
      {ResultColumn::Found, "Found", "2, 0, 5", 52},
      {ResultColumn::Attributes, "Attributes", "RH", 55},
      {ResultColumn::Time, "Time", "t100", 103},
      {ResultColumn::Size, "Size", "1500 B", 69},
      {ResultColumn::Type, "Type", "bad\xFF.txt type", 75},
      {ResultColumn::Result, "Result", "Modified", 100},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(columnCaption(c.column), c.caption);
    EXPECT_EQ(cellText(item, c.column, false), c.cell) << c.caption;
    EXPECT_EQ(defaultColumnWidth(c.column), c.width) << c.caption;
  }
  EXPECT_EQ(cellText(item, ResultColumn::Result, true), "Modified    \\All file");
}

TEST(ResultColumns, HeaderClickOrders) {
  const std::vector<search::ResultItem> items = {row("b", 10000, 12, 300), row("C", 9500, 3, 100),
                                                 row("a", 20, 4, 200)};
  const TypeText reversedName = [](const search::ResultItem& item) {
    return std::string(item.name.rbegin(), item.name.rend()) == "a" ? "z" : item.name;
  };
  const struct {
    ResultColumn column;
    bool descending;
    std::vector<std::string> names;
  } cases[] = {
      {ResultColumn::Size, false, {"a", "C", "b"}},  {ResultColumn::Size, true, {"b", "C", "a"}},
      {ResultColumn::Found, false, {"C", "a", "b"}}, {ResultColumn::Time, false, {"C", "a", "b"}},
      {ResultColumn::Name, false, {"a", "b", "C"}},  {ResultColumn::Type, false, {"b", "C", "a"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(namesInOrder(items, columnOrder(items, c.column, c.descending, false, reversedName)),
              c.names)
        << columnCaption(c.column) << (c.descending ? " descending" : "");
}

TEST(ResultColumns, SortDirectionToggles) {
  SortState state;
  const int clicks[] = {5, 5, 5, 2, 5, -1, 8};
  const bool descending[] = {false, true, false, false, false, false, false};
  for (std::size_t i = 0; i < std::size(clicks); ++i) {
    EXPECT_EQ(state.beginSort(clicks[i]), descending[i]) << "click " << i;
    if (clicks[i] >= 0 && clicks[i] < SortState::kColumns) state.finishSort();
  }
  state.beginSort(3);
  state.finishSort();
  state.clearFlags();
  EXPECT_FALSE(state.beginSort(3));
}

}  // namespace
}  // namespace kestrix::results
