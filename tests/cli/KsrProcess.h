// Test helpers: the real `ksr` started in a scratch folder with a private data folder, its
// output in files; waited for, or killed.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kestrix::testing {

namespace fs = std::filesystem;

inline std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeAll(const std::string& path, const std::string& bytes) {
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

constexpr uid_t kNobody = 65534;

struct Proc {
  pid_t pid = -1;
  std::string outFile, errFile;
};

// Starts ksr with `args` in `cwd`, its output in files; `fileLimit` caps the size of any
// file it writes (RLIMIT_FSIZE). With `tracer`, ksr runs under that command (its arguments
// first, then ksr's). `asNobody` runs it as user and group 65534 (root only).
inline Proc start(const Scratch& s, const std::vector<std::string>& args, const std::string& cwd,
                  std::optional<rlim_t> fileLimit = std::nullopt,
                  const std::vector<std::string>& tracer = {}, bool asNobody = false) {
  Proc p{-1, s.at("out.txt"), s.at("err.txt")};
  p.pid = ::fork();
  if (p.pid == 0) {
    if (::chdir(cwd.c_str()) != 0) ::_exit(127);
    ::setenv("HOME", s.home().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (s.home() + "/data").c_str(), 1);
    ::setenv("LC_ALL", "C", 1);
    ::dup2(::open(p.outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    ::dup2(::open(p.errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    // The leak checker of the test build cannot run under a tracer.
    if (!tracer.empty()) ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    if (fileLimit) {
      const rlimit limit{*fileLimit, *fileLimit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (asNobody && (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                     ::setresuid(kNobody, kNobody, kNobody) != 0)) {
      ::_exit(126);
    }
    std::vector<char*> argv;
    for (const auto& a : tracer) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(const_cast<char*>(KSR_EXECUTABLE));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return p;
}

// Waits for the process; its exit status, or -signal when a signal ended it.
inline int finish(const Proc& p) {
  int status = 0;
  ::waitpid(p.pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

inline int ksr(const Scratch& s, const std::vector<std::string>& args, std::string* err = nullptr,
               const std::string& cwd = "/", std::optional<rlim_t> fileLimit = std::nullopt) {
  const Proc p = start(s, args, cwd, fileLimit);
  const int status = finish(p);
  if (err) *err = readAll(p.errFile);
  return status;
}

}  // namespace kestrix::testing
