// A run killed with SIGKILL cannot remove its temporaries; the next run removes those it
// recorded before creating them, and never a file it did not make.
#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "PassFixture.h"
#include "modify/ModifyPass.h"
#include "modify/TemporaryLog.h"

namespace kestrix::modify {
namespace {

using testing::fileExists;
using testing::readBytes;
using testing::RecordingObserver;
using testing::replacePhrase;
using testing::rowFor;
using testing::TempFolder;
using testing::writeBytes;

std::vector<std::string> temporariesIn(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.size() == 10 && name.rfind(".ksr", 0) == 0) found.push_back(e.path().string());
  }
  std::sort(found.begin(), found.end());
  return found;
}

RecordingObserver runPass(const TempFolder& dir, const TempFolder& data, PassOptions options) {
  std::vector<search::ResultItem> rows;
  for (const char* n : {"a.txt", "sub/b.txt", "c.txt"}) rows.push_back(rowFor(dir, n));
  UndoJournal journal;
  journal.filePath = data.file("Undo.tmp");
  RecordingObserver observer;
  options.temporaryLog = temporaryLogPath(data.path());
  options.refreshHits = false;
  options.searchedFolder = dir.path();
  runModifyPass(replacePhrase("old", "new"), rows, {}, journal, observer, options);
  return observer;
}

TEST(StaleTemporaries, AKilledRunsTemporariesAreRemovedByTheNextRunAndNoOneElses) {
  TempFolder dir, data;
  std::filesystem::create_directories(dir.file("sub"));
  for (const char* n : {"a.txt", "sub/b.txt", "c.txt"}) writeBytes(dir.file(n), "old\n");
  // Files of the user that look like temporaries, and one the killed run will name.
  writeBytes(dir.file(".ksrmine01"), "mine");
  writeBytes(dir.file("sub/.ksrmine02"), "mine");

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Every file is staged with its backup; the process dies at the first rename.
    PassOptions options;
    options.groupFiles = 100;
    options.writeOps.rename = [](int, const char*, const char*) {
      ::raise(SIGKILL);
      return -1;
    };
    runPass(dir, data, options);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  const auto left = temporariesIn(dir.path());
  ASSERT_EQ(left.size(), 2u + 6u) << "three files and their backups were staged";
  for (const char* n : {"a.txt", "sub/b.txt", "c.txt"}) EXPECT_EQ(readBytes(dir.file(n)), "old\n");

  // The log also names a temporary whose name was taken by another file: not ours.
  const std::string logPath = temporaryLogPath(data.path());
  std::string log = readBytes(logPath);
  log += std::string("+") + dir.file(".ksrmine01") + '\0' + "-" + dir.file(".ksrmine01") + '\0';
  writeBytes(logPath, log);

  runPass(dir, data, {});
  EXPECT_EQ(temporariesIn(dir.path()),
            (std::vector<std::string>{dir.file(".ksrmine01"), dir.file("sub/.ksrmine02")}));
  EXPECT_EQ(readBytes(dir.file(".ksrmine01")), "mine");
  for (const char* n : {"a.txt", "sub/b.txt", "c.txt"}) EXPECT_EQ(readBytes(dir.file(n)), "new\n");
  EXPECT_EQ(readBytes(logPath), "") << "a finished run leaves an empty log";
}

TEST(StaleTemporaries, OnlyRegularFilesOfOursWithATemporarysNameAreRemoved) {
  TempFolder dir, data;
  std::filesystem::create_directories(dir.file("real"));
  writeBytes(dir.file("real/.ksrabc123"), "x");
  writeBytes(dir.file("real/notatemp.txt"), "x");
  std::filesystem::create_symlink(dir.file("real"), dir.file("link"));
  std::filesystem::create_directories(dir.file("real/.ksrfolder"));
  const std::string logPath = temporaryLogPath(data.path());
  std::string log;
  for (const char* name : {"link/.ksrabc123", "real/notatemp.txt", "real/.ksrfolder"}) {
    log += std::string("+") + dir.file(name) + '\0';
  }
  log += std::string("+") + dir.file("real/.ksrabc123");  // cut short by a kill: no NUL
  writeBytes(logPath, log);
  EXPECT_EQ(removeStaleTemporaries(logPath), 0u);
  EXPECT_TRUE(fileExists(dir.file("real/.ksrabc123"))) << "reached through a link";
  EXPECT_TRUE(fileExists(dir.file("real/notatemp.txt")));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("real/.ksrfolder")));
  writeBytes(logPath, std::string("+") + dir.file("real/.ksrabc123") + '\0');
  EXPECT_EQ(removeStaleTemporaries(logPath), 1u);
  EXPECT_FALSE(fileExists(dir.file("real/.ksrabc123")));
}

