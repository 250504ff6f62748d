// Running out of memory in the middle of a pass: the file being worked on is left as it
// was and fails with the reason, every other file is fully old or fully new, no temporary
// is left, and undo restores what the pass changed.
#include <filesystem>

#include <gtest/gtest.h>

#include "../modify/PassFixture.h"
#include "Allocations.h"
#include "modify/ModifyPass.h"
#include "modify/Undo.h"

namespace kestrix::modify {
namespace {

using kestrix::testing::failAllocation;
using kestrix::testing::failureFired;
using testing::readBytes;
using testing::RecordingObserver;
using testing::replacePhrase;
using testing::replaceWholeTextRegex;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

const char* const kNames[] = {"a.txt", "b.txt", "c.txt"};

std::string bigText(const char* word) {
  std::string text;
  for (int i = 0; text.size() < (1u << 20); ++i)
    text += std::string(word) + " " + std::to_string(i) + "\n";
  return text;
}

bool hasTemporary(const std::string& folder) {
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    if (e.path().filename().string().rfind(".ksr", 0) == 0) return true;
  }
  return false;
}

struct Outcome {
  std::vector<search::ResultItem> rows;
  RecordingObserver observer;
  UndoJournal journal;
  bool threw = false;
};

// Runs the pass over the three files with the `nth` allocation of at least `minSize`
// bytes failing.
void runFailing(const TempFolder& dir, const TempFolder& data, std::size_t nth, std::size_t minSize,
                Outcome& out, const ModifyRequest& request = replacePhrase("old", "new")) {
  for (const char* n : kNames) out.rows.push_back(rowFor(dir, n));
  out.journal.filePath = data.file("Undo.tmp");
  PassOptions options;
  options.refreshHits = false;
  options.searchedFolder = dir.path();
  options.groupFiles = 1;
  failAllocation(nth, minSize);
  try {
    runModifyPass(request, out.rows, {}, out.journal, out.observer, options);
  } catch (const std::bad_alloc&) {
    out.threw = true;
  }
  failAllocation(0);
}

TEST(OutOfMemory, ALargeAllocationThatFailsFailsThatFileWithItsReason) {
  const std::string before = bigText("old"), after = bigText("new");
  for (std::size_t nth = 1;; ++nth) {
    SCOPED_TRACE(nth);
    TempFolder dir, data;
    for (const char* n : kNames) writeBytes(dir.file(n), before);
    Outcome out;
    runFailing(dir, data, nth, 256 << 10, out);
    if (!failureFired()) break;
    EXPECT_FALSE(out.threw) << "a file's buffers are the file's failure";
    int failed = 0;
    for (std::size_t i = 0; i < 3; ++i) {
      const std::string bytes = readBytes(dir.file(kNames[i]));
      if (search::resultWord(out.rows[i].outcome.result) == "Failed Modification") {
        ++failed;
        EXPECT_EQ(bytes, before) << kNames[i] << " is left as it was";
        EXPECT_EQ(out.observer.failures.at(0), dir.file(kNames[i]) + ": not enough memory");
      } else {
        EXPECT_EQ(search::resultWord(out.rows[i].outcome.result), "Modified");
        EXPECT_EQ(bytes, after);
      }
    }
    EXPECT_EQ(failed, 1);
    EXPECT_FALSE(hasTemporary(dir.path()));
    ASSERT_LT(nth, 100u);
  }
}

TEST(OutOfMemory, AnyAllocationThatFailsLeavesEveryFileWholeAndUndoable) {
  const std::string before = "old\nold\n", after = "new\nnew\n";
  for (const ModifyRequest& request : {replacePhrase("old", "new"), replaceWholeTextRegex()}) {
    SCOPED_TRACE(request.searchType == QueryType::RegExpr ? "whole-text regex" : "phrase");
    std::size_t fired = 0;
    for (std::size_t nth = 1;; ++nth) {
      SCOPED_TRACE(nth);
      TempFolder dir, data;
      for (const char* n : kNames) writeBytes(dir.file(n), before);
      Outcome out;
      runFailing(dir, data, nth, 0, out, request);
      if (!failureFired()) break;
      ++fired;
      for (const char* n : kNames) {
        const std::string bytes = readBytes(dir.file(n));
        EXPECT_TRUE(bytes == before || bytes == after) << n;
      }
      EXPECT_FALSE(hasTemporary(dir.path()));
      // The journal file on disk undoes whatever was changed.
      UndoJournal journal = loadUndoJournal(out.journal.filePath);
      std::vector<search::ResultItem> none;
      RecordingObserver undoObserver;
      undoLastRun(journal, none, undoObserver);
      EXPECT_TRUE(undoObserver.failures.empty()) << undoObserver.failures.front();
      for (const char* n : kNames) EXPECT_EQ(readBytes(dir.file(n)), before) << n;
      ASSERT_LT(nth, 5000u);
    }
    EXPECT_GT(fired, 20u);
  }
}

}  // namespace
}  // namespace kestrix::modify
