// The modify pass on real files: bytes on disk, results, backups and the journal, the
// protection rule, and the safety rules (NUL bytes, failed writes, engine errors, stops).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string_view>

#include <gtest/gtest.h>

#include "PassFixture.h"
#include "modify/ContentHash.h"
#include "modify/ModifyPass.h"
#include "platform/AtomicWrite.h"

namespace kestrix::modify {
namespace {

using testing::fileExists;
using testing::journalNames;
using testing::modeOf;
using testing::readBytes;
using testing::RecordingObserver;
using testing::replacePhrase;
using testing::replaceWholeTextRegex;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

struct PassRun {
  std::vector<search::ResultItem> rows;
  UndoJournal journal;
  RecordingObserver observer;
  PassSummary summary;
};

PassRun runOn(const TempFolder& dir, const std::vector<std::string>& names,
              const ModifyRequest& req, PassOptions options = {}) {
  PassRun run;
  for (const auto& n : names) run.rows.push_back(rowFor(dir, n));
  options.refreshHits = false;
  run.summary = runModifyPass(req, run.rows, {}, run.journal, run.observer, options);
  return run;
}

TEST(ModifyPass, WritesSeparatorsAndKeepsTheFinalBreakRule) {
  struct Case {
    const char* before;
    LineSeparator separator;
    const char* after;
  };
  const Case cases[] = {
      {"a old\nb\n", LineSeparator::Unix, "a new\nb\n"},
      {"a old\nb", LineSeparator::Unix, "a new\nb"},
      {"a old\r\nb\r\n", LineSeparator::Unix, "a new\nb\n"},
      {"a old\nb\n", LineSeparator::Windows, "a new\r\nb\r\n"},
      {"a old\rb\r", LineSeparator::Macintosh, "a new\rb\r"},
      {"a old\r\nb\rc\n", LineSeparator::Windows, "a new\r\nb\r\nc\r\n"},
      {"\n\nold\n\n", LineSeparator::Unix, "\n\nnew\n\n"},
      {"x\xe9old\xff\n", LineSeparator::Unix, "x\xe9new\xff\n"},
  };
  for (const auto& c : cases) {
    TempFolder dir;
    writeBytes(dir.file("f.txt"), c.before);
    auto req = replacePhrase("old", "new");
    req.lineSeparator = c.separator;
    req.createBackups = false;
    auto run = runOn(dir, {"f.txt"}, req);
    EXPECT_EQ(readBytes(dir.file("f.txt")), c.after)
        << "input " << ::testing::PrintToString(std::string(c.before));
    EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Modified");
  }
}

TEST(ModifyPass, BackupsAndJournal) {
  TempFolder dir;
  writeBytes(dir.file("a.txt"), "old 1\n");
  writeBytes(dir.file("b.txt"), "old 2\n");
  ::chmod(dir.file("a.txt").c_str(), 0640);
  auto run = runOn(dir, {"a.txt", "b.txt"}, replacePhrase("old", "new"));
  EXPECT_EQ(readBytes(dir.file("a.txt")), "new 1\n");
  EXPECT_EQ(readBytes(dir.file("a.txt.bak")), "old 1\n");
  EXPECT_EQ(modeOf(dir.file("a.txt.bak")), 0640u);
  EXPECT_EQ(modeOf(dir.file("a.txt")), 0640u);
  EXPECT_EQ(readBytes(dir.file("b.txt.bak")), "old 2\n");
  EXPECT_EQ(journalNames(run.journal),
            (std::vector<std::string>{dir.file("a.txt"), dir.file("b.txt")}));
  EXPECT_EQ(run.summary.modified, 2u);

  // Without backups nothing is journaled and no backup is made.
  writeBytes(dir.file("c.txt"), "old\n");
  auto req = replacePhrase("old", "new");
  req.createBackups = false;
  auto second = runOn(dir, {"c.txt"}, req);
  EXPECT_FALSE(fileExists(dir.file("c.txt.bak")));
  EXPECT_TRUE(second.journal.empty());
}

TEST(ModifyPass, ProtectionIsDecidedFromAttributesAndSettings) {
  struct Case {
    const char* name;
    unsigned mode;
    bool modifyReadOnly, modifyHidden, backups;
    bool modified;
  };
  const Case cases[] = {
      {"ro.txt", 0444, false, false, true, false},    {"ro.txt", 0444, true, false, true, true},
      {"ro.txt", 0444, true, false, false, false},    {"ro.txt", 0444, false, true, false, false},
      {".hidden", 0644, false, false, true, false},   {".hidden", 0644, false, true, true, true},
      {".hidden", 0444, false, true, true, false},    {".hidden", 0444, true, true, true, true},
      {"plain.txt", 0644, false, false, false, true},
  };
  for (const auto& c : cases) {
    TempFolder dir;
    const std::string f = dir.file(c.name);
    writeBytes(f, "old\n");
    ::chmod(f.c_str(), c.mode);
    auto req = replacePhrase("old", "new");
    req.modifyReadOnly = c.modifyReadOnly;
    req.modifyHidden = c.modifyHidden;
    req.createBackups = c.backups;
    auto run = runOn(dir, {c.name}, req);
    std::string label = std::string(c.name) + " mode " + std::to_string(c.mode) + " ro " +
                        std::to_string(c.modifyReadOnly) + " hidden " +
                        std::to_string(c.modifyHidden) + " backups " + std::to_string(c.backups);
    EXPECT_EQ(readBytes(f), c.modified ? "new\n" : "old\n") << label;
    EXPECT_EQ(search::resultWord(run.rows[0].outcome.result),
              c.modified ? "Modified" : "Failed Modification")
        << label;
    EXPECT_EQ(modeOf(f), c.mode) << label << ": attributes not kept";
    EXPECT_EQ(fileExists(f + ".bak"), c.modified && c.backups) << label;
  }
}

TEST(ModifyPass, FileWithNulByteIsNeverRewritten) {
  TempFolder dir;
  const std::string bytes("old\n\0old tail\n", 14);
  writeBytes(dir.file("bin.dat"), bytes);
  auto run = runOn(dir, {"bin.dat"}, replacePhrase("old", "new"));
  EXPECT_EQ(readBytes(dir.file("bin.dat")), bytes);
  EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Failed Modification");
  EXPECT_FALSE(fileExists(dir.file("bin.dat.bak")));
  EXPECT_TRUE(run.journal.empty());
}

TEST(ModifyPass, FailedWriteKeepsOriginalAndBackup) {
  struct Case {
    const char* label;
    std::function<platform::AtomicWriteOps(int& calls)> ops;
    bool aBackup, bModified;
  };
  const Case cases[] = {
      {"rename of a.txt fails",
       [](int&) {
         platform::AtomicWriteOps ops;
         ops.rename = [](int dirFd, const char* from, const char* to) {
           if (std::string_view(to).ends_with("a.txt")) return errno = EIO, -1;
           return ::renameat(dirFd, from, dirFd, to);
         };
         return ops;
       },
       true, true},
      {"write of a.txt fails (its staged backup is dropped)",
       [](int& calls) {
         platform::AtomicWriteOps ops;
         ops.write = [&calls](int fd, const void* p, std::size_t n) -> ssize_t {
           if (++calls == 2) return errno = ENOSPC, -1;
           return ::write(fd, p, n);
         };
         return ops;
       },
       false, true},
      {"every flush fails",
       [](int&) {
         platform::AtomicWriteOps ops;
         ops.fsync = [](int) { return errno = EIO, -1; };
         return ops;
       },
       false, false},
  };
  for (const auto& c : cases) {
    TempFolder dir;
    writeBytes(dir.file("a.txt"), "old a\n");
    writeBytes(dir.file("b.txt"), "old b\n");
    int calls = 0;
    PassOptions options;
    options.writeOps = c.ops(calls);
    auto run = runOn(dir, {"a.txt", "b.txt"}, replacePhrase("old", "new"), options);
    EXPECT_EQ(readBytes(dir.file("a.txt")), "old a\n") << c.label;
    EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Failed Modification") << c.label;
    EXPECT_EQ(fileExists(dir.file("a.txt.bak")), c.aBackup) << c.label;
    if (c.aBackup) {
      EXPECT_EQ(readBytes(dir.file("a.txt.bak")), "old a\n") << c.label;
    }
    EXPECT_EQ(readBytes(dir.file("b.txt")), c.bModified ? "new b\n" : "old b\n") << c.label;
    EXPECT_EQ(run.journal.entries.size(), c.bModified ? 1u : 0u) << c.label;
    std::size_t entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2u + (c.aBackup ? 1 : 0) + (c.bModified ? 1 : 0))
        << c.label << ": temporaries left behind";
  }
}

TEST(ModifyPass, EngineErrorLeavesFilesUntouchedAndIsReportedOnce) {
  TempFolder dir;
  writeBytes(dir.file("a"), "abc\n");
  writeBytes(dir.file("b"), "abc\n");
  ModifyRequest req;
  req.searchType = QueryType::RegExpr;
  req.searchLines = {"a(b"};
  req.replacementLines = {"x"};
  auto run = runOn(dir, {"a", "b"}, req);
  EXPECT_EQ(readBytes(dir.file("a")), "abc\n");
  EXPECT_EQ(readBytes(dir.file("b")), "abc\n");
  EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Failed Modification");
  EXPECT_EQ(search::resultWord(run.rows[1].outcome.result), "Failed Modification");
  EXPECT_FALSE(fileExists(dir.file("a.bak")));
  ASSERT_EQ(run.observer.warnings.size(), 1u);
  EXPECT_EQ(run.observer.warnings[0].caption, "Regular Expression");
}

// A whole-text expression sees CR LF breaks: the engine works on a copy of a file with
// other breaks and lets the file's bytes go, once their backup is staged from them.
TEST(ModifyPass, WholeTextRegexOverOtherBreaksBacksUpTheFileBeforeLettingItGo) {
  const std::string before = "a old\nb\r\nold\rc";
  ModifyRequest req = replaceWholeTextRegex();
  TempFolder dir;
  writeBytes(dir.file("f.txt"), before);
  auto run = runOn(dir, {"f.txt"}, req);
  EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Modified");
  EXPECT_EQ(readBytes(dir.file("f.txt")), "a new\nb\nnew\nc");
  EXPECT_EQ(readBytes(dir.file("f.txt.bak")), before);
  ASSERT_EQ(run.journal.entries.size(), 1u);
  EXPECT_EQ(run.journal.entries[0].before, stampOf(before));

  // An error after the bytes were let go (the expression compiles at the first match)
  // takes the staged backup back: the file and its old backup stay as they were.
  writeBytes(dir.file("g.txt"), before);
  req.searchLines = {"old(\\s"};
  auto failed = runOn(dir, {"g.txt"}, req);
  EXPECT_EQ(search::resultWord(failed.rows[0].outcome.result), "Failed Modification");
  EXPECT_EQ(readBytes(dir.file("g.txt")), before);
  EXPECT_FALSE(fileExists(dir.file("g.txt.bak")));
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"f.txt", "f.txt.bak", "g.txt"}));
}

