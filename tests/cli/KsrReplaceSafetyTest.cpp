// The real `ksr replace` and `ksr undo` under an unlucky user: killed at random points,
// stopped by signals, a closed output pipe, a file-size limit, and bad replacement input.
// After every interruption `ksr undo` must give back the tree as it was, byte for byte,
// modes and owners included.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "KsrProcess.h"

namespace {

using namespace kestrix::testing;
namespace fs = std::filesystem;

// What a file is: bytes, mode, owner, group.
struct Facts {
  std::string bytes;
  unsigned mode = 0;
  unsigned uid = 0, gid = 0;
  bool operator==(const Facts&) const = default;
};

bool isTemporary(const fs::path& path) {
  const std::string name = path.filename().string();
  return name.size() == 10 && name.rfind(".ksr", 0) == 0;
}

// The temporaries in the tree (".ksr" + six letters or digits).
std::vector<std::string> temporaries(const std::string& tree) {
  std::vector<std::string> found;
  for (const auto& e : fs::recursive_directory_iterator(tree)) {
    if (isTemporary(e.path())) found.push_back(e.path().string());
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Every entry of the tree except the temporaries a killed run may leave (".ksr" + six).
std::map<std::string, Facts> snapshot(const std::string& tree) {
  std::map<std::string, Facts> facts;
  for (const auto& e : fs::recursive_directory_iterator(tree)) {
    if (isTemporary(e.path())) continue;
    struct ::stat st {};
    ::lstat(e.path().c_str(), &st);
    Facts f{S_ISREG(st.st_mode) ? readAll(e.path().string()) : "", st.st_mode & 07777, st.st_uid,
            st.st_gid};
    facts.emplace(fs::relative(e.path(), tree).string(), f);
  }
  return facts;
}

void makeTree(const Scratch& s, int files) {
  const unsigned modes[] = {0644, 0600, 0755, 04755, 02775, 0664};
  fs::create_directories(s.tree() + "/sub");
  for (int i = 0; i < files; ++i) {
    const std::string name = s.tree() + (i % 3 ? "/f" : "/sub/f") + std::to_string(i) + ".txt";
    std::string body;
    for (int line = 0; line < 40; ++line) body += "line OLD " + std::to_string(line) + "\r\n";
    writeAll(name, body);
    if (::geteuid() == 0 && i % 4 == 0) {
      [[maybe_unused]] int ignored = ::chown(name.c_str(), 1000 + i, 2000 + i);
    }
    ::chmod(name.c_str(), modes[i % 6]);
  }
}

const std::vector<std::string> kReplace = {"replace", "--case", "--with", "NEW", "OLD"};

std::vector<std::string> replaceIn(const std::string& folder) {
  auto args = kReplace;
  args.push_back(folder);
  return args;
}

TEST(KsrReplaceSafety, KilledRunsAreUndoneExactly) {
  Scratch s;
  makeTree(s, 60);
  const auto original = snapshot(s.tree());
  // A whole run first: it is undone exactly, and its length bounds the kill points.
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_EQ(ksr(s, replaceIn(s.tree())), 0);
  const auto whole = std::chrono::steady_clock::now() - t0;
  ASSERT_NE(snapshot(s.tree()), original);
  ASSERT_EQ(ksr(s, {"undo"}), 0);
  ASSERT_EQ(snapshot(s.tree()), original);
  // A file of the user's that looks like a temporary is never removed.
  const std::string mine = s.tree() + "/sub/.ksrmine00";
  writeAll(mine, "mine");
  std::mt19937 random(20261209);
  const auto wholeUs = std::chrono::duration_cast<std::chrono::microseconds>(whole).count();
  for (int round = 0; round < 6; ++round) {
    const auto delay = std::chrono::microseconds(random() % (wholeUs + 1));
    const int sig = round % 2 ? SIGKILL : (round % 4 ? SIGTERM : SIGHUP);
    const Proc p = start(s, replaceIn(s.tree()), "/");
    std::this_thread::sleep_for(delay);
    ::kill(p.pid, sig);
    const int status = finish(p);
    if (sig != SIGKILL) {  // a stop is clean: no temporary is left
      EXPECT_TRUE(status == 0 || status == 2 || status == -sig) << status;
      if (status >= 0) {
        EXPECT_EQ(temporaries(s.tree()), std::vector<std::string>{mine}) << "signal " << sig;
      }
    }
    std::string err;
    const int undone = ksr(s, {"undo"}, &err);
    // Undo removes what a killed run left behind, and nothing else.
    EXPECT_EQ(temporaries(s.tree()), std::vector<std::string>{mine}) << "signal " << sig;
    EXPECT_TRUE(undone == 0 || undone == 1) << undone << " " << err;
    EXPECT_EQ(snapshot(s.tree()), original) << "signal " << sig << " after " << delay.count()
                                            << " us (whole run " << wholeUs << " us): " << err;
  }
}

TEST(KsrReplaceSafety, ClosedPipeLeavesAnUndoableRun) {
  Scratch s;
  makeTree(s, 12);
  const auto original = snapshot(s.tree());
  const std::string command = "cd / && HOME='" + s.home() + "' XDG_DATA_HOME='" + s.home() +
                              "/data' " KSR_EXECUTABLE " replace --case --with NEW OLD '" +
                              s.tree() + "' | head -c 1 >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string err;
  EXPECT_EQ(ksr(s, {"undo"}, &err), 0) << err;
  EXPECT_EQ(snapshot(s.tree()), original);
}

TEST(KsrReplaceSafety, FileSizeLimitFailsTheFileNotTheProcess) {
  Scratch s;
  writeAll(s.tree() + "/big.txt", std::string(3000, 'x') + " OLD\n");
  writeAll(s.tree() + "/small.txt", "OLD\n");
  std::string err;
  const int status =
      ksr(s, {"replace", "--no-backup", "--with", "NEW", "OLD", s.tree()}, &err, "/", 2000);
  EXPECT_EQ(status, 3) << err;
  EXPECT_NE(err.find(s.tree() + "/big.txt: File too large"), std::string::npos) << err;
  EXPECT_EQ(readAll(s.tree() + "/small.txt"), "NEW\n");
  EXPECT_EQ(readAll(s.tree() + "/big.txt"), std::string(3000, 'x') + " OLD\n");
}

TEST(KsrReplaceSafety, ReplacementMustBeAskedForAndReasonsAreShown) {
  Scratch s;
  writeAll(s.tree() + "/a.txt", "OLD\r\n");
  writeAll(s.tree() + "/ro.txt", "OLD\n");
  ::chmod((s.tree() + "/ro.txt").c_str(), 0444);
  std::string err;
  EXPECT_EQ(ksr(s, {"replace", "OLD", s.tree()}, &err), 2);
  EXPECT_NE(err.find("missing --with"), std::string::npos) << err;
  EXPECT_EQ(ksr(s, {"replace", "--with-file", "/dev/zero", "OLD", s.tree()}, &err), 2);
  EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
  EXPECT_EQ(ksr(s, {"replace", "--query-file", "/dev/zero", "--with", "x", s.tree()}, &err), 2);
  EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
  EXPECT_EQ(readAll(s.tree() + "/a.txt"), "OLD\r\n");

  // Relative names: the run from inside the tree, the undo from elsewhere.
  EXPECT_EQ(ksr(s, {"replace", "--with", "NEW", "OLD", "."}, &err, s.tree()), 3);
  EXPECT_EQ(err, "./ro.txt: read-only file\n");
  EXPECT_EQ(readAll(s.tree() + "/a.txt"), "NEW\r\n") << "line breaks are kept";
  EXPECT_EQ(ksr(s, {"undo"}, &err, "/"), 0) << err;
  EXPECT_EQ(readAll(s.tree() + "/a.txt"), "OLD\r\n");

  // An empty replacement, asked for, deletes; --mode delete needs no --with.
  EXPECT_EQ(ksr(s, {"replace", "--with", "", "--masks", "a.txt", "OLD", s.tree()}), 0);
  EXPECT_EQ(readAll(s.tree() + "/a.txt"), "\r\n");
  EXPECT_EQ(ksr(s, {"undo"}), 0);
  EXPECT_EQ(ksr(s, {"replace", "--mode", "delete", "--masks", "a.txt", "OLD", s.tree()}), 0);
  EXPECT_EQ(readAll(s.tree() + "/a.txt"), "\r\n");
}

}  // namespace
