// The data-safety rules of the pass and undo: the journal written ahead with stamps, one
// change per file, real paths inside the searched folder, modes and owners, hidden
// folders, special files, long names, full disks and honest reasons.
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "../platform/AclBytes.h"
#include "PassFixture.h"
#include "modify/ModifyPass.h"
#include "modify/Undo.h"
#include "platform/AtomicWrite.h"
#include "platform/Platform.h"

namespace kestrix::modify {
namespace {

using testing::fileExists;
using testing::journalNames;
using testing::modeOf;
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
};

void modifyRows(PassRun& run, const ModifyRequest& req, PassOptions options = {}) {
  options.refreshHits = false;
  runModifyPass(req, run.rows, {}, run.journal, run.observer, options);
}

PassRun modifyIn(const TempFolder& dir, const std::vector<std::string>& names,
                 const ModifyRequest& req, PassOptions options = {}) {
  PassRun run;
  for (const auto& n : names) run.rows.push_back(rowFor(dir, n));
  if (options.searchedFolder.empty()) options.searchedFolder = dir.path();
  modifyRows(run, req, options);
  return run;
}

std::vector<std::string> undo(UndoJournal& journal) {
  std::vector<search::ResultItem> rows;
  RecordingObserver observer;
  undoLastRun(journal, rows, observer);
  return observer.failures;
}

bool journalFileHas(const std::string& path, const std::string& name) {
  return readBytes(path).find(name + std::string(1, '\0')) != std::string::npos;
}

TEST(UndoJournalAhead, EachEntryIsOnDiskBeforeItsFileIsReplaced) {
  TempFolder dir, data;
  for (const char* n : {"a.txt", "b.txt"}) writeBytes(dir.file(n), "old\n");
  writeBytes(data.file("Undo.tmp"), "an earlier, unrelated run");
  std::vector<std::string> seenAtRename;
  const std::string journalPath = data.file("Undo.tmp");
  PassOptions options;
  options.groupFiles = 1;  // one commit per file
  options.writeOps.rename = [&](int dirFd, const char* from, const char* to) {
    if (!std::string_view(to).ends_with(".bak")) {
      const std::string file = dir.file(to);
      seenAtRename.push_back(journalFileHas(journalPath, file) ? file : "missing " + file);
    }
    return ::renameat(dirFd, from, dirFd, to);
  };
  PassRun run;
  run.journal.filePath = journalPath;
  for (const char* n : {"a.txt", "b.txt"}) run.rows.push_back(rowFor(dir, n));
  options.searchedFolder = dir.path();
  modifyRows(run, replacePhrase("old", "new"), options);
  EXPECT_EQ(seenAtRename, (std::vector<std::string>{dir.file("a.txt"), dir.file("b.txt")}));
  // The file is what undo reads: the same entries as the memory journal.
  EXPECT_EQ(journalNames(loadUndoJournal(journalPath)), journalNames(run.journal));
}

TEST(UndoJournalAhead, NamesAreAbsoluteAndUndoWorksFromAnyFolder) {
  TempFolder dir;
  writeBytes(dir.file("a.txt"), "old\n");
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  PassRun run;
  search::ResultItem row;
  row.name = "a.txt";
  row.path = ".";
  run.rows.push_back(row);
  PassOptions options;
  options.searchedFolder = ".";
  modifyRows(run, replacePhrase("old", "new"), options);
  std::filesystem::current_path("/");
  EXPECT_EQ(journalNames(run.journal), std::vector<std::string>{dir.file("a.txt")});
  EXPECT_TRUE(undo(run.journal).empty());
  std::filesystem::current_path(cwd);
  EXPECT_EQ(readBytes(dir.file("a.txt")), "old\n");
}

TEST(UndoStamps, AFileEditedAfterTheRunKeepsTheEditAndItsBackup) {
  TempFolder dir;
  writeBytes(dir.file("edited.txt"), "old\n");
  writeBytes(dir.file("same.txt"), "old\n");
  PassRun run = modifyIn(dir, {"edited.txt", "same.txt"}, replacePhrase("old", "new"));
  writeBytes(dir.file("edited.txt"), "new, then the user's own work\n");
  EXPECT_EQ(undo(run.journal),
            std::vector<std::string>{dir.file("edited.txt") + ": changed since the run"});
  EXPECT_EQ(readBytes(dir.file("edited.txt")), "new, then the user's own work\n");
  EXPECT_EQ(readBytes(dir.file("edited.txt.bak")), "old\n");
  EXPECT_EQ(readBytes(dir.file("same.txt")), "old\n");
}

TEST(OncePerFile, AFileReachedTwiceIsChangedOnce) {
  TempFolder dir;
  writeBytes(dir.file("a.txt"), "x\n");
  std::filesystem::create_symlink("a.txt", dir.file("soft.txt"));
  std::filesystem::create_directories(dir.file("sub"));
  std::filesystem::create_symlink(dir.file("sub"), dir.file("again"));
  writeBytes(dir.file("sub/b.txt"), "x\n");
  // Two hard links are two names: each is rewritten once from the original content.
  ASSERT_EQ(::link(dir.file("a.txt").c_str(), dir.file("hard.txt").c_str()), 0);
  PassRun run = modifyIn(dir, {"a.txt", "soft.txt", "hard.txt", "sub/b.txt", "again/b.txt"},
                         replacePhrase("x", "xx"));
  for (const char* name : {"a.txt", "hard.txt", "sub/b.txt"}) {
    EXPECT_EQ(readBytes(dir.file(name)), "xx\n") << name;
    EXPECT_EQ(readBytes(dir.file(std::string(name) + ".bak")), "x\n") << "the original";
  }
  for (const auto& row : run.rows)
    EXPECT_EQ(search::resultWord(row.outcome.result), "Modified") << row.name;
  EXPECT_EQ(
      journalNames(run.journal),
      (std::vector<std::string>{dir.file("a.txt"), dir.file("hard.txt"), dir.file("sub/b.txt")}));
}

TEST(InsideTheFolder, LinksLeadingOutsideAreNeverFollowed) {
  TempFolder dir;
  std::filesystem::create_directories(dir.file("tree/sub"));
  std::filesystem::create_directories(dir.file("secret"));
  writeBytes(dir.file("secret/root-only.txt"), "old\n");
  writeBytes(dir.file("tree/sub/f.txt"), "old\n");
  std::filesystem::create_symlink(dir.file("secret/root-only.txt"), dir.file("tree/planted.txt"));
  PassOptions options;
  options.searchedFolder = dir.file("tree");
  PassRun run;
  run.rows = {rowFor(dir, "tree/planted.txt"), rowFor(dir, "tree/sub/f.txt")};
  for (auto& row : run.rows) {
    row.path = platform::folderOf(dir.file(row.name));
    row.name = platform::nameOf(row.name);
  }
  // The listed folder is swapped for a link outside while the run is on its way there.
  struct Swapper : RecordingObserver {
    std::string folder, outside;
    void fileStarted(const std::string& name) override {
      if (name.ends_with("sub/f.txt")) {
        std::filesystem::rename(folder, folder + ".moved");
        std::filesystem::create_symlink(outside, folder);
      }
    }
  } swapper;
  swapper.folder = dir.file("tree/sub");
  swapper.outside = dir.file("secret");
  writeBytes(dir.file("secret/f.txt"), "old\n");
  options.refreshHits = false;
  runModifyPass(replacePhrase("old", "new"), run.rows, {}, run.journal, swapper, options);
  EXPECT_EQ(readBytes(dir.file("secret/root-only.txt")), "old\n");
  EXPECT_EQ(readBytes(dir.file("secret/f.txt")), "old\n");
  EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Failed Modification");
  EXPECT_EQ(search::resultWord(run.rows[1].outcome.result), "Failed Modification");
  EXPECT_EQ(swapper.failures.front(),
            dir.file("tree/planted.txt") + ": outside the searched folder");
}

TEST(ModesAndOwners, SpecialBitsAndOwnersSurviveTheRunAndTheUndo) {
  TempFolder dir;
  const bool root = ::geteuid() == 0;
  const unsigned modes[] = {04755, 02750, 01777, 0640};
  std::vector<std::string> names;
  for (unsigned mode : modes) {
    const std::string name = "m" + std::to_string(mode);
    writeBytes(dir.file(name), "old\n");
    if (root) {  // first: a change of owner clears setuid and setgid
      ASSERT_EQ(::chown(dir.file(name).c_str(), 1234, 5678), 0);
    }
    ::chmod(dir.file(name).c_str(), mode);
    names.push_back(name);
  }
  PassRun run = modifyIn(dir, names, replacePhrase("old", "new"));
  auto check = [&](const char* when) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      struct ::stat st {};
      ::stat(dir.file(names[i]).c_str(), &st);
      EXPECT_EQ(st.st_mode & 07777, modes[i]) << names[i] << " " << when;
      if (root) {
        EXPECT_EQ(st.st_uid, 1234u) << names[i] << " " << when;
        EXPECT_EQ(st.st_gid, 5678u) << names[i] << " " << when;
      }
    }
  };
  EXPECT_EQ(readBytes(dir.file(names[0])), "new\n");
  check("after the run");
  EXPECT_EQ(modeOf(dir.file(names[0]) + ".bak") & 06000, 0u) << "a backup is never setuid";
  EXPECT_TRUE(undo(run.journal).empty());
  EXPECT_EQ(readBytes(dir.file(names[0])), "old\n");
  check("after the undo");
}