TEST(ModifyPass, MissingFileFailsAndTheRunGoesOn) {
  TempFolder dir;
  writeBytes(dir.file("b.txt"), "old\n");
  auto run = runOn(dir, {"gone.txt", "b.txt"}, replacePhrase("old", "new"));
  EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Failed Modification");
  EXPECT_EQ(search::resultWord(run.rows[1].outcome.result), "Modified");
  EXPECT_EQ(run.observer.changed, (std::vector<std::size_t>{0, 1}));
}

TEST(ModifyPass, IntervalPastTheEndFailsAndRemovesItsBackup) {
  TempFolder dir;
  writeBytes(dir.file("a.txt"), "old\nold\n");
  auto req = replacePhrase("old", "new");
  req.useIntervalsPhrase = true;
  PassRun run;
  run.rows.push_back(rowFor(dir, "a.txt"));
  run.rows[0].intervalFrom = 2;
  run.rows[0].intervalTo = 9;
  PassOptions options;
  options.refreshHits = false;
  options.intervalHeadingShown = true;
  runModifyPass(req, run.rows, {}, run.journal, run.observer, options);
  EXPECT_EQ(readBytes(dir.file("a.txt")), "old\nold\n");
  EXPECT_FALSE(fileExists(dir.file("a.txt.bak")));
  EXPECT_EQ(search::resultCellText(run.rows[0], true), "Failed Modification   2 - 9");

  run.rows[0].intervalTo = 0;
  runModifyPass(req, run.rows, {}, run.journal, run.observer, options);
  EXPECT_EQ(readBytes(dir.file("a.txt")), "old\nnew\n");
  EXPECT_EQ(search::resultCellText(run.rows[0], true), "Modified    \\2 - Bottom");
}

