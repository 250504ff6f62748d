// `ksr replace --interactive`: the answers, from a pipe, decide exactly which changes are
// written.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "KsrRun.h"

namespace kestrix::testing {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs `ksr replace --interactive ARGS` in the tree with `answers` on standard input and
// its own data folder.
RunResult interactive(const TempTree& tree, const std::string& answers,
                      const std::vector<std::string>& args) {
  std::string command = "cd " + shellQuote(tree.path()) + " && printf %s " + shellQuote(answers) +
                        " | HOME=" + shellQuote(tree.at("home")) +
                        " XDG_DATA_HOME=" + shellQuote(tree.at("home/data")) +
                        " LC_ALL=C " KSR_EXECUTABLE " replace --interactive --color never";
  for (const auto& a : args) command += " " + shellQuote(a);
  command += " 2>&1";
  return runShell(command);
}

TEST(KsrInteractive, AnswersDecideWhichChangesAreWritten) {
  struct Case {
    const char* answers;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"y\nn\ny\n", "new 1\nold 2\nnew 3 old 4\n"},
      {"n\na\n", "old 1\nnew 2\nnew 3 new 4\n"},
      {"y\ns\n", "new 1\nold 2\nold 3 old 4\n"},
      {"n\nwhat\ny\nq\n", "old 1\nnew 2\nold 3 old 4\n"},
      {"y\n", "new 1\nold 2\nold 3 old 4\n"},  // the end of the answers quits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answers);
    TempTree tree;
    tree.folder("home/data");
    tree.write("t/f.txt", "old 1\nold 2\nold 3 old 4\n");
    const RunResult run =
        interactive(tree, c.answers, {"--case", "--with", "new", "old", tree.at("t")});
    EXPECT_EQ(readFile(tree.at("t/f.txt")), c.expected) << run.out;
    EXPECT_EQ(run.status, 0) << run.out;
  }
}

TEST(KsrInteractive, ShowsEachChangeWithItsWordsMarked) {
  TempTree tree;
  tree.folder("home/data");
  tree.write("t/f.txt", "keep\nsay old here\n");
  const RunResult run = interactive(tree, "y\n", {"--case", "--with", "new", "old", tree.at("t")});
  const std::string shown = tree.at("t/f.txt") + ":2\n- say [-old-] here\n+ say {+new+} here\n" +
                            "Apply? [y]es [n]o [a]ll in this file [s]kip file [q]uit ";
  EXPECT_NE(run.out.find(shown), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(tree.at("t/f.txt") + "\tModified"), std::string::npos) << run.out;
  EXPECT_EQ(readFile(tree.at("t/f.txt.bak")), "keep\nsay old here\n");
}

}  // namespace
}  // namespace kestrix::testing