// What `sed -i` keeps: an ACL entry for another user (and the group class it masks) and the
// user.* values, on the new file, on its backup, and after the undo.
TEST(ModesAndOwners, AclsAndUserAttributesTravelWithTheContent) {
  TempFolder dir;
  const std::string file = dir.file("shared.txt");
  writeBytes(file, "old\n");
  ::chmod(file.c_str(), 0640);
  const std::string acl = kestrix::testing::aclGrantingUser(65534);
  if (::setxattr(file.c_str(), "user.origin", "hand", 4, 0) != 0 ||
      ::setxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0) {
    GTEST_SKIP() << "no extended attributes here";
  }
  const unsigned mode = modeOf(file);  // 0660: the ACL's mask is the group class
  PassRun run = modifyIn(dir, {"shared.txt"}, replacePhrase("old", "new"));
  auto check = [&](const std::string& path, unsigned expectedMode) {
    SCOPED_TRACE(path);
    char value[256];
    const ssize_t n = ::getxattr(path.c_str(), "system.posix_acl_access", value, sizeof value);
    ASSERT_GT(n, 0);
    EXPECT_EQ(std::string(value, static_cast<std::size_t>(n)), acl);
    EXPECT_EQ(::getxattr(path.c_str(), "user.origin", value, sizeof value), 4);
    EXPECT_EQ(modeOf(path), expectedMode);
  };
  EXPECT_EQ(readBytes(file), "new\n");
  check(file, mode);
  check(file + ".bak", mode | 0200);
  EXPECT_TRUE(undo(run.journal).empty());
  EXPECT_EQ(readBytes(file), "old\n");
  check(file, mode);
}

