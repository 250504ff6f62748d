// The console commands end to end: `ksr replace` (output, exit statuses, --dry-run),
// `ksr undo` through the undo history in the data folder, and `ksr batch`.
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "cli/Commands.h"
#include "modify/BatchTable.h"

namespace kestrix::cli {
namespace {

using modify::testing::fileExists;
using modify::testing::modeOf;
using modify::testing::readBytes;
using modify::testing::TempFolder;
using modify::testing::writeBytes;

struct Outcome {
  int status;
  std::string out;
};

Outcome run(int (*command)(int, char**), std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ::testing::internal::CaptureStdout();
  int status = command(static_cast<int>(argv.size()), argv.data());
  return {status, ::testing::internal::GetCapturedStdout()};
}

class ConsoleCommands : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("XDG_DATA_HOME", data_.path().c_str(), 1); }
  void TearDown() override { ::unsetenv("XDG_DATA_HOME"); }
  TempFolder data_;
  TempFolder dir_;
};

TEST_F(ConsoleCommands, ReplaceThenUndoRoundTrips) {
  writeBytes(dir_.file("a.txt"), "keep OLD\r\nOLD\n");
  writeBytes(dir_.file("b.txt"), "nothing\n");
  writeBytes(dir_.file("ro.txt"), "OLD");
  ::chmod(dir_.file("ro.txt").c_str(), 0444);

  auto dry = run(runReplaceCommand, {"replace", "--case", "--with", "NEW", "--dry-run", "--masks",
                                     "a.txt", "OLD", dir_.path()});
  EXPECT_EQ(dry.status, 0);
  EXPECT_NE(dry.out.find("-keep OLD\r\n-OLD\n+keep NEW\r\n+NEW\n"), std::string::npos) << dry.out;
  EXPECT_EQ(readBytes(dir_.file("a.txt")), "keep OLD\r\nOLD\n");
  EXPECT_FALSE(fileExists(dir_.file("a.txt.bak")));

  auto first = run(runReplaceCommand, {"replace", "--case", "--with", "NEW", "OLD", dir_.path()});
  EXPECT_EQ(first.status, 3) << first.out;  // ro.txt is protected
  EXPECT_NE(first.out.find(dir_.file("a.txt") + "\tModified\n"), std::string::npos);
  EXPECT_NE(first.out.find(dir_.file("ro.txt") + "\tFailed Modification\n"), std::string::npos);
  EXPECT_EQ(readBytes(dir_.file("a.txt")), "keep NEW\r\nNEW\n");

  auto second = run(runReplaceCommand, {"replace", "--case", "--with", "NEW", "--modify-read-only",
                                        "--line-separator", "windows", "OLD", dir_.path()});
  EXPECT_EQ(second.status, 0) << second.out;
  EXPECT_EQ(readBytes(dir_.file("ro.txt")), "NEW");
  EXPECT_EQ(modeOf(dir_.file("ro.txt")), 0444u);

  auto undo = run(runUndoCommand, {"undo"});
  EXPECT_EQ(undo.status, 0);
  EXPECT_EQ(undo.out, dir_.file("ro.txt") + "\tUndid\n");
  EXPECT_EQ(readBytes(dir_.file("ro.txt")), "OLD");
  EXPECT_EQ(modeOf(dir_.file("ro.txt")), 0444u);
  // Repeated, undo goes back run by run, then has nothing left.
  EXPECT_EQ(run(runUndoCommand, {"undo"}).out, dir_.file("a.txt") + "\tUndid\n");
  EXPECT_EQ(readBytes(dir_.file("a.txt")), "keep OLD\r\nOLD\n");
  EXPECT_EQ(run(runUndoCommand, {"undo"}).status, 1);

  EXPECT_EQ(run(runReplaceCommand, {"replace", "--with", "x", "absent", dir_.path()}).status, 1);
  EXPECT_EQ(run(runReplaceCommand, {"replace", "--type", "or", "x", dir_.path()}).status, 2);
  EXPECT_EQ(run(runReplaceCommand, {"replace", "--mode", "swap", "x", dir_.path()}).status, 2);
}

TEST_F(ConsoleCommands, NoBackupRunCannotBeUndone) {
  writeBytes(dir_.file("a.txt"), "x\n");
  run(runReplaceCommand, {"replace", "--no-backup", "--with", "y", "x", dir_.path()});
  EXPECT_EQ(run(runUndoCommand, {"undo"}).status, 1);
  // Nor does undoing the run before it overwrite what the run without backups did.
  run(runReplaceCommand, {"replace", "--with", "z", "y", dir_.path()});
  run(runReplaceCommand, {"replace", "--no-backup", "--with", "w", "z", dir_.path()});
  EXPECT_EQ(run(runUndoCommand, {"undo"}).status, 3);
  EXPECT_EQ(readBytes(dir_.file("a.txt")), "w\n");
}

TEST_F(ConsoleCommands, BatchRunsATableFile) {
  writeBytes(dir_.file("a.txt"), "alpha beta\n");
  modify::BatchTable table;
  table.rows = {{"alpha", "beta"}, {"beta", "gamma"}};
  const std::string tbl = data_.file("pairs.tbl");
  modify::saveTableFile(tbl, table);
  auto out = run(runBatchCommand, {"batch", tbl, "--masks", "*.txt", dir_.path()});
  EXPECT_EQ(out.status, 0) << out.out;
  EXPECT_EQ(readBytes(dir_.file("a.txt")), "gamma gamma\n");
  EXPECT_EQ(out.out, dir_.file("a.txt") + "\tModified\n" + dir_.file("a.txt") + "\tModified\n");
  writeBytes(tbl, "100001\r\n");
  EXPECT_EQ(run(runBatchCommand, {"batch", tbl, dir_.path()}).status, 2);
}

}  // namespace
}  // namespace kestrix::cli
