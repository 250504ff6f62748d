// Safe file replacement: content, permission bits, links, and failures at each step that
// must leave the original untouched with no temporary left behind.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "TestFiles.h"
#include "platform/AtomicWrite.h"

namespace kestrix::platform {
namespace {

using modify::testing::fileExists;
using modify::testing::modeOf;
using modify::testing::readBytes;
using modify::testing::TempFolder;
using modify::testing::writeBytes;

std::size_t entryCount(const std::string& folder) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(AtomicWrite, ReplacesContentAndKeepsMode) {
  TempFolder dir;
  const std::string f = dir.file("a.txt");
  writeBytes(f, "old content\n");
  ::chmod(f.c_str(), 0640);
  writeFileAtomically(f, std::string("new\0bytes\r\n", 11));
  EXPECT_EQ(readBytes(f), std::string("new\0bytes\r\n", 11));
  EXPECT_EQ(modeOf(f), 0640u);
  EXPECT_EQ(entryCount(dir.path()), 1u);
}

TEST(AtomicWrite, CreatesMissingFileAndFollowsLinks) {
  TempFolder dir;
  const std::string fresh = dir.file("fresh.txt");
  writeFileAtomically(fresh, "x");
  EXPECT_EQ(readBytes(fresh), "x");

  const std::string target = dir.file("target.txt");
  const std::string link = dir.file("link.txt");
  writeBytes(target, "before");
  std::filesystem::create_symlink(target, link);
  writeFileAtomically(link, "after");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readBytes(target), "after");
}

TEST(AtomicWrite, EveryFailingStepLeavesOriginalIntact) {
  struct Case {
    const char* name;
    AtomicWriteOps ops;
  };
  int calls = 0;
  const Case cases[] = {
      {"write fails",
       {[](int, const void*, std::size_t) -> ssize_t {
          errno = ENOSPC;
          return -1;
        },
        {},
        {},
        {}}},
      {"short write then failure",
       {[&calls](int fd, const void* p, std::size_t n) -> ssize_t {
          if (calls++ == 0) return ::write(fd, p, n / 2);
          errno = EIO;
          return -1;
        },
        {},
        {},
        {}}},
      {"fsync fails",
       {{},
        [](int) {
          errno = EIO;
          return -1;
        },
        {},
        {}}},
      {"rename fails",
       {{},
        {},
        [](int, const char*, const char*) {
          errno = EXDEV;
          return -1;
        },
        {}}},
  };
  for (const auto& c : cases) {
    TempFolder dir;
    const std::string f = dir.file("keep.txt");
    writeBytes(f, "precious\n");
    ::chmod(f.c_str(), 0600);
    calls = 0;
    EXPECT_THROW(writeFileAtomically(f, "replacement that is long enough\n", c.ops),
                 AtomicWriteError)
        << c.name;
    EXPECT_EQ(readBytes(f), "precious\n") << c.name;
    EXPECT_EQ(modeOf(f), 0600u) << c.name;
    EXPECT_EQ(entryCount(dir.path()), 1u) << c.name << ": temporary left behind";
  }
}

TEST(AtomicWriteBatch, CommitsTogetherAndKeepsOrderRules) {
  TempFolder dir;
  const std::string a = dir.file("a"), b = dir.file("b"), bak = dir.file("a.bak");
  writeBytes(a, "old a");
  writeBytes(b, "old b");
  ::chmod(b.c_str(), 0444);
  {
    AtomicWriteBatch batch;
    auto backup = batch.stage(bak, "old a", 0600u);
    batch.stage(a, "new a", std::nullopt, backup);
    batch.stage(b, "new b", 0444u);
    EXPECT_EQ(readBytes(a), "old a") << "nothing replaced before commit";
    auto errors = batch.commit();
    EXPECT_EQ(errors, (std::vector<std::string>{"", "", ""}));
  }
  EXPECT_EQ(readBytes(a), "new a");
  EXPECT_EQ(readBytes(bak), "old a");
  EXPECT_EQ(modeOf(bak), 0600u);
  EXPECT_EQ(readBytes(b), "new b");
  EXPECT_EQ(modeOf(b), 0444u);

  // A failed backup keeps its file from being replaced; others go on.
  AtomicWriteOps ops;
  ops.rename = [](int dirFd, const char* from, const char* to) {
    if (std::string_view(to).ends_with(".bak")) return errno = EIO, -1;
    return ::renameat(dirFd, from, dirFd, to);
  };
  AtomicWriteBatch batch(ops);
  auto backup = batch.stage(bak, "newer backup");
  batch.stage(a, "newer a", std::nullopt, backup);
  batch.stage(b, "newer b");
  auto errors = batch.commit();
  EXPECT_FALSE(errors[0].empty());
  EXPECT_FALSE(errors[1].empty());
  EXPECT_TRUE(errors[2].empty());
  EXPECT_EQ(readBytes(a), "new a");
  EXPECT_EQ(readBytes(bak), "old a");
  EXPECT_EQ(readBytes(b), "newer b");
  EXPECT_EQ(entryCount(dir.path()), 3u);
}

TEST(AtomicWriteBatch, StopLeavesTheTargetsNotYetRenamedUntouched) {
  // A stop asked between renames: the file renamed before it stays new with its backup;
  // the next file and its backup are left alone together, and no temporary stays.
  {
    TempFolder dir;
    for (const char* n : {"a", "b", "c"}) writeBytes(dir.file(n), std::string("old ") + n);
    writeBytes(dir.file("b.bak"), "older b");
    bool stop = false;
    AtomicWriteOps ops;
    ops.rename = [&stop](int dirFd, const char* from, const char* to) {
      if (std::string_view(to) == "a") stop = true;
      return ::renameat(dirFd, from, dirFd, to);
    };
    AtomicWriteBatch batch(ops);
    batch.stage(dir.file("a"), "new a");
    auto backup = batch.stage(dir.file("b.bak"), "old b");
    batch.stage(dir.file("b"), "new b", std::nullopt, backup);
    batch.stage(dir.file("c"), "new c");
    int recorded = 0;
    auto errors = batch.commit([&](const std::vector<std::string>&) { ++recorded; },
                               [&stop] { return stop; });
    EXPECT_EQ(recorded, 1);
    EXPECT_EQ(errors,
              (std::vector<std::string>{"", AtomicWriteBatch::kStopped, AtomicWriteBatch::kStopped,
                                        AtomicWriteBatch::kStopped}));
    EXPECT_EQ(readBytes(dir.file("a")), "new a");
    EXPECT_EQ(readBytes(dir.file("b")), "old b");
    EXPECT_EQ(readBytes(dir.file("b.bak")), "older b");
    EXPECT_EQ(readBytes(dir.file("c")), "old c");
    EXPECT_EQ(entryCount(dir.path()), 4u) << "temporary left behind";
  }
  // A stop asked while the flush runs (on its own thread, the caller polling): the flush
  // ends, nothing is recorded and nothing renamed.
  {
    TempFolder dir;
    writeBytes(dir.file("a"), "old a");
    std::atomic<int> polls{0};
    AtomicWriteOps ops;
    ops.fsync = [&polls](int fd) {
      while (polls.load() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      return ::fsync(fd);
    };
    AtomicWriteBatch batch(ops);
    batch.stage(dir.file("a"), "new a");
    int recorded = 0;
    auto errors = batch.commit([&](const std::vector<std::string>&) { ++recorded; },
                               [&polls] { return ++polls > 0; });
    EXPECT_EQ(recorded, 0);
    EXPECT_EQ(errors, (std::vector<std::string>{AtomicWriteBatch::kStopped}));
    EXPECT_EQ(readBytes(dir.file("a")), "old a");
    EXPECT_EQ(entryCount(dir.path()), 1u) << "temporary left behind";
  }
}

TEST(AtomicWriteBatch, UncommittedTemporariesAreRemoved) {
  TempFolder dir;
  writeBytes(dir.file("a"), "old");
  {
    AtomicWriteBatch batch;
    batch.stage(dir.file("a"), "new");
    EXPECT_EQ(entryCount(dir.path()), 2u);
  }
  EXPECT_EQ(readBytes(dir.file("a")), "old");
  EXPECT_EQ(entryCount(dir.path()), 1u);
}

}  // namespace
}  // namespace kestrix::platform
