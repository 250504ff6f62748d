// Other writers during a run: a file edited, replaced or deleted between the pass reading it
// and renaming its new content into place is left as the other writer made it; a file
// another run holds is left alone.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "PassFixture.h"
#include "modify/ModifyPass.h"
#include "platform/AtomicWrite.h"
#include "platform/UniqueFd.h"

namespace kestrix::modify {
namespace {

using testing::fileExists;
using testing::readBytes;
using testing::RecordingObserver;
using testing::replacePhrase;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

std::size_t temporariesIn(const std::string& folder) {
  std::size_t n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    if (e.path().filename().string().rfind(".ksr", 0) == 0) ++n;
  }
  return n;
}

TEST(OtherWriters, AnEditDuringTheFlushIsNeverUndone) {
  struct Case {
    const char* name;
    std::function<void(const std::string& file)> edit;
    const char* expected;  // the file afterwards; nullptr: it stays deleted
  };
  const Case cases[] = {
      {"append", [](const std::string& f) { writeBytes(f, "one old\nlog line\n"); },
       "one old\nlog line\n"},
      {"editor save",
       [](const std::string& f) {
         writeBytes(f + ".swp", "saved old\n");
         std::filesystem::rename(f + ".swp", f);
       },
       "saved old\n"},
      {"same size, same second",
       [](const std::string& f) {
         struct ::stat st {};
         ::stat(f.c_str(), &st);
         writeBytes(f, "one OLD\n");
         const struct ::timespec times[2] = {st.st_atim, st.st_mtim};
         ::utimensat(AT_FDCWD, f.c_str(), times, 0);  // only the change time tells
       },
       "one OLD\n"},
      {"delete", [](const std::string& f) { std::filesystem::remove(f); }, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    const std::string file = dir.file("f.txt");
    writeBytes(file, "one old\n");
    writeBytes(dir.file("g.txt"), "two old\n");
    // The other writer strikes while the run flushes its new contents, after the read.
    bool struck = false;
    PassOptions options;
    options.refreshHits = false;
    options.searchedFolder = dir.path();
    options.writeOps.fsync = [&](int) {
      if (!struck) c.edit(file);
      struck = true;
      return 0;
    };
    std::vector<search::ResultItem> rows{rowFor(dir, "f.txt"), rowFor(dir, "g.txt")};
    UndoJournal journal;
    RecordingObserver observer;
    ModifyRequest req = replacePhrase("old", "new");
    req.createBackups = true;
    runModifyPass(req, rows, {}, journal, observer, options);

    if (c.expected) {
      EXPECT_EQ(readBytes(file), c.expected);
    } else {
      EXPECT_FALSE(fileExists(file));
    }
    EXPECT_EQ(search::resultWord(rows[0].outcome.result), "Failed Modification");
    ASSERT_EQ(observer.failures.size(), 1u);
    EXPECT_EQ(observer.failures[0], file + ": changed during the run");
    EXPECT_FALSE(fileExists(file + ".bak"));  // the backup went with it
    // The other file of the group is modified as usual.
    EXPECT_EQ(readBytes(dir.file("g.txt")), "two new\n");
    EXPECT_EQ(search::resultWord(rows[1].outcome.result), "Modified");
    ASSERT_EQ(journal.entries.size(), 1u);
    EXPECT_EQ(temporariesIn(dir.path()), 0u);
  }
}

TEST(OtherWriters, AFileAnotherRunHoldsIsLeftAlone) {
  TempFolder dir;
  const std::string file = dir.file("f.txt");
  writeBytes(file, "one old\n");
  writeBytes(dir.file("g.txt"), "two old\n");
  // The other run: it has read the file and not yet renamed its new content.
  platform::UniqueFd held(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(::flock(held.get(), LOCK_EX | LOCK_NB), 0);

  std::vector<search::ResultItem> rows{rowFor(dir, "f.txt"), rowFor(dir, "g.txt")};
  UndoJournal journal;
  RecordingObserver observer;
  PassOptions options;
  options.refreshHits = false;
  options.searchedFolder = dir.path();
  runModifyPass(replacePhrase("old", "new"), rows, {}, journal, observer, options);

  EXPECT_EQ(readBytes(file), "one old\n");
  EXPECT_EQ(search::resultWord(rows[0].outcome.result), "Failed Modification");
  ASSERT_EQ(observer.failures.size(), 1u);
  EXPECT_EQ(observer.failures[0], file + ": in use by another run");
  EXPECT_EQ(readBytes(dir.file("g.txt")), "two new\n");

  // Once the other run lets go, the file is this run's again.
  held.reset();
  rows[0].outcome.result = search::RowResult::Found;
  observer.failures.clear();
  runModifyPass(replacePhrase("old", "new"), rows, {0}, journal, observer, options);
  EXPECT_EQ(readBytes(file), "one new\n");
  EXPECT_TRUE(observer.failures.empty());
}

}  // namespace
}  // namespace kestrix::modify
