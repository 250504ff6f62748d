// The modify pass and undo reach every file through folder descriptors: trees deeper than
// the system's path limit are modified and undone, and a folder swapped for a link between
// the run and the undo cannot redirect the undo.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
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
using testing::TempFolder;
using testing::writeBytes;

// A chain of folders below `root`, each holding "f.txt", made and read through descriptors
// since the full names are longer than the system allows.
class DeepChain {
 public:
  DeepChain(const std::string& root, int depth, const std::string& name) : name_(name) {
    fds_.push_back(::open(root.c_str(), O_RDONLY | O_DIRECTORY));
    std::string full = root;
    for (int i = 0; i < depth; ++i) {
      EXPECT_EQ(::mkdirat(fds_.back(), name.c_str(), 0755), 0);
      fds_.push_back(::openat(fds_.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
      write(i, "f.txt", "old " + std::to_string(i) + "\n");
      full += "/" + name;
      folders_.push_back(full);
    }
  }
  ~DeepChain() {
    for (std::size_t i = fds_.size() - 1; i > 0; --i) {
      for (const char* n : {"f.txt", "f.txt.bak"}) ::unlinkat(fds_[i], n, 0);
      ::close(fds_[i]);
      ::unlinkat(fds_[i - 1], name_.c_str(), AT_REMOVEDIR);
    }
    ::close(fds_[0]);
  }
  // The full name of folder `level` (0 is the first below the root).
  const std::string& folder(int level) const { return folders_[static_cast<std::size_t>(level)]; }
  void write(int level, const char* name, const std::string& bytes) {
    const int f = ::openat(fds_[static_cast<std::size_t>(level) + 1], name,
                           O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_EQ(::write(f, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(f);
  }
  // The content of `name` in folder `level`, or "(missing)".
  std::string read(int level, const char* name) const {
    const int f = ::openat(fds_[static_cast<std::size_t>(level) + 1], name, O_RDONLY);
    if (f < 0) return "(missing)";
    std::string bytes(4096, '\0');
    const ssize_t got = ::read(f, bytes.data(), bytes.size());
    ::close(f);
    bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    return bytes;
  }

 private:
  std::string name_;
  std::vector<int> fds_;
  std::vector<std::string> folders_;
};

search::ResultItem rowIn(const std::string& folder, const std::string& name) {
  search::ResultItem row;
  row.path = folder;
  row.name = name;
  row.hits = {1};
  row.outcome.result = search::RowResult::Found;
  return row;
}

TEST(DeepTrees, FilesBeyondThePathLimitAreModifiedAndUndone) {
  TempFolder dir;
  const int depth = 45;  // 45 x 101 bytes: beyond the 4096 bytes of a path
  DeepChain chain(dir.path(), depth, std::string(100, 'd'));
  ASSERT_GT(chain.folder(depth - 1).size(), 4200u);
  std::vector<search::ResultItem> rows;
  for (int level : {0, depth / 2, depth - 1}) rows.push_back(rowIn(chain.folder(level), "f.txt"));
  UndoJournal journal;
  RecordingObserver observer;
  PassOptions options;
  options.refreshHits = false;
  options.searchedFolder = dir.path();
  runModifyPass(replacePhrase("old", "new"), rows, {}, journal, observer, options);
  EXPECT_TRUE(observer.failures.empty()) << observer.failures.front();
  for (const auto& row : rows) EXPECT_EQ(search::resultWord(row.outcome.result), "Modified");
  EXPECT_EQ(chain.read(depth - 1, "f.txt"), "new " + std::to_string(depth - 1) + "\n");
  EXPECT_EQ(chain.read(depth - 1, "f.txt.bak"), "old " + std::to_string(depth - 1) + "\n");
  EXPECT_EQ(chain.read(1, "f.txt"), "old 1\n") << "a file not listed is left alone";
  ASSERT_EQ(journal.entries.size(), 3u);
  EXPECT_EQ(journal.entries.back().fullName, chain.folder(depth - 1) + "/f.txt");

  std::vector<search::ResultItem> none;
  RecordingObserver undoObserver;
  const UndoSummary summary = undoLastRun(journal, none, undoObserver);
  EXPECT_TRUE(undoObserver.failures.empty()) << undoObserver.failures.front();
  ASSERT_EQ(summary.outcomes.size(), 3u);
  for (const auto& outcome : summary.outcomes) EXPECT_TRUE(outcome.undone) << outcome.reason;
  for (int level : {0, depth / 2, depth - 1}) {
    EXPECT_EQ(chain.read(level, "f.txt"), "old " + std::to_string(level) + "\n");
    EXPECT_EQ(chain.read(level, "f.txt.bak"), "(missing)");
  }
}

// A chain of `depth` folders "d" below `root` with "f.txt" at its bottom, made holding one
// descriptor at a time; returns the bottom folder's full name.
std::string makeChain(const std::string& root, int depth) {
  int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  std::string full = root;
  for (int i = 0; i < depth && fd >= 0; ++i) {
    ::mkdirat(fd, "d", 0755);
    const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(fd);
    fd = next;
    full += "/d";
  }
  const int f = ::openat(fd, "f.txt", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  EXPECT_EQ(::write(f, "old\n", 4), 4);
  ::close(f);
  ::close(fd);
  return full;
}

// More folders deep than the usual limit of 1024 descriptors: resolving and opening the
// file's path holds no descriptor per level.
TEST(DeepTrees, DeeperThanTheDescriptorLimit) {
  TempFolder dir;
  const std::string bottom = makeChain(dir.path(), 1500);
  std::vector<search::ResultItem> rows{rowIn(bottom, "f.txt")};
  UndoJournal journal;
  RecordingObserver observer;
  PassOptions options;
  options.refreshHits = false;
  options.searchedFolder = dir.path();
  struct ::rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  struct ::rlimit usual = saved;
  usual.rlim_cur = std::min<rlim_t>(saved.rlim_cur, 1024);
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &usual), 0);
  runModifyPass(replacePhrase("old", "new"), rows, {}, journal, observer, options);
  ::setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_TRUE(observer.failures.empty()) << observer.failures.front().substr(3000);
  EXPECT_EQ(search::resultWord(rows[0].outcome.result), "Modified");
  // GNU rm walks any depth; the folder's own removal would stop at the path limit.
  EXPECT_EQ(std::system(("rm -rf " + dir.path() + "/d").c_str()), 0);
}

// Gives `to` the modification time of `from`, so that only its place tells them apart.
void copyTime(const std::string& from, const std::string& to) {
  struct ::stat st {};
  ASSERT_EQ(::stat(from.c_str(), &st), 0);
  const struct ::timespec times[2] = {st.st_atim, st.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, to.c_str(), times, 0), 0);
}

TEST(UndoThroughLinks, AFolderSwappedForALinkSinceTheRunIsNotFollowed) {
  TempFolder dir;
  std::filesystem::create_directories(dir.file("tree/sub"));
  std::filesystem::create_directories(dir.file("outside"));
  writeBytes(dir.file("tree/sub/f.txt"), "old\n");
  std::vector<search::ResultItem> rows{rowIn(dir.file("tree/sub"), "f.txt")};
  UndoJournal journal;
  RecordingObserver observer;
  PassOptions options;
  options.refreshHits = false;
  options.searchedFolder = dir.file("tree");
  runModifyPass(replacePhrase("old", "new"), rows, {}, journal, observer, options);
  ASSERT_EQ(readBytes(dir.file("tree/sub/f.txt")), "new\n");

  // Someone moves the folder away and puts a link in its place, to a folder holding a
  // file and a backup that look exactly like the ones the run left (time included).
  std::filesystem::rename(dir.file("tree/sub"), dir.file("tree/moved"));
  for (const char* name : {"f.txt", "f.txt.bak"}) {
    const std::string copy = dir.file(std::string("outside/") + name);
    writeBytes(copy, readBytes(dir.file(std::string("tree/moved/") + name)));
    ::chmod(copy.c_str(), 0644);
    copyTime(dir.file(std::string("tree/moved/") + name), copy);
  }
  std::filesystem::create_symlink(dir.file("outside"), dir.file("tree/sub"));

  std::vector<search::ResultItem> none;
  RecordingObserver undoObserver;
  UndoJournal kept = journal;
  const UndoSummary summary = undoLastRun(journal, none, undoObserver);
  ASSERT_EQ(summary.outcomes.size(), 1u);
  EXPECT_FALSE(summary.outcomes[0].undone);
  EXPECT_EQ(summary.outcomes[0].reason, "a link on its path changed since the run");
  EXPECT_EQ(readBytes(dir.file("outside/f.txt")), "new\n") << "the undo went through the link";
  EXPECT_EQ(readBytes(dir.file("outside/f.txt.bak")), "old\n");
  EXPECT_EQ(readBytes(dir.file("tree/moved/f.txt")), "new\n");
  EXPECT_EQ(readBytes(dir.file("tree/moved/f.txt.bak")), "old\n");

  // Once the folder is back, the same journal entry undoes the run.
  std::filesystem::remove(dir.file("tree/sub"));
  std::filesystem::rename(dir.file("tree/moved"), dir.file("tree/sub"));
  RecordingObserver secondObserver;
  EXPECT_TRUE(undoLastRun(kept, none, secondObserver).outcomes.at(0).undone);
  EXPECT_EQ(readBytes(dir.file("tree/sub/f.txt")), "old\n");
}

}  // namespace
}  // namespace kestrix::modify