TEST(ModifyPass, ScopeSelectionAndNilRows) {
  TempFolder dir;
  for (const char* n : {"a", "b", "c"}) writeBytes(dir.file(n), "old\n");
  std::vector<search::ResultItem> rows{rowFor(dir, "a"), rowFor(dir, "b"), rowFor(dir, "c")};
  rows[2].intervalFrom = rows[2].intervalTo = -1;  // outside every interval
  UndoJournal journal;
  RecordingObserver observer;
  auto req = replacePhrase("old", "new");
  req.scope = ModifyScope::Selected;
  PassOptions options;
  options.refreshHits = false;
  options.intervalHeadingShown = true;
  runModifyPass(req, rows, {1, 2}, journal, observer, options);
  EXPECT_EQ(readBytes(dir.file("a")), "old\n");
  EXPECT_EQ(readBytes(dir.file("b")), "new\n");
  EXPECT_EQ(readBytes(dir.file("c")), "old\n");
  EXPECT_EQ(search::resultCellText(rows[2], true), "Found       Nil");
}

TEST(ModifyPass, ValidationAndLimitsChangeNothing) {
  TempFolder dir;
  writeBytes(dir.file("a"), "old\n");
  struct Case {
    ModifyRequest req;
    std::vector<std::size_t> selected;
    UserMessage expected;
  };
  auto scopeSelected = replacePhrase("old", "x");
  scopeSelected.scope = ModifyScope::Selected;
  auto emptyMemo = replacePhrase("", "");
  emptyMemo.searchType = QueryType::Multiline;
  auto longLine = replacePhrase("", "");
  longLine.searchType = QueryType::Multiline;
  longLine.searchLines = {"old"};
  longLine.replacementLines = {"x", std::string(1001, 'y')};
  const Case cases[] = {
      {replacePhrase("", "x"), {}, {"Modify", kNoStringToSearch}},
      {emptyMemo, {}, {"Modify", kNoTextToSearch}},
      {scopeSelected, {}, {"Modify", "Please select some items"}},
      {replacePhrase("old", std::string(4001, 'x')), {}, {kProgramCaption, kStringTooLong}},
      {longLine, {}, {kProgramCaption, kLinesTooLong}},
  };
  for (const auto& c : cases) {
    std::vector<search::ResultItem> rows{rowFor(dir, "a")};
    UndoJournal journal;
    RecordingObserver observer;
    try {
      runModifyPass(c.req, rows, c.selected, journal, observer);
      ADD_FAILURE() << "no error for " << c.expected.text;
    } catch (const ModifyError& e) {
      EXPECT_EQ(e.message(), c.expected);
    }
    EXPECT_EQ(readBytes(dir.file("a")), "old\n") << c.expected.text;
  }
  // 4000 characters are accepted.
  std::vector<search::ResultItem> rows{rowFor(dir, "a")};
  UndoJournal journal;
  RecordingObserver observer;
  runModifyPass(replacePhrase("old", std::string(4000, 'x')), rows, {}, journal, observer);
  EXPECT_EQ(readBytes(dir.file("a")), std::string(4000, 'x') + "\n");
}

