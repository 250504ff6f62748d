// The undo history through the real `ksr`: runs undone one by one to the identical tree
// (times and attributes included), an undo killed at each of its renames and finished by
// the next, a user's "NAME.$" and "NAME.bak" left alone, a journal of an unknown format
// refused, and `ksr history` with its JSON and its clearing.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <ctime>

#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "../modify/FileFacts.h"
#include "KsrProcess.h"

namespace {

using namespace kestrix::testing;
namespace fs = std::filesystem;

std::map<std::string, Facts> snapshot(const std::string& tree) {
  std::map<std::string, Facts> facts;
  for (const auto& e : fs::recursive_directory_iterator(tree)) {
    struct ::stat st {};
    ::lstat(e.path().c_str(), &st);
    if (S_ISDIR(st.st_mode)) continue;  // folders change with their entries
    Facts f = factsOf(e.path(), st);
    if (!S_ISREG(st.st_mode)) f.accessNs = 0;  // reading through a link moves its time
    facts[fs::relative(e.path(), tree).string()] = f;
  }
  for (auto& [name, f] : facts) {
    if (fs::is_regular_file(tree + "/" + name)) f.bytes = readQuietly(tree + "/" + name);
  }
  return facts;
}

// Sets the access time ahead (reading leaves it alone then).
void accessLater(const std::string& name, int i) {
  const timespec times[2] = {{std::time(nullptr) + 86400 * 10 + i, 111111111}, {0, UTIME_OMIT}};
  ::utimensat(AT_FDCWD, name.c_str(), times, 0);
}

// Six files with their own modes, times (access times ahead, which reading leaves alone: the
// search before each run reads every file) and, where the file system has them, an attribute.
void makeTree(const Scratch& s) {
  fs::create_directories(s.tree() + "/sub");
  const unsigned modes[] = {0644, 0600, 0755, 0444, 0664, 0640};
  for (int i = 0; i < 6; ++i) {
    const std::string name = s.tree() + (i % 2 ? "/sub/f" : "/f") + std::to_string(i) + ".txt";
    writeAll(name, "OLD " + std::to_string(i) + "\r\nOLD\n");
    ::setxattr(name.c_str(), "user.kept", "v", 1, 0);
    ::chmod(name.c_str(), modes[i]);
    const timespec times[2] = {{std::time(nullptr) + 86400 * 10 + i, 111111111},
                               {1500000000 + i, 999999999}};
    ::utimensat(AT_FDCWD, name.c_str(), times, 0);
  }
}

std::vector<std::string> replace(const Scratch& s, const std::string& from, const std::string& to) {
  return {"replace", "--case", "--modify-read-only", "--with", to, from, s.tree()};
}

// The tree without the ".bak" files, and without the access times of the files runs made
// (the search of the next run reads them).
std::map<std::string, Facts> withoutBackups(std::map<std::string, Facts> facts) {
  std::erase_if(facts, [](const auto& kv) { return kv.first.ends_with(".bak"); });
  for (auto& [name, f] : facts) f.accessNs = 0;
  return facts;
}

TEST(KsrHistory, ThreeRunsAreUndoneOneByOneToTheIdenticalTree) {
  Scratch s;
  makeTree(s);
  std::vector<std::map<std::string, Facts>> states{snapshot(s.tree())};
  const char* steps[][2] = {{"OLD", "NEW"}, {"NEW", "NEWER"}, {"NEWER", "LAST"}};
  std::string err;
  for (const auto& step : steps) {
    ASSERT_EQ(ksr(s, replace(s, step[0], step[1]), &err), 0) << err;
    states.push_back(snapshot(s.tree()));
  }
  ASSERT_EQ(ksr(s, {"history"}, &err), 0) << err;
  const std::string list = readAll(s.at("out.txt"));
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 3) << list;
  EXPECT_NE(list.find("000003\t"), std::string::npos) << list;
  EXPECT_NE(list.find("\tdone\t6\tksr replace\t" + fs::canonical(s.tree()).string() +
                      "\tReplace \"NEWER\" with \"LAST\"\n"),
            std::string::npos)
      << list;
  for (int back = 2; back >= 0; --back) {
    ASSERT_EQ(ksr(s, {"undo"}, &err), 0) << err;
    EXPECT_EQ(withoutBackups(snapshot(s.tree())), withoutBackups(states[back])) << back;
  }
  EXPECT_EQ(snapshot(s.tree()), states[0]);
  EXPECT_EQ(ksr(s, {"undo"}, &err), 1) << err;
  ASSERT_EQ(ksr(s, {"history", "--json"}, &err), 0) << err;
  const std::string json = readAll(s.at("out.txt"));
  EXPECT_EQ(json.rfind("{\"run\":\"000001\",", 0), 0u) << json;
  EXPECT_NE(json.find("\"state\":\"undone\",\"files\":6,\"origin\":\"ksr replace\""),
            std::string::npos)
      << json;
  ASSERT_EQ(ksr(s, {"history", "--clear"}, &err), 0) << err;
  EXPECT_EQ(ksr(s, {"history"}, &err), 1);
}

