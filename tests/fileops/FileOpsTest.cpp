// Copy and delete of listed files: the questions asked, what reaches the disk.
#include <sys/stat.h>

#include <filesystem>

#include "../search/TempTree.h"
#include "fileops/FileOps.h"
#include "platform/Platform.h"

namespace kestrix::fileops {
namespace {

using platform::readFile;

TEST(CopyFiles, AsksBeforeReplacingAndHonoursEachAnswer) {
  testing::TempTree tree;
  const std::vector<std::string> sources = {
      tree.write("src/a.txt", "A"), tree.write("src/b.txt", "B"), tree.write("src/c.txt", "C"),
      tree.write("src/d.txt", "D")};
  tree.write("dst/a.txt", "old a");
  tree.write("dst/b.txt", "old b");
  tree.write("dst/d.txt", "old d");
  std::vector<std::string> asked;
  std::vector<Decision> answers = {Decision::Skip, Decision::Yes, Decision::Skip};
  const CopyOutcome out = copyFiles(sources, tree.at("dst"), [&](const std::string& target) {
    asked.push_back(target);
    return answers.at(asked.size() - 1);
  });
  EXPECT_EQ(asked, (std::vector<std::string>{tree.at("dst/a.txt"), tree.at("dst/b.txt"),
                                             tree.at("dst/d.txt")}));
  EXPECT_EQ(readFile(tree.at("dst/a.txt")), "old a");
  EXPECT_EQ(readFile(tree.at("dst/b.txt")), "B");
  EXPECT_EQ(readFile(tree.at("dst/c.txt")), "C");
  EXPECT_EQ(readFile(tree.at("dst/d.txt")), "old d");
  EXPECT_EQ(out.copied.size(), 2u);
  EXPECT_FALSE(out.cancelled);
}

TEST(CopyFiles, YesToAllStopsAskingAndCancelStopsTheRun) {
  testing::TempTree tree;
  const std::vector<std::string> sources = {tree.write("src/a", "A"), tree.write("src/b", "B"),
                                            tree.write("src/c", "C")};
  for (const char* n : {"dst/a", "dst/b", "dst/c"}) tree.write(n, "old");
  int asks = 0;
  copyFiles(sources, tree.at("dst"), [&](const std::string&) {
    ++asks;
    return Decision::YesToAll;
  });
  EXPECT_EQ(asks, 1);
  EXPECT_EQ(readFile(tree.at("dst/c")), "C");

  for (const char* n : {"dst/a", "dst/b", "dst/c"}) tree.write(n, "old");
  const CopyOutcome out =
      copyFiles(sources, tree.at("dst"), [](const std::string&) { return Decision::Cancel; });
  EXPECT_TRUE(out.cancelled);
  EXPECT_EQ(readFile(tree.at("dst/a")), "old");
  EXPECT_EQ(readFile(tree.at("dst/c")), "old");
}

TEST(CopyFiles, IntoTheirOwnFolderCopiesNothingAndAsksNothing) {
  testing::TempTree tree;
  const std::vector<std::string> sources = {tree.write("a.txt", "A"), tree.write("b.txt", "B")};
  std::filesystem::create_directory_symlink(tree.path(), tree.at("link"));
  for (const std::string& dest : {tree.path(), tree.path() + "/", tree.at("link")}) {
    const CopyOutcome out = copyFiles(sources, dest, [](const std::string&) -> Decision {
      ADD_FAILURE() << "asked";
      return Decision::Yes;
    });
    EXPECT_TRUE(out.copied.empty()) << dest;
  }
  EXPECT_EQ(readFile(tree.at("a.txt")), "A");
}

TEST(CopyFiles, KeepsModeAndOddNamesAndReportsUnreadableSources) {
  testing::TempTree tree;
  const std::string odd = "sp ace \"q\" <&>\n\xff.txt";
  const std::string source = tree.write("src/" + odd, "x");
  ::chmod(source.c_str(), 0750);
  const CopyOutcome out = copyFiles({source, tree.at("src/missing")}, tree.at("dst"), {});
  tree.folder("dst");
  const CopyOutcome again = copyFiles({source, tree.at("src/missing")}, tree.at("dst"), {});
  EXPECT_EQ(readFile(tree.at("dst/" + odd)), "x");
  EXPECT_EQ(platform::getMode(tree.at("dst/" + odd)), 0750u);
  EXPECT_EQ(again.failed.size(), 1u);
  ASSERT_EQ(::mkfifo(tree.at("src/pipe").c_str(), 0600), 0);
  EXPECT_EQ(copyFiles({tree.at("src/pipe")}, tree.at("dst"), {}).failed.size(), 1u);
  EXPECT_FALSE(platform::exists(tree.at("dst/pipe")));
  EXPECT_EQ(out.copied.size(), 0u);  // the destination did not exist
}

// A trash that moves files into a folder of the test tree.
struct FakeTrash {
  std::string folder;
  std::vector<std::string> trashed{};
  bool fail = false;
  TrashFunction function() {
    return [this](const std::string& name) {
      if (fail) return false;
      trashed.push_back(name);
      return std::rename(name.c_str(), (folder + "/" + platform::nameOf(name)).c_str()) == 0;
    };
  }
};

TEST(DeleteFiles, SkipOnTheSecondOfThreeKeepsOnlyThatOne) {
  testing::TempTree tree;
  const std::vector<std::string> names = {tree.write("1.txt", "1"), tree.write("2.txt", "2"),
                                          tree.write("3.txt", "3")};
  ::chmod(names[1].c_str(), 0444);
  FakeTrash trash{tree.folder("trash")};
  std::vector<std::string> asked;
  const DeleteOutcome out = deleteFiles(names, trash.function(), [&](const std::string& n) {
    asked.push_back(n);
    return Decision::Skip;
  });
  EXPECT_EQ(asked, std::vector<std::string>{names[1]});
  EXPECT_EQ(out.deleted, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(out.deselected, (std::vector<bool>{false, true, false}));
  EXPECT_FALSE(out.error);
  EXPECT_TRUE(platform::exists(names[1]));
  EXPECT_FALSE(platform::exists(names[0]));
  EXPECT_TRUE(platform::exists(tree.at("trash/3.txt")));
}

TEST(DeleteFiles, MissingFileOrFailingTrashEndsTheRunAndNothingIsUnlinked) {
  testing::TempTree tree;
  const std::vector<std::string> names = {tree.write("1", "1"), tree.at("gone"),
                                          tree.write("3", "3")};
  FakeTrash trash{tree.folder("trash")};
  DeleteOutcome out = deleteFiles(names, trash.function(), {});
  EXPECT_EQ(out.error, "Cannot delete " + names[1] + ": Cannot find the specified file.");
  EXPECT_EQ(out.deleted, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(out.deselected, (std::vector<bool>{false, true, true}));
  EXPECT_TRUE(platform::exists(names[2]));

  trash.fail = true;
  out = deleteFiles({names[2]}, trash.function(), {});
  EXPECT_EQ(out.error, "Cannot delete " + names[2]);
  EXPECT_TRUE(platform::exists(names[2]));
}

TEST(DeleteFiles, CancelDeselectsTheRestAndYesToAllAsksOnce) {
  testing::TempTree tree;
  const std::vector<std::string> names = {tree.write("1", "1"), tree.write("2", "2"),
                                          tree.write("3", "3")};
  for (const auto& n : names) ::chmod(n.c_str(), 0444);
  FakeTrash trash{tree.folder("trash")};
  DeleteOutcome out =
      deleteFiles(names, trash.function(), [](const std::string&) { return Decision::Cancel; });
  EXPECT_EQ(out.deselected, (std::vector<bool>{true, true, true}));
  EXPECT_TRUE(trash.trashed.empty());
  int asks = 0;
  out = deleteFiles(names, trash.function(), [&](const std::string&) {
    ++asks;
    return Decision::YesToAll;
  });
  EXPECT_EQ(asks, 1);
  EXPECT_EQ(out.deleted, (std::vector<bool>{true, true, true}));
}

}  // namespace
}  // namespace kestrix::fileops