TEST(ModifyPass, StopEndsThePassBetweenFilesOfAGroup) {
  // Groups of two: a and b are committed together; the stop comes after c was staged.
  TempFolder dir;
  const std::vector<std::string> names{"a", "b", "c", "d", "e"};
  for (const auto& n : names) writeBytes(dir.file(n), "old\n");
  PassRun run;
  for (const auto& n : names) run.rows.push_back(rowFor(dir, n));
  run.observer.stopAfterFiles = 3;
  PassOptions options;
  options.refreshHits = false;
  options.groupFiles = 2;
  options.groupTime = std::chrono::hours(1);
  auto req = replacePhrase("old", "new");
  req.createBackups = true;
  auto summary = runModifyPass(req, run.rows, {}, run.journal, run.observer, options);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.modified, 2u);
  EXPECT_EQ(run.observer.started, 3);  // d and e were never opened
  EXPECT_EQ(readBytes(dir.file("a")), "new\n");
  EXPECT_EQ(readBytes(dir.file("b")), "new\n");
  EXPECT_EQ(readBytes(dir.file("a.bak")), "old\n");
  // The staged group is dropped at once, with its backup: nothing of c changed.
  EXPECT_EQ(readBytes(dir.file("c")), "old\n");
  EXPECT_FALSE(fileExists(dir.file("c.bak")));
  for (std::size_t i = 2; i < names.size(); ++i)
    EXPECT_EQ(search::resultWord(run.rows[i].outcome.result), "Found");
  EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Modified");
  EXPECT_EQ(journalNames(run.journal), (std::vector<std::string>{dir.file("a"), dir.file("b")}));
  // No temporary is left beside the files.
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"a", "a.bak", "b", "b.bak", "c", "d", "e"}));
}

