// The real `ksr replace` and `ksr undo` under an unlucky user: killed at random points,
// stopped by signals, a closed output pipe, a file-size limit, and bad replacement input.
// After every interruption `ksr undo` must give back the tree as it was, byte for byte,
// modes and owners included.
#include <fcntl.h>
#include <grp.h>
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

namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A scratch folder with the tree to change and a private data folder for the journal.
class Scratch {
 public:
  Scratch() {
    const char* base = std::getenv("KESTRIX_TEST_TMP");
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::path(base ? base : fs::temp_directory_path().string()) /
            (std::string("ksr-") + info->name() + "-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "tree");
    fs::create_directories(root_ / "home");
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string tree() const { return (root_ / "tree").string(); }
  std::string home() const { return (root_ / "home").string(); }
  std::string at(const std::string& name) const { return (root_ / name).string(); }

 private:
  fs::path root_;
};

struct Proc {
  pid_t pid = -1;
  std::string outFile, errFile;
};

constexpr uid_t kNobody = 65534;

// Starts ksr with `args` in `cwd`, its output in files; `fileLimit` caps the size of any
// file it writes (RLIMIT_FSIZE); `asNobody` runs it as user and group 65534 (root only).
Proc start(const Scratch& s, const std::vector<std::string>& args, const std::string& cwd,
           std::optional<rlim_t> fileLimit = std::nullopt, bool asNobody = false) {
  Proc p{-1, s.at("out.txt"), s.at("err.txt")};
  p.pid = ::fork();
  if (p.pid == 0) {
    if (::chdir(cwd.c_str()) != 0) ::_exit(127);
    ::setenv("HOME", s.home().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (s.home() + "/data").c_str(), 1);
    ::setenv("LC_ALL", "C", 1);
    ::dup2(::open(p.outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    ::dup2(::open(p.errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    if (fileLimit) {
      const rlimit limit{*fileLimit, *fileLimit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (asNobody && (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                     ::setresuid(kNobody, kNobody, kNobody) != 0)) {
      ::_exit(126);
    }
    std::vector<char*> argv{const_cast<char*>(KSR_EXECUTABLE)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(KSR_EXECUTABLE, argv.data());
    ::_exit(127);
  }
  return p;
}

// Waits for the process; its exit status, or -signal when a signal ended it.
int finish(const Proc& p) {
  int status = 0;
  ::waitpid(p.pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

int ksr(const Scratch& s, const std::vector<std::string>& args, std::string* err = nullptr,
        const std::string& cwd = "/", std::optional<rlim_t> fileLimit = std::nullopt) {
  const Proc p = start(s, args, cwd, fileLimit);
  const int status = finish(p);
  if (err) *err = readAll(p.errFile);
  return status;
}

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

namespace {

// As an ordinary user, in a folder that user may write: a file the user may not write is
// read-only to the run, and a file whose owner or group the user cannot keep fails instead
// of passing to the user. Root's files stay root's.
TEST(KsrReplaceSafety, FilesOfOtherUsersKeepTheirOwners) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run ksr as another user";
  Scratch s;
  struct Case {
    const char* name;
    unsigned mode;
    uid_t uid;
    gid_t gid;
    const char* reason;  // nullptr: modified
  };
  const Case cases[] = {
      {"root-0644.txt", 0644, 0, 0, "read-only file"},
      {"root-0666.txt", 0666, 0, 0, "its owner cannot be kept"},
      {"group-root.txt", 0664, kNobody, 0, "its group cannot be kept"},
      {"own.txt", 0640, kNobody, kNobody, nullptr},
  };
  for (const Case& c : cases) {
    const std::string path = s.tree() + "/" + c.name;
    writeAll(path, "OLD\n");
    ASSERT_EQ(::chown(path.c_str(), c.uid, c.gid), 0);
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
  }
  for (const std::string& folder : {s.tree(), s.home()}) {
    ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
  }
  std::string err;
  const Proc p = start(s, {"replace", "--with", "NEW", "OLD", s.tree()}, "/", std::nullopt, true);
  EXPECT_EQ(finish(p), 3);
  err = readAll(p.errFile);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = s.tree() + "/" + c.name;
    struct ::stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, c.uid);
    EXPECT_EQ(st.st_gid, c.gid);
    EXPECT_EQ(st.st_mode & 07777, c.mode);
    EXPECT_EQ(readAll(path), c.reason ? "OLD\n" : "NEW\n");
    if (c.reason) {
      EXPECT_NE(err.find(path + ": " + c.reason), std::string::npos) << err;
      EXPECT_FALSE(fs::exists(path + ".bak"));
    }
  }
  EXPECT_TRUE(temporaries(s.tree()).empty());
}

}  // namespace

namespace {

// Two runs and a log writer on one tree. The first run is held in its disk flush (strace
// delays the flush), after it read and staged both files: meanwhile a second run fails
// them as "in use by another run", and a writer appends to one of them. The first run then
// replaces only the file no one touched and leaves the appended one as its writer made it.
TEST(KsrReplaceSafety, OtherRunsAndWritersDuringTheFlushLoseNothing) {
  if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is needed";
  Scratch s;
  writeAll(s.tree() + "/a.txt", "OLD\n");
  writeAll(s.tree() + "/log.txt", "OLD\n");
  const std::string env =
      "cd / && HOME='" + s.home() + "' XDG_DATA_HOME='" + s.home() + "/data' LC_ALL=C ";
  const std::string first = env +
                            // The leak checker cannot run under a tracer.
                            "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o /dev/null "
                            "-e trace=syncfs "
                            "-e inject=syncfs:delay_enter=3000000 " KSR_EXECUTABLE
                            " replace --with NEW OLD '" +
                            s.tree() + "' 2>'" + s.at("first.err") + "' >/dev/null";
  int firstStatus = -1;
  std::thread run([&] { firstStatus = std::system(first.c_str()); });
  // Both files and their backups staged: the first run is in its flush.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (temporaries(s.tree()).size() < 4 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(temporaries(s.tree()).size(), 4u);
  std::ofstream(s.tree() + "/log.txt", std::ios::app) << "appended\n";
  std::string err;
  EXPECT_EQ(ksr(s, {"replace", "--with", "SECOND", "OLD", s.tree()}, &err), 3);
  run.join();
  EXPECT_NE(err.find(s.tree() + "/a.txt: in use by another run"), std::string::npos) << err;
  EXPECT_NE(err.find(s.tree() + "/log.txt: in use by another run"), std::string::npos) << err;
  const std::string firstErr = readAll(s.at("first.err"));
  EXPECT_EQ(WEXITSTATUS(firstStatus), 3) << firstErr;
  EXPECT_EQ(firstErr, s.tree() + "/log.txt: changed during the run\n");
  EXPECT_EQ(readAll(s.tree() + "/a.txt"), "NEW\n");
  EXPECT_EQ(readAll(s.tree() + "/log.txt"), "OLD\nappended\n");
  EXPECT_FALSE(fs::exists(s.tree() + "/log.txt.bak"));
  EXPECT_TRUE(temporaries(s.tree()).empty());
}

}  // namespace
