// What a row says after a pass and an undo: only a changed file reads "Modified", rows
// that reach one file share its outcome, its counts and its interval, and a failure reads as
// a failure also while the Result column shows intervals.
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "PassFixture.h"
#include "modify/ModifyPass.h"
#include "modify/Undo.h"

namespace kestrix::modify {
namespace {

using testing::readBytes;
using testing::RecordingObserver;
using testing::replacePhrase;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

struct PassRun {
  std::vector<search::ResultItem> rows;
  UndoJournal journal;
  RecordingObserver observer;
  PassSummary summary;
};

// The Result column shows intervals; the rows are not recounted.
PassOptions intervalCells() {
  PassOptions options;
  options.refreshHits = false;
  options.intervalHeadingShown = true;
  return options;
}

void pass(PassRun& run, const TempFolder& dir, const ModifyRequest& req, PassOptions options = {}) {
  options.searchedFolder = dir.path();
  run.summary = runModifyPass(req, run.rows, {}, run.journal, run.observer, options);
}

TEST(RowOutcome, ALinkListedFirstKeepsTheIntervalMarkedOnItsTarget) {
  TempFolder dir;
  writeBytes(dir.file("lf.txt"), "x\nx\nx\n");
  std::filesystem::create_symlink("lf.txt", dir.file("link.txt"));
  PassRun run;
  run.rows = {rowFor(dir, "link.txt"), rowFor(dir, "lf.txt")};
  run.rows[1].intervalFrom = 2;  // marked From line 2 on the target's own row
  ModifyRequest req = replacePhrase("x", "y");
  req.useIntervalsPhrase = true;
  pass(run, dir, req, intervalCells());
  EXPECT_EQ(readBytes(dir.file("lf.txt")), "x\ny\ny\n");
  for (const auto& row : run.rows) {
    EXPECT_EQ(row.intervalFrom, 2) << row.name;
    EXPECT_EQ(search::resultCellText(row, true), "Modified    \\2 - Bottom") << row.name;
  }
}

TEST(RowOutcome, OnlyAChangedFileReadsModifiedAndUndoReachesEveryRowOfIt) {
  TempFolder dir;
  writeBytes(dir.file("a.txt"), "x x\n");
  writeBytes(dir.file("none.txt"), "nothing here\n");
  std::filesystem::create_symlink("a.txt", dir.file("soft.txt"));
  PassRun run;
  run.rows = {rowFor(dir, "a.txt"), rowFor(dir, "soft.txt"), rowFor(dir, "none.txt")};
  for (auto& row : run.rows) row.hits = {7};  // stale counts from an older search
  pass(run, dir, replacePhrase("x", "yy"));
  EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Modified");
  EXPECT_EQ(search::resultWord(run.rows[1].outcome.result), "Modified")
      << "the link reached the changed file";
  EXPECT_EQ(search::foundCellText(run.rows[1]), search::foundCellText(run.rows[0]))
      << "the link row shares the file's counts";
  EXPECT_EQ(run.rows[1].sizeBytes, run.rows[0].sizeBytes);
  EXPECT_EQ(search::resultWord(run.rows[2].outcome.result), "Found")
      << "nothing matched: the file was not changed";
  EXPECT_EQ(search::foundCellText(run.rows[2]), "0");
  EXPECT_EQ(run.summary.modified, 1u) << "the link and its target are one file";
  EXPECT_EQ(run.summary.unchanged, 1u);
  EXPECT_EQ(run.journal.entries.size(), 1u);

  // A second run over files that no longer match changes nothing and says so.
  pass(run, dir, replacePhrase("x", "yy"));
  for (const auto& row : run.rows)
    EXPECT_EQ(search::resultWord(row.outcome.result), "Found") << row.name;
  EXPECT_TRUE(run.journal.entries.empty());

  // Undo of the first run: every row of the restored file reads "Undid".
  PassRun again;
  again.rows = {rowFor(dir, "a.txt"), rowFor(dir, "soft.txt")};
  pass(again, dir, replacePhrase("yy", "x"));
  RecordingObserver observer;
  undoLastRun(again.journal, again.rows, observer);
  EXPECT_EQ(readBytes(dir.file("a.txt")), "yy yy\n");
  for (const auto& row : again.rows)
    EXPECT_EQ(search::resultWord(row.outcome.result), "Undid") << row.name;
}

TEST(RowOutcome, AFailedFileReadsFailedWhileIntervalsAreShown) {
  TempFolder dir;
  writeBytes(dir.file("ro.txt"), "x\n");
  ASSERT_EQ(::chmod(dir.file("ro.txt").c_str(), 0444), 0);
  writeBytes(dir.file(".hidden.txt"), "x\n");
  PassRun run;
  run.rows = {rowFor(dir, "ro.txt"), rowFor(dir, ".hidden.txt")};
  ModifyRequest req = replacePhrase("x", "y");
  req.useIntervalsPhrase = true;
  pass(run, dir, req, intervalCells());
  for (const auto& row : run.rows) {
    EXPECT_EQ(search::resultCellText(row, true), "Failed Modification   All file") << row.name;
    EXPECT_EQ(search::resultCellText(row, false), "Failed Modification") << row.name;
    EXPECT_FALSE(row.outcome.reason.empty()) << row.name;
  }
  EXPECT_EQ(readBytes(dir.file("ro.txt")), "x\n");
}

}  // namespace
}  // namespace kestrix::modify