TEST(HiddenFolders, FilesInsideThemAreHidden) {
  TempFolder dir;
  std::filesystem::create_directories(dir.file(".git"));
  writeBytes(dir.file(".git/config"), "old\n");
  auto req = replacePhrase("old", "new");
  PassRun refused = modifyIn(dir, {".git/config"}, req);
  EXPECT_EQ(readBytes(dir.file(".git/config")), "old\n");
  EXPECT_EQ(refused.observer.failures,
            std::vector<std::string>{dir.file(".git/config") + ": hidden file"});
  req.modifyHidden = true;
  modifyIn(dir, {".git/config"}, req);
  EXPECT_EQ(readBytes(dir.file(".git/config")), "new\n");
}

TEST(SpecialFiles, OnlyRegularFilesAreOpenedAndNothingBlocks) {
  TempFolder dir;
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
  std::filesystem::create_directories(dir.file("folder"));
  PassRun run = modifyIn(dir, {"fifo", "folder", "gone.txt"}, replacePhrase("old", "new"));
  EXPECT_EQ(run.observer.failures,
            (std::vector<std::string>{dir.file("fifo") + ": not a regular file",
                                      dir.file("folder") + ": not a regular file",
                                      dir.file("gone.txt") + ": No such file or directory"}));
}

TEST(LongNames, A250ByteNameIsModified) {
  TempFolder dir;
  const std::string name(250, 'n');
  writeBytes(dir.file(name), "old\n");
  PassRun run = modifyIn(dir, {name}, replacePhrase("old", "new"));
  EXPECT_EQ(search::resultWord(run.rows[0].outcome.result), "Modified")
      << ::testing::PrintToString(run.observer.failures);
  EXPECT_EQ(readBytes(dir.file(name)), "new\n");
}

