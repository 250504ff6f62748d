// `ksr replace --interactive`: the answers, from a pipe, decide exactly which changes are
// written.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

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

// Starts `ksr replace --interactive ARGS` in the tree with standard input read from
// `input`, its output in the tree's "out" and "err".
pid_t startInteractive(const TempTree& tree, int input, const std::vector<std::string>& args) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::dup2(input, 0);
  ::dup2(::open(tree.at("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
  ::dup2(::open(tree.at("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
  ::setenv("HOME", tree.at("home").c_str(), 1);
  ::setenv("XDG_DATA_HOME", tree.at("home/data").c_str(), 1);
  ::setenv("LC_ALL", "C", 1);
  std::vector<std::string> all = {KSR_EXECUTABLE, "replace", "--interactive", "--color", "never"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

// True when `done` holds before `seconds` have passed.
template <typename F>
bool within(double seconds, F&& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Ctrl+C while the question waits for its answer ends the run at once, without an Enter,
// as a stopped run: nothing written, exit status 2.
TEST(KsrInteractive, CtrlCAtTheQuestionStopsAtOnce) {
  TempTree tree;
  tree.folder("home/data");
  tree.write("t/f.txt", "old 1\nold 2\n");
  int answers[2];
  ASSERT_EQ(::pipe2(answers, O_CLOEXEC), 0);  // only the copy on standard input stays in ksr
  const pid_t pid =
      startInteractive(tree, answers[0], {"--case", "--with", "new", "old", tree.at("t")});
  ::close(answers[0]);
  ASSERT_TRUE(within(60, [&] {
    return readFile(tree.at("out")).find("Apply?") != std::string::npos;
  })) << readFile(tree.at("err"));
  ::kill(pid, SIGINT);
  int status = 0;
  const bool stopped = within(10, [&] { return ::waitpid(pid, &status, WNOHANG) == pid; });
  ::close(answers[1]);  // the answers end: a run still waiting quits
  if (!stopped) ::waitpid(pid, &status, 0);
  EXPECT_TRUE(stopped) << "still waiting for an answer after Ctrl+C";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
  EXPECT_EQ(readFile(tree.at("t/f.txt")), "old 1\nold 2\n");
  EXPECT_EQ(readFile(tree.at("out")).find("Apply?", readFile(tree.at("out")).find("Apply?") + 1),
            std::string::npos)
      << "asked again: " << readFile(tree.at("out"));
}

}  // namespace
}  // namespace kestrix::testing