TEST(KsrHistory, UndoKilledAtEachRenameIsFinishedByTheNextUndo) {
  if (!fs::exists("/usr/bin/strace")) GTEST_SKIP() << "strace kills ksr at a chosen call";
  Scratch s;
  makeTree(s);
  writeAll(s.tree() + "/f0.txt.$", "a file of the user's");
  writeAll(s.tree() + "/price.txt.$", "another");
  accessLater(s.tree() + "/f0.txt.$", 0);
  accessLater(s.tree() + "/price.txt.$", 0);
  const auto original = snapshot(s.tree());
  bool killedOnce = false;
  for (int when = 1; when <= 20; ++when) {
    SCOPED_TRACE("killed at rename " + std::to_string(when));
    std::string err;
    ASSERT_EQ(ksr(s, replace(s, "OLD", "NEW"), &err), 0) << err;
    const auto modified = snapshot(s.tree());
    const Proc killed = start(
        s, {"undo"}, "/", std::nullopt,
        {"/usr/bin/strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=rename,renameat,renameat2",
         "-e",
         "inject=rename,renameat,renameat2:error=EIO:signal=KILL:when=" + std::to_string(when)});
    const int status = finish(killed);
    const std::string traced = readAll(killed.errFile);
    if (when == 1 && status == 1 && traced.find("ptrace") != std::string::npos) {
      GTEST_SKIP() << "this system does not let strace trace ksr: " << traced;
    }
    for (const auto& [name, facts] : snapshot(s.tree())) {
      if (name.ends_with(".bak") || fs::path(name).filename().string().starts_with(".ksr")) {
        continue;
      }
      EXPECT_TRUE(facts == original.at(name) || facts == modified.at(name)) << name;
    }
    const int next = ksr(s, {"undo"}, &err);
    EXPECT_TRUE(next == 0 || (status == 0 && next == 1)) << next << err;
    EXPECT_EQ(snapshot(s.tree()), original) << "after the next undo: " << err;
    if (status == 0) break;  // the undo ran past its last rename
    killedOnce = true;
  }
  EXPECT_TRUE(killedOnce);
}

TEST(KsrHistory, UsersBackupIsKeptThroughRunAndUndo) {
  Scratch s;
  makeTree(s);
  writeAll(s.tree() + "/f0.txt.bak", "notes: my only older copy");
  accessLater(s.tree() + "/f0.txt.bak", 0);
  const auto original = snapshot(s.tree());
  std::string err;
  ASSERT_EQ(ksr(s, replace(s, "OLD", "NEW"), &err), 0) << err;
  EXPECT_NE(err.find("was kept"), std::string::npos) << err;
  EXPECT_EQ(readAll(s.tree() + "/f0.txt.bak"), "notes: my only older copy");
  ASSERT_EQ(ksr(s, replace(s, "NEW", "NEWER"), &err), 0) << err;
  EXPECT_EQ(readAll(s.tree() + "/f0.txt.bak"), "notes: my only older copy");
  ASSERT_EQ(ksr(s, {"undo"}, &err), 0) << err;
  ASSERT_EQ(ksr(s, {"undo"}, &err), 0) << err;
  EXPECT_EQ(snapshot(s.tree()), original);
}

TEST(KsrHistory, JournalOfAnUnknownFormatIsRefused) {
  Scratch s;
  writeAll(s.tree() + "/a.txt", "edited after the run\n");
  writeAll(s.tree() + "/a.txt.bak", "older\n");
  fs::create_directories(s.home() + "/data/Kestrix Search & Replace");
  const std::string journal = s.home() + "/data/Kestrix Search & Replace/Undo.tmp";
  for (const std::string& head :
       {std::string("KSR-UNDO 3\n"), std::string("KSR-UNDQ 2\n"), std::string()}) {
    writeAll(journal, head + s.tree() + "/a.txt" + std::string(1, '\0'));
    std::string err;
    EXPECT_EQ(ksr(s, {"undo"}, &err), 2) << head;
    EXPECT_NE(err.find("unknown format or a damaged header"), std::string::npos) << err;
    EXPECT_EQ(readAll(s.tree() + "/a.txt"), "edited after the run\n");
    EXPECT_EQ(readAll(s.tree() + "/a.txt.bak"), "older\n");
  }
}

}  // namespace
