// Modification intervals: texts, cell formats, marking, viewer rows and the heading rule;
// and the enable state of the modify commands that the heading rule reads.
#include <gtest/gtest.h>

#include "modify/Interval.h"
#include "modify/IntervalStatus.h"

namespace kestrix::modify {
namespace {

TEST(Interval, ResultCellFollowsOutcomeAndFormat) {
  using search::RowResult;
  struct Case {
    RowResult result;
    Interval interval;
    const char* formatted;
    const char* plain;
  };
  const Case cases[] = {
      {RowResult::Found, {0, 0}, "Found       All file", "Found"},
      {RowResult::Found, {12, 0}, "Found       12 - Bottom", "Found"},
      {RowResult::Found, {-1, -1}, "Found       Nil", "Found"},
      {RowResult::Modified, {12, 0}, "Modified    \\12 - Bottom", "Modified"},
      {RowResult::Modified, {0, 7}, "Modified    \\Top - 7", "Modified"},
      {RowResult::Undid, {3, 9}, "Undid        \\3 - 9", "Undid"},
      {RowResult::FailedModification, {-1, -1}, "Failed Modification   Nil", "Failed Modification"},
      {RowResult::FailedUndo, {0, 0}, "Failed Undo   All file", "Failed Undo"},
      {RowResult::FailedUndo, {2, 0}, "Failed Undo   2 - Bottom", "Failed Undo"},
      {RowResult::NotFound, {0, 0}, "Not Found", "Not Found"},
      {RowResult::None, {-1, -1}, "", ""},
  };
  for (const auto& c : cases) {
    search::ResultItem row;
    row.outcome.result = c.result;
    row.intervalFrom = c.interval.from;
    row.intervalTo = c.interval.to;
    EXPECT_EQ(search::resultCellText(row, true), c.formatted) << c.plain;
    EXPECT_EQ(search::resultCellText(row, false), c.plain) << c.plain;
    const bool nil = c.interval.isNil() && c.result != RowResult::None;
    EXPECT_EQ(search::excludedByInterval(row, true), nil) << c.formatted;
    EXPECT_FALSE(search::excludedByInterval(row, false)) << c.formatted;
  }
}

TEST(Interval, ResolvesLineSpans) {
  EXPECT_EQ(resolveInterval({0, 0}, 10).first, 1);
  EXPECT_EQ(resolveInterval({0, 0}, 10).last, 10);
  EXPECT_EQ(resolveInterval({4, 0}, 10).first, 4);
  EXPECT_EQ(resolveInterval({0, 4}, 10).last, 4);
  auto nil = resolveInterval({-1, -1}, 10);
  EXPECT_GT(nil.first, nil.last);
}

TEST(Interval, MarkingKeepsTheEndsInOrder) {
  struct Case {
    Interval before;
    bool markFromNotTo;
    std::int64_t line;
    Interval after;
  };
  const Case cases[] = {
      {{0, 0}, true, 5, {5, 0}},   {{0, 10}, true, 5, {5, 10}},  {{0, 3}, true, 5, {5, 0}},
      {{-1, -1}, true, 5, {5, 0}}, {{0, 0}, false, 8, {0, 8}},   {{3, 0}, false, 8, {3, 8}},
      {{9, 0}, false, 8, {0, 8}},  {{-1, -1}, false, 8, {0, 8}},
  };
  for (const auto& c : cases) {
    search::ResultItem row;
    row.intervalFrom = c.before.from;
    row.intervalTo = c.before.to;
    if (c.markFromNotTo) {
      markFrom(row, c.line);
    } else {
      markTo(row, c.line);
    }
    EXPECT_EQ(row.intervalFrom, c.after.from) << intervalText(c.before) << " mark " << c.line;
    EXPECT_EQ(row.intervalTo, c.after.to) << intervalText(c.before) << " mark " << c.line;
  }
  std::vector<search::ResultItem> rows(3);
  unmarkAll(rows, {0, 2, 7});
  EXPECT_EQ(intervalText(intervalOf(rows[0])), "Nil");
  EXPECT_EQ(intervalText(intervalOf(rows[1])), "All file");
  markAll(rows, {0});
  EXPECT_EQ(intervalText(intervalOf(rows[0])), "All file");
}

TEST(Interval, ViewerRows) {
  EXPECT_EQ(viewerLineNumber(" line 12: text"), 12);
  EXPECT_EQ(viewerLineNumber(" line 7 - line 9"), 7);
  EXPECT_EQ(viewerLineNumber(" line 3 "), 3);
  EXPECT_EQ(viewerLineNumber("     File:  a      Path:  /x"), std::nullopt);
  EXPECT_EQ(viewerLineNumber("    Etc (too many messages for the Lines Viewer)"), std::nullopt);
  EXPECT_FALSE(viewerRowMarkable(0, 10));
  EXPECT_TRUE(viewerRowMarkable(1, 10));
  EXPECT_FALSE(viewerRowMarkable(5001, 5003));
  EXPECT_TRUE(viewerRowMarkable(5002, 5003));
  EXPECT_FALSE(viewerRowMarkable(1, 0));
}

TEST(Interval, HeadingFollowsIntervalsAndCommandState) {
  ModifyRequest phrase;
  phrase.useIntervalsPhrase = true;
  ModifyCommandState enabled;
  enabled.searchStarted();
  enabled.searchEnded(ModificationType::Replace, true, false);
  ModifyCommandState outdated = enabled;
  outdated.searchChanged();
  ModifyCommandState parked = enabled;
  parked.modificationTypeChosen(ModificationType::None, false);
  ModifyRequest multiline;
  multiline.searchType = QueryType::Multiline;
  ModifyRequest plain;

  struct Case {
    const char* label;
    int mode;
    ModifyRequest request;
    ModifyCommandState state;
    std::optional<std::string> heading;
  };
  const Case cases[] = {
      {"intervals, enabled", 2, phrase, enabled, kIntervalHeading},
      {"intervals, parked", 2, phrase, parked, kIntervalHeading},
      {"multiline parked", 2, multiline, parked, std::nullopt},
      {"intervals, outdated", 2, phrase, outdated, kResultHeading},
      {"no intervals", 2, plain, enabled, kResultHeading},
      {"search starts", 1, phrase, enabled, kResultHeading},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(refreshResultHeading(c.mode, c.request, c.state), c.heading) << c.label;
  }
}

TEST(ModifyCommandState, Transitions) {
  ModifyCommandState s;
  EXPECT_FALSE(s.modifyAllEnabled());
  s.searchStarted();
  EXPECT_FALSE(s.searchOutdated());
  s.searchEnded(ModificationType::Replace, true, false);
  EXPECT_TRUE(s.modifyAllEnabled());

  s.modificationTypeChosen(ModificationType::None, false);  // parks
  EXPECT_FALSE(s.modifyAllEnabled());
  EXPECT_TRUE(s.commandsParked());
  s.modificationTypeChosen(ModificationType::Delete, false);  // comes back
  EXPECT_TRUE(s.modifyAllEnabled());
  EXPECT_FALSE(s.commandsParked());

  s.searchChanged();  // editing the search text
  EXPECT_FALSE(s.modifyAllEnabled());
  s.modificationTypeChosen(ModificationType::Replace, false);
  EXPECT_FALSE(s.modifyAllEnabled()) << "an outdated search never comes back";

  ModifyCommandState none;
  none.searchStarted();
  none.searchEnded(ModificationType::None, true, false);
  EXPECT_FALSE(none.modifyAllEnabled());
  none.modificationTypeChosen(ModificationType::Replace, false);
  EXPECT_TRUE(none.modifyAllEnabled()) << "parked since the search started";

  ModifyCommandState nameOnly;
  nameOnly.searchStarted();
  nameOnly.searchEnded(ModificationType::Replace, false, false);
  EXPECT_FALSE(nameOnly.modifyAllEnabled());
}

TEST(Interval, StatusTextAndBulkRows) {
  const std::string prefix = kIntervalStatusPrefix;
  EXPECT_EQ(intervalStatusText(-1, -1), prefix + "The marked lines are absent");
  EXPECT_EQ(intervalStatusText(0, 0), prefix + "All lines are marked");
  EXPECT_EQ(intervalStatusText(2, 4), prefix + "From line 2 to line 4");
  EXPECT_EQ(intervalStatusText(0, 7), prefix + "From top to line 7");
  EXPECT_EQ(intervalStatusText(12, 0), prefix + "From line 12 to bottom");
  using Rows = std::vector<std::size_t>;
  EXPECT_EQ(rowsInScope(MarkScope::Browsed, 2, {0, 1}, 4), Rows{2});
  EXPECT_EQ(rowsInScope(MarkScope::Browsed, -1, {0, 1}, 4), Rows{});
  EXPECT_EQ(rowsInScope(MarkScope::Selected, 2, {0, 3}, 4), (Rows{0, 3}));
  EXPECT_EQ(rowsInScope(MarkScope::Listed, 2, {0}, 3), (Rows{0, 1, 2}));
  EXPECT_EQ(rowsInScope(MarkScope::Listed, -1, {}, 0), Rows{});
}

}  // namespace
}  // namespace kestrix::modify