TEST(ModifyPass, StopInTheOnlyGroupChangesNothing) {
  // With the default group size the first files are still staged when Stop comes.
  TempFolder dir;
  for (const char* n : {"a", "b", "c"}) writeBytes(dir.file(n), "old\n");
  PassRun run;
  for (const char* n : {"a", "b", "c"}) run.rows.push_back(rowFor(dir, n));
  run.observer.stopAfterFiles = 2;
  PassOptions options;
  options.refreshHits = false;
  options.groupTime = std::chrono::hours(1);
  auto summary =
      runModifyPass(replacePhrase("old", "new"), run.rows, {}, run.journal, run.observer, options);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.modified, 0u);
  for (const char* n : {"a", "b", "c"}) EXPECT_EQ(readBytes(dir.file(n)), "old\n") << n;
  EXPECT_TRUE(run.observer.changed.empty());
  EXPECT_TRUE(run.journal.empty());
}

TEST(ModifyPass, StopWhileAGroupIsRenamedKeepsTheRestOld) {
  // The stop comes right after the first file of the group was renamed into place.
  TempFolder dir;
  const std::vector<std::string> names{"a", "b", "c"};
  for (const auto& n : names) writeBytes(dir.file(n), "old\n");
  struct FlagObserver : RecordingObserver {
    bool poll() override { return stop; }
    bool stop = false;
  } observer;
  std::vector<search::ResultItem> rows;
  for (const auto& n : names) rows.push_back(rowFor(dir, n));
  PassOptions options;
  options.refreshHits = false;
  options.groupTime = std::chrono::hours(1);
  options.writeOps.rename = [&observer](int dirFd, const char* from, const char* to) {
    if (std::string_view(to) == "a") observer.stop = true;
    return ::renameat(dirFd, from, dirFd, to);
  };
  auto req = replacePhrase("old", "new");
  req.createBackups = true;
  UndoJournal journal;
  auto summary = runModifyPass(req, rows, {}, journal, observer, options);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.modified, 1u);
  EXPECT_EQ(summary.failed, 0u);
  EXPECT_EQ(readBytes(dir.file("a")), "new\n");
  EXPECT_EQ(readBytes(dir.file("a.bak")), "old\n");
  for (const char* n : {"b", "c"}) {
    EXPECT_EQ(readBytes(dir.file(n)), "old\n") << n;
    EXPECT_FALSE(fileExists(dir.file(std::string(n) + ".bak"))) << n;
  }
  EXPECT_EQ(search::resultWord(rows[0].outcome.result), "Modified");
  EXPECT_EQ(search::resultWord(rows[1].outcome.result), "Found");
  EXPECT_EQ(search::resultWord(rows[2].outcome.result), "Found");
  EXPECT_EQ(observer.changed, (std::vector<std::size_t>{0}));
  EXPECT_TRUE(observer.failures.empty());
  EXPECT_EQ(journalNames(journal), (std::vector<std::string>{dir.file("a")}));
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
    ++entries;
  EXPECT_EQ(entries, 4u) << "temporary left behind";
}

TEST(ModifyPass, DryRunPreviewsWithoutTouchingDisk) {
  TempFolder dir;
  writeBytes(dir.file("a"), "old\r\n");
  ::chmod(dir.file("a").c_str(), 0444);
  auto req = replacePhrase("old", "new");
  req.modifyReadOnly = true;
  PassOptions options;
  options.dryRun = true;
  auto run = runOn(dir, {"a"}, req, options);
  ASSERT_EQ(run.observer.previews.size(), 1u);
  EXPECT_EQ(run.observer.previews[0].after, "new\r\n");
  EXPECT_EQ(readBytes(dir.file("a")), "old\r\n");
  EXPECT_EQ(modeOf(dir.file("a")), 0444u);
  EXPECT_FALSE(fileExists(dir.file("a.bak")));
  EXPECT_TRUE(run.journal.empty());
}

TEST(ModifyPass, RefreshRecountsTheModifiedFile) {
  TempFolder dir;
  writeBytes(dir.file("a"), "old old\nold\n");
  std::vector<search::ResultItem> rows{rowFor(dir, "a")};
  rows[0].hits = {3};
  UndoJournal journal;
  RecordingObserver observer;
  auto req = replacePhrase("old", "older");  // still three hits afterwards
  runModifyPass(req, rows, {}, journal, observer);
  EXPECT_EQ(search::foundCellText(rows[0]), "3");
  EXPECT_EQ(rows[0].sizeBytes, 18);
  runModifyPass(replacePhrase("older", "x"), rows, {}, journal, observer);
  EXPECT_EQ(search::foundCellText(rows[0]), "0");
}

}  // namespace
}  // namespace kestrix::modify