TEST(HonestReasons, AFullDiskFailsThatFileWithTheSystemsReason) {
  TempFolder dir;
  writeBytes(dir.file("a.txt"), "old\n");
  writeBytes(dir.file("b.txt"), "old\n");
  PassOptions options;
  options.writeOps.write = [](int fd, const void* p, std::size_t n) -> ssize_t {
    static int calls = 0;
    if (++calls == 1) return errno = ENOSPC, -1;  // a.txt's backup
    return ::write(fd, p, n);
  };
  auto req = replacePhrase("old", "new");
  PassRun run = modifyIn(dir, {"a.txt", "b.txt"}, req, options);
  EXPECT_EQ(run.observer.failures,
            std::vector<std::string>{dir.file("a.txt") + ": No space left on device"});
  EXPECT_EQ(readBytes(dir.file("a.txt")), "old\n");
  EXPECT_EQ(readBytes(dir.file("b.txt")), "new\n");
  // A read-only file with backups off always fails, whatever the read-only switch says.
  ::chmod(dir.file("b.txt").c_str(), 0444);
  req.createBackups = false;
  req.modifyReadOnly = true;
  PassRun readOnly = modifyIn(dir, {"b.txt"}, req);
  EXPECT_EQ(readOnly.observer.failures,
            std::vector<std::string>{dir.file("b.txt") + ": read-only file (backups are off)"});
}

// A file too large to hold (here: past a lowered read cap), or one whose text makes the
// expression too complex, fails with its reason and stays as it was; the run goes on.
TEST(HonestReasons, TooLargeOrTooComplexFailsThatFileAndTheRunGoesOn) {
  TempFolder dir;
  std::string big;
  while (big.size() <= 4096) big += "old\n";
  writeBytes(dir.file("big.txt"), big);
  writeBytes(dir.file("small.txt"), "old\n");
  const std::int64_t savedCap = platform::readCap();
  platform::setReadCap(4096);
  PassRun run = modifyIn(dir, {"big.txt", "small.txt"}, replacePhrase("old", "new"));
  platform::setReadCap(savedCap);
  EXPECT_EQ(run.observer.failures,
            std::vector<std::string>{dir.file("big.txt") + ": File too large"});
  EXPECT_EQ(readBytes(dir.file("big.txt")), big);
  EXPECT_EQ(readBytes(dir.file("small.txt")), "new\n");

  writeBytes(dir.file("hostile.txt"), std::string(40, 'a') + "bz\n");
  writeBytes(dir.file("plain.txt"), "aaz\n");
  ModifyRequest req = testing::replaceWholeTextRegex();
  req.searchLines = {"^(a+)+\\1z"};
  req.searchEachLine = true;
  PassRun complex = modifyIn(dir, {"hostile.txt", "plain.txt"}, req);
  ASSERT_EQ(complex.observer.failures.size(), 1u);
  EXPECT_EQ(complex.observer.failures[0],
            dir.file("hostile.txt") + ": Error: The expression is too complex for this text");
  EXPECT_EQ(readBytes(dir.file("hostile.txt")), std::string(40, 'a') + "bz\n");
  EXPECT_EQ(search::resultWord(complex.rows[1].outcome.result), "Modified");
}

TEST(StaleRows, AFileChangedSinceTheSearchIsSearchedAgain) {
  TempFolder dir;
  writeBytes(dir.file("a.txt"), "no hit any more\n");
  PassRun run;
  run.rows = {rowFor(dir, "a.txt")};
  run.rows[0].sizeBytes = 4;  // what the search saw
  run.rows[0].hits = {1};
  run.rows[0].hits = {1};
  PassOptions options;
  options.searchedFolder = dir.path();
  runModifyPass(replacePhrase("old", "new"), run.rows, {}, run.journal, run.observer, options);
  EXPECT_EQ(run.rows[0].hits, std::vector<std::int64_t>{0});
  EXPECT_EQ(readBytes(dir.file("a.txt")), "no hit any more\n");
  EXPECT_FALSE(fileExists(dir.file("a.txt.bak"))) << "an unchanged file is not rewritten";
}

}  // namespace
}  // namespace kestrix::modify
