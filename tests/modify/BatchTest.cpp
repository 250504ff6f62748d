// Batch tables: the cell rules, the ".tbl" and "Batch.tmp" formats with their round trips
// and refusals, and the pair runner on real files.
#include <gtest/gtest.h>

#include "PassFixture.h"
#include "modify/BatchRunner.h"
#include "modify/BatchStateFile.h"

namespace kestrix::modify {
namespace {

using testing::readBytes;
using testing::RecordingObserver;
using testing::TempFolder;
using testing::writeBytes;

TEST(BatchTable, CellRules) {
  struct Case {
    std::string typed;
    std::string text;
    bool cut;
  };
  const Case cases[] = {
      {"plain", "plain", false},
      {"first\r\nsecond", "first", false},
      {"only\nlf", "only\nlf", false},  // a lone LF is kept: the cut needs both CR and LF
      {std::string(1001, 'x'), std::string(1000, 'x'), true},
      {std::string(1000, 'x'), std::string(1000, 'x'), false},
  };
  for (const auto& c : cases) {
    auto cell = normalizeBatchCell(c.typed);
    EXPECT_EQ(cell.text, c.text) << c.typed.substr(0, 20);
    EXPECT_EQ(cell.cut, c.cut) << c.typed.substr(0, 20);
  }
  using Lines = std::vector<std::string>;
  EXPECT_EQ(splitBatchCell("a|b"), (Lines{"a", "b"}));
  EXPECT_EQ(splitBatchCell("a||b"), (Lines{"a|b"}));
  EXPECT_EQ(splitBatchCell("a|b||c|"), (Lines{"a", "b|c", ""}));
  EXPECT_EQ(splitBatchCell(""), (Lines{""}));
  EXPECT_EQ(clampBatchRows(0), 1u);
  EXPECT_EQ(clampBatchRows(100001), 100000u);
}

TEST(BatchTable, TableFileRoundTripAndRefusals) {
  BatchTable table;
  table.rows = {{"old", "new"}, {"", ""}, {"a|b", "x||y"}};
  const std::string bytes = formatTableFile(table);
  EXPECT_EQ(bytes, "3\r\n\r\nold\r\nnew\r\n\r\n\r\n\r\n\r\na|b\r\nx||y\r\n");
  EXPECT_EQ(parseTableFile(bytes), table);

  TempFolder dir;
  saveTableFile(dir.file("t.tbl"), table);
  EXPECT_EQ(openTableFile(dir.file("t.tbl")), table);

  const char* refused[] = {"100001\r\n", "x\r\n", "2\r\n\r\na\r\nb\r\n", ""};
  for (const char* bad : refused) {
    try {
      parseTableFile(bad);
      ADD_FAILURE() << "accepted " << ::testing::PrintToString(std::string(bad));
    } catch (const ModifyError& e) {
      EXPECT_EQ(e.message(), (UserMessage{kProgramCaption, "Incorrect file"}));
    }
  }
  EXPECT_THROW(openTableFile(dir.file("missing.tbl")), ModifyError);
  EXPECT_EQ(parseTableFile("100000\r\n" + std::string(300000, '\n')).rows.size(), 100000u);
  EXPECT_EQ(parseTableFile(std::string(1, '1') + "\n\nlf\nends\n").rows[0],
            (BatchPair{"lf", "ends"}));
}

TEST(BatchTable, StateFileRoundTrip) {
  BatchState state;
  state.width = 640;
  state.height = 480;
  state.rowsSpin = 2;
  state.searchColumnWidth = 120;
  state.replaceColumnWidth = 300;
  state.table.rows = {{"s1", "r1"}, {"s2", ""}};
  const std::string bytes = formatBatchState(state);
  EXPECT_EQ(bytes, "640\r\n480\r\n2\r\n120\r\n300\r\n2\r\ns1\r\ns2\r\n\r\nr1\r\n\r\n");
  EXPECT_EQ(parseBatchState(bytes), state);
  EXPECT_EQ(parseBatchState("1\r\n2\r\n3\r\n4\r\n5\r\n0\r\n\r\n")->table.rows.size(), 1u);
  EXPECT_EQ(parseBatchState("1\r\n2\r\n"), std::nullopt);
  TempFolder dir;
  writeBatchState(dir.file("Batch.tmp"), state);
  EXPECT_EQ(readBatchState(dir.file("Batch.tmp")), state);
  EXPECT_EQ(readBatchState(dir.file("none")), std::nullopt);

  // Stored where the folder is still missing; the data folder is its usual place.
  const std::string nested = dir.path() + "/data/Kestrix Search & Replace/Batch.tmp";
  storeBatchState(nested, state);
  EXPECT_EQ(readBatchState(nested), state);
  writeBytes(dir.file("file"), "x");  // a file where the folder should be
  EXPECT_THROW(storeBatchState(dir.file("file") + "/Batch.tmp", state), std::exception);
  ::setenv("XDG_DATA_HOME", (dir.path() + "/data").c_str(), 1);
  EXPECT_EQ(batchStateFilePath(), nested);
  ::unsetenv("XDG_DATA_HOME");
}

search::SearchRequest searchIn(const TempFolder& dir) {
  search::SearchRequest s;
  s.folder = dir.path();
  s.masksText = "*.txt";
  return s;
}

TEST(BatchRunner, RunsPairsInOrderOnFreshSearches) {
  TempFolder dir;
  writeBytes(dir.file("a.txt"), "one two\n");
  writeBytes(dir.file("b.txt"), "two\n");
  BatchTable table;
  table.rows = {{"one", "two"}, {"", "skipped"}, {"two", "three"}};
  ModifyRequest modify;
  modify.caseSensitive = true;
  UndoJournal journal;
  RecordingObserver observer;
  PassOptions options;
  options.refreshHits = false;
  auto summary = runBatch(table, searchIn(dir), modify, journal, observer, options);
  ASSERT_EQ(summary.pairs.size(), 2u);
  EXPECT_EQ(summary.pairs[1].row, 2u);
  EXPECT_EQ(readBytes(dir.file("a.txt")), "three three\n");  // the later pair sees the first
  EXPECT_EQ(readBytes(dir.file("b.txt")), "three\n");
  // Only the last pair's run can be undone; a.txt's backup holds its state before it.
  EXPECT_EQ(journal.entries.size(), 2u);
  EXPECT_EQ(readBytes(dir.file("a.txt.bak")), "two two\n");
}

TEST(BatchRunner, MultilineCellsAndStopRules) {
  TempFolder dir;
  writeBytes(dir.file("m.txt"), "a\nb\na|b\n");
  BatchTable table;
  table.rows = {{"a|b", "X|Y"}, {"a||b", "Z"}};
  ModifyRequest modify;
  modify.searchType = QueryType::Multiline;
  modify.createBackups = false;
  UndoJournal journal;
  RecordingObserver observer;
  auto summary = runBatch(table, searchIn(dir), modify, journal, observer);
  EXPECT_EQ(readBytes(dir.file("m.txt")), "X\nY\nZ\n");
  EXPECT_FALSE(summary.error);

  modify.modificationType = ModificationType::None;
  EXPECT_THROW(runBatch(table, searchIn(dir), modify, journal, observer), ModifyError);

  // A replacement over the limit ends the batch with its message.
  modify.modificationType = ModificationType::Replace;
  table.rows = {{"X", std::string(1001, 'q')}, {"Y", "never"}};
  summary = runBatch(table, searchIn(dir), modify, journal, observer);
  ASSERT_TRUE(summary.error);
  EXPECT_EQ(summary.error->text, kLinesTooLong);
  EXPECT_EQ(readBytes(dir.file("m.txt")), "X\nY\nZ\n");

  observer.stopAfterFiles = 0;
  table.rows = {{"X", "1"}};
  summary = runBatch(table, searchIn(dir), modify, journal, observer);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(readBytes(dir.file("m.txt")), "X\nY\nZ\n");
}

// The window runs each pair itself: the runner gets the pair's two requests, and its stop
// or error ends the batch.
TEST(BatchRunner, DrivesAPairRunner) {
  BatchTable table;
  table.rows = {{"a|b", "x||y"}, {"", "skipped"}, {"c", "d"}, {"e", "f"}};
  ModifyRequest modify;
  modify.searchType = QueryType::RegExpr;
  modify.scope = ModifyScope::Selected;
  search::SearchRequest search;
  search.folder = "/data";
  std::vector<std::pair<search::SearchRequest, ModifyRequest>> seen;
  bool stopAfterSecond = true;
  const BatchPairRunner runner = [&](const search::SearchRequest& s, const ModifyRequest& m) {
    seen.emplace_back(s, m);
    BatchPairOutcome outcome;
    outcome.pass.modified = 2;
    outcome.pass.failed = 1;
    outcome.stopped = stopAfterSecond && seen.size() == 2;
    return outcome;
  };
  BatchSummary summary = runBatch(table, search, modify, runner, [] { return false; });
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].first.queryLines, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(seen[0].first.folder, "/data");
  EXPECT_EQ(seen[0].first.origin, search::Origin::SearchAndReplace);
  EXPECT_EQ(seen[0].second.searchLines, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(seen[0].second.replacementLines, (std::vector<std::string>{"x|y"}));
  EXPECT_EQ(seen[0].second.scope, ModifyScope::All);
  EXPECT_EQ(seen[1].second.searchLines, (std::vector<std::string>{"c"}));
  ASSERT_EQ(summary.pairs.size(), 2u);
  EXPECT_EQ(summary.pairs[1].row, 2u);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.modified(), 4u);
  EXPECT_EQ(summary.failed(), 2u);

  // An error ends the batch with its message; a stop request before a pair runs nothing.
  seen.clear();
  stopAfterSecond = false;
  const BatchPairRunner failing = [&](const search::SearchRequest& s, const ModifyRequest& m) {
    seen.emplace_back(s, m);
    BatchPairOutcome outcome;
    outcome.error = UserMessage{"Regular Expression", "bad"};
    return outcome;
  };
  summary = runBatch(table, search, modify, failing, [] { return false; });
  EXPECT_EQ(seen.size(), 1u);
  ASSERT_TRUE(summary.error);
  EXPECT_EQ(summary.error->text, "bad");
  EXPECT_TRUE(summary.pairs.empty());
  summary = runBatch(table, search, modify, runner, [] { return true; });
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(seen.size(), 1u);
}

}  // namespace
}  // namespace kestrix::modify
