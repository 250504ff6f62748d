// Undo round trips (content and permission bits), the failure cases of the rename from the
// backup, the journal file, and Erase Backups.
#include <filesystem>

#include <gtest/gtest.h>

#include "PassFixture.h"
#include "modify/EraseBackups.h"
#include "modify/ModifyPass.h"
#include "modify/Undo.h"

namespace kestrix::modify {
namespace {

using testing::fileExists;
using testing::journalNames;
using testing::modeOf;
using testing::readBytes;
using testing::RecordingObserver;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

// Undo tests change protected files too.
ModifyRequest replacePhrase(std::string s, std::string r) {
  ModifyRequest req = testing::replacePhrase(std::move(s), std::move(r));
  req.modifyReadOnly = true;
  req.modifyHidden = true;
  return req;
}

void modify(std::vector<search::ResultItem>& rows, UndoJournal& journal, const ModifyRequest& req) {
  RecordingObserver observer;
  PassOptions options;
  options.refreshHits = false;
  runModifyPass(req, rows, {}, journal, observer, options);
}

TEST(Undo, RoundTripRestoresContentAndMode) {
  struct Case {
    const char* name;
    unsigned mode;
  };
  const Case cases[] = {
      {"plain.txt", 0644}, {"ro.txt", 0444}, {".hidden", 0600}, {"exec.sh", 0755}};
  for (const auto& c : cases) {
    TempFolder dir;
    const std::string f = dir.file(c.name);
    const std::string original = "keep\r\nold line\nno final break";
    writeBytes(f, original);
    ::chmod(f.c_str(), c.mode);
    std::vector<search::ResultItem> rows{rowFor(dir, c.name)};
    UndoJournal journal;
    modify(rows, journal, replacePhrase("old", "new"));
    ASSERT_EQ(search::resultWord(rows[0].outcome.result), "Modified") << c.name;
    ASSERT_NE(readBytes(f), original) << c.name;

    RecordingObserver observer;
    auto summary = undoLastRun(journal, rows, observer);
    EXPECT_EQ(readBytes(f), original) << c.name;
    EXPECT_EQ(modeOf(f), c.mode) << c.name;
    EXPECT_FALSE(fileExists(f + ".bak")) << c.name;
    EXPECT_FALSE(fileExists(f + ".$")) << c.name;
    EXPECT_EQ(search::resultWord(rows[0].outcome.result), "Undid") << c.name;
    EXPECT_TRUE(journal.empty()) << c.name;
    ASSERT_EQ(summary.outcomes.size(), 1u);
    EXPECT_TRUE(summary.outcomes[0].undone);
  }
}

TEST(Undo, LinkedFileIsChangedAndRestoredThroughItsLink) {
  TempFolder dir;
  std::filesystem::create_directory(dir.file("real"));
  writeBytes(dir.file("real/t.txt"), "old\n");
  std::filesystem::create_symlink(dir.file("real/t.txt"), dir.file("link.txt"));
  std::vector<search::ResultItem> rows{rowFor(dir, "link.txt")};
  UndoJournal journal;
  modify(rows, journal, replacePhrase("old", "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txt")));
  EXPECT_EQ(readBytes(dir.file("real/t.txt")), "new\n");
  EXPECT_EQ(journalNames(journal), std::vector<std::string>{dir.file("real/t.txt")});
  RecordingObserver observer;
  undoLastRun(journal, rows, observer);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txt")));
  EXPECT_EQ(readBytes(dir.file("link.txt")), "old\n");
  EXPECT_EQ(search::resultWord(rows[0].outcome.result), "Undid");
}

TEST(Undo, OnlyTheLatestRunIsUndone) {
  TempFolder dir;
  writeBytes(dir.file("a"), "one\n");
  std::vector<search::ResultItem> rows{rowFor(dir, "a")};
  UndoJournal journal;
  modify(rows, journal, replacePhrase("one", "two"));
  modify(rows, journal, replacePhrase("two", "three"));
  RecordingObserver observer;
  undoLastRun(journal, rows, observer);
  EXPECT_EQ(readBytes(dir.file("a")), "two\n");
}

TEST(Undo, MissingBackupFailsOnlyThatEntry) {
  TempFolder dir;
  writeBytes(dir.file("a"), "old\n");
  writeBytes(dir.file("b"), "old\n");
  std::vector<search::ResultItem> rows{rowFor(dir, "a"), rowFor(dir, "b")};
  UndoJournal journal;
  modify(rows, journal, replacePhrase("old", "new"));
  std::filesystem::remove(dir.file("a.bak"));
  RecordingObserver observer;
  auto summary = undoLastRun(journal, rows, observer);
  EXPECT_EQ(search::resultWord(rows[0].outcome.result), "Failed Undo");
  EXPECT_EQ(readBytes(dir.file("a")), "new\n");
  EXPECT_EQ(search::resultWord(rows[1].outcome.result), "Undid");
  EXPECT_EQ(readBytes(dir.file("b")), "old\n");
  EXPECT_FALSE(summary.outcomes[0].undone);
}

TEST(Undo, FolderInPlaceOfTheBackupFails) {
  TempFolder dir;
  writeBytes(dir.file("a"), "old\n");
  std::vector<search::ResultItem> rows{rowFor(dir, "a")};
  UndoJournal journal;
  modify(rows, journal, replacePhrase("old", "new"));
  // A folder where the backup should be is never moved onto the file.
  std::filesystem::remove(dir.file("a.bak"));
  std::filesystem::create_directory(dir.file("a.bak"));
  writeBytes(dir.file("a.bak/inside"), "x");
  RecordingObserver observer;
  undoLastRun(journal, rows, observer);
  EXPECT_EQ(search::resultWord(rows[0].outcome.result), "Failed Undo");
  EXPECT_EQ(readBytes(dir.file("a")), "new\n");
  EXPECT_FALSE(fileExists(dir.file("a.$")));
}

TEST(Undo, StopLeavesTheRestOfTheJournal) {
  TempFolder dir;
  for (const char* n : {"a", "b", "c"}) writeBytes(dir.file(n), "old\n");
  std::vector<search::ResultItem> rows{rowFor(dir, "a"), rowFor(dir, "b"), rowFor(dir, "c")};
  UndoJournal journal;
  modify(rows, journal, replacePhrase("old", "new"));
  RecordingObserver observer;
  observer.stopAfterFiles = 1;
  auto summary = undoLastRun(journal, rows, observer);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(readBytes(dir.file("a")), "old\n");
  EXPECT_EQ(readBytes(dir.file("b")), "new\n");
  EXPECT_EQ(journalNames(journal), (std::vector<std::string>{dir.file("b"), dir.file("c")}));
}

TEST(UndoJournalFile, RoundTripsAnyName) {
  TempFolder dir;
  UndoJournal journal;
  for (const char* name : {"/a/b c.txt", "/odd\nname", "/x\r"}) {
    UndoEntry e;
    e.fullName = name;
    e.before = {12, 0xfedcba9876543210ull};
    e.after = {-1, 7};
    e.afterMtimeNs = 1700000000123456789;
    e.mode = 04755;
    e.uid = 1000;
    e.gid = 4294967294u;
    journal.entries.push_back(e);
  }
  saveUndoJournal(journal, dir.file("Undo.tmp"));
  const UndoJournal back = loadUndoJournal(dir.file("Undo.tmp"));
  ASSERT_EQ(journalNames(back), journalNames(journal));
  for (std::size_t i = 0; i < back.entries.size(); ++i) {
    const UndoEntry& a = back.entries[i];
    const UndoEntry& b = journal.entries[i];
    EXPECT_TRUE(a.stamped && a.before == b.before && a.after == b.after &&
                a.afterMtimeNs == b.afterMtimeNs && a.mode == b.mode && a.uid == b.uid &&
                a.gid == b.gid)
        << i;
  }
  // A record cut short by a crash is ignored.
  const std::string whole = readBytes(dir.file("Undo.tmp"));
  writeBytes(dir.file("Undo.tmp"), whole.substr(0, whole.size() - 3));
  EXPECT_EQ(loadUndoJournal(dir.file("Undo.tmp")).entries.size(), 2u);
  EXPECT_TRUE(loadUndoJournal(dir.file("missing")).empty());
  // A first line that is not exactly the format's is refused, never read as names only
  // (whose entries would be restored without a check).
  for (const std::string& head : {std::string("KSR-UNDO 3\n"), std::string("KSR-UNDO 2\r"),
                                  std::string("KSQ-UNDO 2\n"), std::string("/a\0/b\0", 6)}) {
    writeBytes(dir.file("Old.tmp"), head + whole.substr(11));
    EXPECT_THROW(loadUndoJournal(dir.file("Old.tmp")), JournalFormatError) << head;
  }
}

TEST(EraseBackups, RemovesBackupsByTheRules) {
  TempFolder dir;
  std::filesystem::create_directories(dir.file("sub/deep"));
  std::filesystem::create_directories(dir.file("skip/inner"));
  for (const char* n : {"a.bak", "b.BAK", "keep.txt", "bak", "sub/c.bak", "sub/deep/d.bak",
                        "skip/e.bak", "skip/inner/f.bak"}) {
    writeBytes(dir.file(n), "x");
  }
  struct Case {
    bool subfolders;
    bool ignoreSkip, ignoreSubfoldersToo;
    std::vector<const char*> left;
  };
  const Case cases[] = {
      {true, false, false, {"keep.txt", "bak"}},
      {false,
       false,
       false,
       {"keep.txt", "bak", "sub/c.bak", "sub/deep/d.bak", "skip/e.bak", "skip/inner/f.bak"}},
      {true, true, false, {"keep.txt", "bak", "skip/e.bak"}},
      {true, true, true, {"keep.txt", "bak", "skip/e.bak", "skip/inner/f.bak"}},
  };
  for (const auto& c : cases) {
    TempFolder run;
    std::filesystem::copy(dir.path(), run.path(), std::filesystem::copy_options::recursive);
    EraseOptions options;
    options.includeSubfolders = c.subfolders;
    if (c.ignoreSkip) {
      options.ignoredFolders = search::IgnoredFolders{{run.file("skip")}, c.ignoreSubfoldersToo};
    }
    RecordingObserver observer;
    eraseBackups("  " + run.path() + "  ", options, observer);
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::recursive_directory_iterator(run.path())) {
      if (e.is_regular_file()) {
        left.push_back(std::filesystem::relative(e.path(), run.path()).string());
      }
    }
    std::sort(left.begin(), left.end());
    std::vector<std::string> expected(c.left.begin(), c.left.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected) << "subfolders " << c.subfolders << " ignore " << c.ignoreSkip
                              << " too " << c.ignoreSubfoldersToo;
  }
  RecordingObserver observer;
  try {
    eraseBackups("   ", {}, observer);
    ADD_FAILURE() << "blank path accepted";
  } catch (const ModifyError& e) {
    EXPECT_EQ(e.message(), (UserMessage{"Erase Backup", "Please specify the Path"}));
  }
}

