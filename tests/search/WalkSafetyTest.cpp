// The walk and the reading of files in hostile trees: paths beyond the system's limit,
// folders swapped for links and files swapped for FIFOs during a run, and the kernel's
// virtual file systems.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempTree.h"
#include "platform/FolderHandle.h"
#include "platform/ReadOnlyFile.h"
#include "search/Cells.h"
#include "search/Find.h"

namespace kestrix::search {
namespace {

using kestrix::testing::TempTree;

class Watcher : public SearchObserver {
 public:
  void folderEntered(const std::string& path) override {
    entered.push_back(path);
    if (onFolder) onFolder(path);
  }
  void fileTested(const std::string& full) override {
    if (onFile) onFile(full);
  }
  void resultAdded(const ResultItem& item) override { listed.push_back(item.fullName()); }

  std::vector<std::string> entered;
  std::vector<std::string> listed;
  std::function<void(const std::string&)> onFolder;
  std::function<void(const std::string&)> onFile;
};

SearchRequest phrase(const std::string& folder, const std::string& query) {
  SearchRequest r;
  r.folder = folder;
  r.queryText = query;
  return r;
}

// A chain of `depth` folders named by `name` below `root`, each holding "f.txt"; created and
// removed through descriptors, since the full paths are longer than the system allows.
class DeepChain {
 public:
  DeepChain(const std::string& root, int depth, const std::string& name) : name_(name) {
    fds_.push_back(::open(root.c_str(), O_RDONLY | O_DIRECTORY));
    for (int i = 0; i < depth; ++i) {
      EXPECT_EQ(::mkdirat(fds_.back(), name.c_str(), 0755), 0);
      fds_.push_back(::openat(fds_.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
      const int f = ::openat(fds_.back(), "f.txt", O_WRONLY | O_CREAT, 0644);
      EXPECT_EQ(::write(f, "deep\n", 5), 5);
      ::close(f);
    }
  }
  ~DeepChain() {
    for (std::size_t i = fds_.size() - 1; i > 0; --i) {
      ::unlinkat(fds_[i], "f.txt", 0);
      ::close(fds_[i]);
      ::unlinkat(fds_[i - 1], name_.c_str(), AT_REMOVEDIR);
    }
    ::close(fds_[0]);
  }

 private:
  std::string name_;
  std::vector<int> fds_;
};

TEST(WalkSafety, TreesDeeperThanThePathLimitAreWalked) {
  TempTree tree;
  const std::string name(100, 'n');
  const int depth = 50;  // 50 x 101 bytes: beyond the 4096 bytes of a path
  DeepChain chain(tree.path(), depth, name);
  for (unsigned threads : {1u, 2u}) {
    SCOPED_TRACE(threads);
    Watcher watcher;
    const FindOutcome outcome = runFind(phrase(tree.path(), "deep"), watcher, nullptr, threads);
    ASSERT_EQ(outcome.foundCount, static_cast<std::size_t>(depth));
    std::sort(watcher.listed.begin(), watcher.listed.end(),
              [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
    std::string expected = tree.path();
    for (int i = 0; i < depth; ++i) {
      expected += "/" + name;
      EXPECT_TRUE(watcher.listed[i] == expected + "/f.txt") << "level " << i + 1;
    }
    EXPECT_GT(expected.size(), 5000u);
    // The found lines of the deepest file can be read as well.
    const FillOutcome fill = fillFoundLines(phrase(tree.path(), "deep"), expected, "f.txt");
    EXPECT_EQ(search::foundText(fill.hits), "1");
  }
}

TEST(WalkSafety, FolderSwappedForALinkDuringTheRunIsNotEntered) {
  TempTree tree;
  tree.write("a/one.txt", "secret");
  tree.write("b/two.txt", "secret");
  tree.write("outside/three.txt", "secret");
  SearchRequest r = phrase(tree.path(), "secret");
  r.ignoredFolders = IgnoredFolders{{tree.at("outside")}, true};
  Watcher watcher;
  // When the walk enters the first of a and b (both listed by then), the other becomes a
  // link to the folder outside.
  watcher.onFolder = [&](const std::string& path) {
    for (const char* pair : {"ab", "ba"}) {
      if (path != tree.at(std::string(1, pair[0]))) continue;
      const std::string other = tree.at(std::string(1, pair[1]));
      std::filesystem::rename(other, other + ".moved");
      std::filesystem::create_directory_symlink(tree.at("outside"), other);
      watcher.onFolder = nullptr;
      return;
    }
  };
  runFind(r, watcher, nullptr, 1);
  ASSERT_EQ(watcher.listed.size(), 1u);
  EXPECT_NE(watcher.listed[0].find("one.txt") == std::string::npos,
            watcher.listed[0].find("two.txt") == std::string::npos);
}

TEST(WalkSafety, FileSwappedForAFifoIsNotReadAndNothingBlocks) {
  TempTree tree;
  for (int i = 0; i < 5; ++i) tree.write("f" + std::to_string(i) + ".txt", "x");
  Watcher watcher;
  // When the first file is tested, every other one becomes a FIFO without a writer.
  watcher.onFile = [&](const std::string& first) {
    for (int i = 0; i < 5; ++i) {
      const std::string other = tree.at("f" + std::to_string(i) + ".txt");
      if (other == first) continue;
      ::unlink(other.c_str());
      ASSERT_EQ(::mkfifo(other.c_str(), 0644), 0);
    }
    watcher.onFile = nullptr;
  };
  runFind(phrase(tree.path(), "x"), watcher, nullptr, 1);
  EXPECT_EQ(watcher.listed.size(), 1u);

  // The reader refuses anything but a regular file, and a link unless asked to follow it.
  tree.write("plain.txt", "x");
  std::filesystem::create_symlink(tree.at("plain.txt"), tree.at("link.txt"));
  ASSERT_EQ(::mkfifo(tree.at("pipe").c_str(), 0644), 0);
  const platform::UniqueFd folder = platform::openFolder(tree.path());
  for (const char* name : {"pipe", "link.txt", "."}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(platform::ReadOnlyFile(folder.get(), name, false, name), platform::PlatformError);
  }
  EXPECT_THROW(platform::ReadOnlyFile(tree.at("pipe")), platform::PlatformError);
  EXPECT_EQ(platform::ReadOnlyFile(folder.get(), "link.txt", true, "link").info().sizeBytes, 1);
  EXPECT_THROW(platform::openSubfolder(folder.get(), "link.txt", "link"), platform::PlatformError);
}

TEST(WalkSafety, VirtualFileSystemsAreEnteredOnlyWhenSearchedDirectly) {
  for (const char* path : {"/proc", "/sys", "/proc/self"}) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(platform::onVirtualFileSystem(platform::openFolder(path).get()));
  }
  TempTree tree;
  EXPECT_FALSE(platform::onVirtualFileSystem(platform::openFolder(tree.path()).get()));

  // A walk of "/" that ignores (with their subfolders) every top folder but proc and sys
  // enters neither.
  SearchRequest r = phrase("/", "");
  r.masksText = "status";
  r.ignoredFolders.emplace();
  r.ignoredFolders->ignoreSubfolders = true;
  for (const auto& entry : std::filesystem::directory_iterator("/")) {
    const std::string name = entry.path().filename().string();
    if (name != "proc" && name != "sys") r.ignoredFolders->lines.push_back("/" + name);
  }
  Watcher fromRoot;
  runFind(r, fromRoot, nullptr, 1);
  for (const std::string& path : fromRoot.entered) {
    EXPECT_NE(path.rfind("/proc", 0), 0u) << path;
    EXPECT_NE(path.rfind("/sys", 0), 0u) << path;
  }
  EXPECT_TRUE(fromRoot.listed.empty());

  // Searched directly, a folder of proc is walked and its files (of no stated size) read.
  SearchRequest self = phrase("/proc/self", "Name:");
  self.masksText = "status";
  self.includeSubfolders = false;
  Watcher direct;
  runFind(self, direct, nullptr, 1);
  EXPECT_EQ(direct.listed, (std::vector<std::string>{"/proc/self/status"}));
}

}  // namespace
}  // namespace kestrix::search
