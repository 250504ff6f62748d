// A pass over 200 files whose file-system calls (open, write, flush, rename) fail at every
// Nth call: afterwards every file is either fully old or fully new, no temporary is left,
// and undo brings back every original byte. Once with a phrase under the files' own line
// breaks, once with a whole-text expression under LF breaks (its engine lets each file's
// bytes go once their backup is staged), and both streamed in small pieces (half the files
// with linked backups, half with copies).
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "PassFixture.h"
#include "modify/ModifyPass.h"
#include "modify/Undo.h"
#include "platform/FaultInjection.h"

namespace kestrix::modify {
namespace {

using testing::readBytes;
using testing::RecordingObserver;
using testing::replacePhrase;
using testing::replaceWholeTextRegex;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

constexpr int kFiles = 200;

std::string original(int i) {
  return "line " + std::to_string(i) + " old\r\nold again\n" + std::string(i % 7, 'z');
}
std::string modified(int i) {
  return "line " + std::to_string(i) + " new\r\nnew again\n" + std::string(i % 7, 'z');
}
std::string modifiedWithLf(int i) {
  return "line " + std::to_string(i) + " new\nnew again\n" + std::string(i % 7, 'z');
}

std::size_t temporariesIn(const std::string& folder) {
  std::size_t n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    if (e.path().filename().string().rfind(".ksr", 0) == 0) ++n;
  }
  return n;
}

TEST(FaultInjection, FailingEveryNthCallLeavesEachFileWholeAndUndoable) {
  struct Case {
    const char* name;
    ModifyRequest request;
    std::string (*modified)(int);
    bool streamed;
  };
  const Case cases[] = {
      {"phrase", replacePhrase("old", "new"), modified, false},
      {"whole-text regex", replaceWholeTextRegex(), modifiedWithLf, false},
      {"phrase, streamed", replacePhrase("old", "new"), modified, true},
      {"whole-text regex, streamed", replaceWholeTextRegex(), modifiedWithLf, true}};
  for (const Case& c : cases) {
    for (std::size_t every = 1; every <= 8; ++every) {
      SCOPED_TRACE(std::string(c.name) + ", every " + std::to_string(every));
      TempFolder dir;
      std::vector<search::ResultItem> rows;
      for (int i = 0; i < kFiles; ++i) {
        writeBytes(dir.file("f" + std::to_string(i)), original(i));
        if (c.streamed && i % 2) ::chmod(dir.file("f" + std::to_string(i)).c_str(), 02644);
        rows.push_back(rowFor(dir, "f" + std::to_string(i)));
      }
      const platform::FaultInjector faults(every, every % 2 ? EIO : ENOSPC, true);
      PassOptions options;
      options.refreshHits = false;
      options.groupFiles = 16;
      options.writeOps = faults.ops();
      options.searchedFolder = dir.path();
      if (c.streamed) {  // in pieces ending inside the hits; odd files get copied backups
        options.streamFromBytes = 1;
        options.streamPieceBytes = 5;
      }
      UndoJournal journal;
      RecordingObserver observer;
      const PassSummary summary = runModifyPass(c.request, rows, {}, journal, observer, options);
      ASSERT_GT(faults.calls(), 0u);
      std::size_t changed = 0;
      for (int i = 0; i < kFiles; ++i) {
        const std::string bytes = readBytes(dir.file("f" + std::to_string(i)));
        const bool isNew = bytes == c.modified(i);
        EXPECT_TRUE(isNew || bytes == original(i)) << "file " << i;
        EXPECT_EQ(search::resultWord(rows[i].outcome.result),
                  isNew ? "Modified" : "Failed Modification")
            << i;
        changed += isNew ? 1 : 0;
      }
      EXPECT_EQ(changed, summary.modified);
      EXPECT_EQ(changed, journal.entries.size());
      EXPECT_EQ(temporariesIn(dir.path()), 0u);
      std::vector<search::ResultItem> none;
      const UndoSummary undone = undoLastRun(journal, none, observer);
      for (const auto& outcome : undone.outcomes) EXPECT_TRUE(outcome.undone) << outcome.reason;
      for (int i = 0; i < kFiles; ++i) {
        EXPECT_EQ(readBytes(dir.file("f" + std::to_string(i))), original(i)) << i;
      }
    }
  }
}

}  // namespace
}  // namespace kestrix::modify