TEST(EraseBackups, CountsThenTrashesAndDeletesOnlyWhenAllowed) {
  struct Case {
    bool allowDelete;
    std::size_t removed, deleted;
    std::vector<std::string> left;
  };
  const Case cases[] = {{false, 2, 0, {"keep.txt", "other/b.bak", "other/c.bak"}},
                        {true, 4, 2, {"keep.txt"}}};
  for (const Case& c : cases) {
    TempFolder dir;
    for (const char* n : {"a.bak", "keep.txt", "sub/d.bak", "other/b.bak", "other/c.bak"}) {
      std::filesystem::create_directories(std::filesystem::path(dir.file(n)).parent_path());
      writeBytes(dir.file(n), n);
    }
    RecordingObserver observer;
    EXPECT_EQ(countBackups(dir.path(), {}, observer).found, 4u);
    EXPECT_TRUE(fileExists(dir.file("a.bak")));

    // The trash takes the files outside "other" (as if "other" were another file system
    // without a trash folder); the question about the rest is asked once.
    TempFolder trash;
    std::vector<std::string> asked;
    EraseOptions options;
    options.trash = [&](const std::string& name) {
      if (name.find("/other/") != std::string::npos) return false;
      std::filesystem::rename(name, trash.file(std::filesystem::path(name).filename().string()));
      return true;
    };
    options.deleteUntrashable = [&](const std::string& name) {
      asked.push_back(name);
      return c.allowDelete;
    };
    const EraseSummary summary = eraseBackups(dir.path(), options, observer);
    EXPECT_EQ(summary.found, 4u);
    EXPECT_EQ(summary.removed, c.removed);
    EXPECT_EQ(summary.deleted, c.deleted);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(readBytes(trash.file("d.bak")), "sub/d.bak");
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path())) {
      if (e.is_regular_file()) {
        left.push_back(std::filesystem::relative(e.path(), dir.path()).string());
      }
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, c.left) << "delete allowed " << c.allowDelete;
  }
}

}  // namespace
}  // namespace kestrix::modify
