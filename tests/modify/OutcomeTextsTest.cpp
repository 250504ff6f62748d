// The texts that end runs, undos and erases, and the texts of the undo history's list:
// counts, plurals and the cut lists of failed files.
#include <gtest/gtest.h>

#include "modify/EraseMessages.h"
#include "modify/HistoryTexts.h"
#include "modify/OutcomeTexts.h"

namespace kestrix::modify {
namespace {

std::vector<FailedFile> failedFiles(std::size_t count) {
  std::vector<FailedFile> failures;
  for (std::size_t i = 0; i < count; ++i)
    failures.push_back({"/t/f" + std::to_string(i), "changed during the run"});
  return failures;
}

UndoSummary undoOf(std::size_t undone, std::size_t failed, bool stopped) {
  UndoSummary summary;
  for (std::size_t i = 0; i < undone; ++i) summary.outcomes.push_back({"/t/ok", true, ""});
  for (std::size_t i = 0; i < failed; ++i)
    summary.outcomes.push_back({"/t/bad" + std::to_string(i), false, "changed since the run"});
  summary.stopped = stopped;
  return summary;
}

TEST(OutcomeTexts, SummariesCountWhatWasDone) {
  EXPECT_EQ(modifiedSummary(11, 3, false), "11 modified, 3 failed");
  EXPECT_EQ(modifiedSummary(0, 0, true), "0 modified, 0 failed, stopped");
  EXPECT_EQ(undoneSummary(undoOf(2, 0, false)), "2 undone, 0 failed");
  EXPECT_EQ(undoneSummary(undoOf(1, 2, true)), "1 undone, 2 failed, stopped");
  EXPECT_EQ(restoredSummary(undoOf(0, 2, false)), "0 restored, 2 failed");
  EXPECT_EQ(restoredSummary(undoOf(3, 1, true)), "3 restored, 1 failed (stopped)");
  const std::vector<FailedFile> expected = {{"/t/bad0", "changed since the run"},
                                            {"/t/bad1", "changed since the run"}};
  EXPECT_EQ(undoFailures(undoOf(3, 2, false)), expected);
}

TEST(OutcomeTexts, FailureListsAreCutWithACount) {
  struct Case {
    std::size_t failures, shown;
    const char* text;
  };
  const Case cases[] = {
      {1, 20, "/t/f0: changed during the run"},
      {2, 2, "/t/f0: changed during the run\n/t/f1: changed during the run"},
      {3, 1, "/t/f0: changed during the run\n... and 2 more"},
      {2, 0, "... and 2 more"},
      {0, 5, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(listedFailures(failedFiles(c.failures), c.shown), c.text) << c.failures;
}

TEST(OutcomeTexts, NoticeListsFifteenFilesAndDetailsTheRest) {
  const LeftFilesNotice few = leftFilesNotice("1 modified, 1 failed", failedFiles(1));
  EXPECT_EQ(few.text,
            "1 modified, 1 failed. These files were left as they were:\n\n/t/f0: changed during "
            "the run");
  EXPECT_EQ(few.details, "");
  const LeftFilesNotice many = leftFilesNotice("0 modified, 16 failed", failedFiles(16));
  EXPECT_TRUE(many.text.ends_with("/t/f14: changed during the run\n... and 1 more")) << many.text;
  EXPECT_EQ(many.details, listedFailures(failedFiles(16), 16));
  EXPECT_TRUE(many.details.ends_with("/t/f15: changed during the run"));
}

TEST(EraseMessages, QuestionsAndReports) {
  EXPECT_EQ(eraseQuestion(1, "/p", false),
            "Erase 1 backup file in /p?\n\nThey are deleted for good.");
  EXPECT_EQ(eraseQuestion(3, "/p", true),
            "Erase 3 backup files in /p?\n\nThey are moved to the trash.");
  EXPECT_EQ(untrashableQuestion("/m/a.bak"),
            "The trash cannot take \"/m/a.bak\" (its file system has no trash folder).\n\n"
            "Delete the backup files the trash cannot take for good?");
  struct Case {
    EraseSummary summary;
    bool toTrash;
    const char* report;
  };
  const Case cases[] = {
      {{0, 0, 0, false}, true, "No backup files (\".bak\") were found."},
      {{1, 1, 1, false}, false, "Erased 1 backup file (\".bak\")."},
      {{3, 2, 2, true}, false, "Erased 2 backup files (\".bak\"), 1 left in place (stopped)."},
      {{3, 3, 0, false}, true, "Moved 3 backup files (\".bak\") to the trash."},
      {{3, 3, 1, false}, true, "Moved 2 backup files (\".bak\") to the trash, deleted 1 for good."},
      {{3, 2, 0, false}, true, "Moved 2 backup files (\".bak\") to the trash, 1 left in place."},
      {{2, 2, 2, false}, true, "Deleted 2 backup files (\".bak\") for good."},
      {{2, 0, 0, false}, true, "Moved 0 backup files (\".bak\") to the trash, 2 left in place."},
  };
  for (const Case& c : cases) EXPECT_EQ(erasedReport(c.summary, c.toTrash), c.report);
  EXPECT_EQ(clearFolderHistoryQuestion("Done.", "/p", 1),
            "Done.\n\nAlso clear the undo history of /p (1 run)? Those runs can then no longer "
            "be undone.");
}

TEST(HistoryTexts, RunRowsAndCounts) {
  EXPECT_EQ(runsText(1), "1 run");
  EXPECT_EQ(runsText(0), "0 runs");
  EXPECT_EQ(removedRuns(3), "3 runs removed from the undo history.");
  EXPECT_EQ(clearHistoryQuestion(2),
            "Remove all 2 runs from the undo history? They can no longer be undone; the \".bak\" "
            "files beside your files stay.");
  RunInfo run;
  run.header = {0, "window", "/tree", "Replace \"a\" with \"b\""};
  run.files = 12;
  run.problem = "damaged header";
  struct Case {
    RunState state;
    const char* text;
    bool undoable;
  };
  const Case cases[] = {{RunState::Done, "Not undone", true},
                        {RunState::Undone, "Undone", true},
                        {RunState::UndoInterrupted, "Undo interrupted", true},
                        {RunState::Running, "Running", false},
                        {RunState::Damaged, "Damaged", false}};
  for (const Case& c : cases) {
    run.state = c.state;
    const RunRow row = runRow(run);
    EXPECT_EQ(row.state, c.text);
    EXPECT_EQ(runUndoable(c.state), c.undoable) << c.text;
    EXPECT_EQ(row.what, c.state == RunState::Damaged ? "damaged header" : run.header.summary);
    EXPECT_EQ(row.folder, "/tree");
    EXPECT_EQ(row.files, "12");
    EXPECT_EQ(row.time.size(), std::string("2026-12-09 23:14:12").size()) << row.time;
  }
}

}  // namespace
}  // namespace kestrix::modify