TEST(StaleTemporaries, ALiveRunsTemporariesAreLeftAloneUntilItIsKilled) {
  TempFolder dir, data;
  std::filesystem::create_directories(dir.file("sub"));
  for (const char* n : {"a.txt", "sub/b.txt", "c.txt"}) writeBytes(dir.file(n), "old\n");
  const std::string logPath = temporaryLogPath(data.path());
  const std::string staged = dir.file(".ksrlive01");
  // Another run (the window beside a console run, say) is staging a file: its temporary
  // is named in the shared log.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TemporaryLog live(logPath);
    live.record(staged, true);
    writeBytes(staged, "on its way");
    const char c = 1;
    if (::write(ready[1], &c, 1) == 1) ::pause();
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ::close(ready[0]);
  ::close(ready[1]);

  EXPECT_EQ(removeStaleTemporaries(logPath), 0u) << "an undo leaves it alone";
  runPass(dir, data, {});
  EXPECT_EQ(readBytes(staged), "on its way") << "so does a pass";
  for (const char* n : {"a.txt", "sub/b.txt", "c.txt"}) EXPECT_EQ(readBytes(dir.file(n)), "new\n");

  // Killed with its temporary still there: the next pass removes it.
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  runPass(dir, data, {});
  EXPECT_FALSE(fileExists(staged));
  EXPECT_EQ(readBytes(logPath), "");
}

}  // namespace
}  // namespace kestrix::modify

namespace kestrix::modify {
namespace {

// Sets or clears the immutable flag of the folder `path`; false when the system refuses.
bool setImmutable(const std::string& path, bool on) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  int flags = 0;
  bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
  done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  if (fd >= 0) ::close(fd);
  return done;
}

// A folder made immutable while the run flushes: its temporaries can be neither renamed
// nor removed. The run names them, and once the folder allows it, the next clean-up (a
// run's start, or undo's) removes them.
TEST(StaleTemporaries, TemporariesAFrozenFolderKeepsAreNamedAndRemovedLater) {
  TempFolder dir, data;
  std::filesystem::create_directories(dir.file("sub"));
  for (const char* n : {"a.txt", "sub/b.txt", "c.txt"}) writeBytes(dir.file(n), "old\n");
  if (!setImmutable(dir.path(), true) || !setImmutable(dir.path(), false)) {
    GTEST_SKIP() << "cannot make a folder immutable here";
  }
  struct Thaw {
    std::string path;
    ~Thaw() { setImmutable(path, false); }
  } thaw{dir.path()};
  PassOptions options;
  bool frozen = false;
  options.writeOps.fsync = [&](int) {
    if (!frozen) frozen = setImmutable(dir.path(), true);
    return 0;
  };
  const RecordingObserver observer = runPass(dir, data, options);
  const std::vector<std::string> left = temporariesIn(dir.path());
  ASSERT_EQ(left.size(), 4u);  // a.txt and c.txt with their backups; sub/ is not frozen
  ASSERT_EQ(observer.warnings.size(), 1u);
  std::string expected = kTemporariesLeft;
  for (const std::string& name : left) expected += "\n" + name;
  EXPECT_EQ(observer.warnings[0].text, expected);
  EXPECT_EQ(readBytes(dir.file("a.txt")), "old\n");
  EXPECT_EQ(readBytes(dir.file("sub/b.txt")), "new\n");

  // Still frozen: a clean-up keeps them on its list.
  EXPECT_EQ(removeStaleTemporaries(temporaryLogPath(data.path())), 0u);
  setImmutable(dir.path(), false);
  EXPECT_EQ(removeStaleTemporaries(temporaryLogPath(data.path())), 4u);
  EXPECT_TRUE(temporariesIn(dir.path()).empty());
  EXPECT_EQ(readBytes(dir.file("a.txt")), "old\n");
}

}  // namespace
}  // namespace kestrix::modify
