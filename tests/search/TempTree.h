// Test helper: a fresh folder tree per test, removed when the test ends, with helpers to
// create files (content, size, time) inside it.
#pragma once

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace kestrix::testing {

class TempTree {
 public:
  TempTree() {
    const char* base = std::getenv("KESTRIX_TEST_TMP");
    std::filesystem::path root = base ? base : std::filesystem::temp_directory_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Outside a test (a suite's shared tree) the process id keeps parallel runs apart.
    std::string name = info ? std::string("search-") + info->test_suite_name() + "-" + info->name()
                            : "search-suite-" + std::to_string(::getpid());
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    path_ = (root / name).string();
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempTree() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& path() const { return path_; }
  std::string at(std::string_view relative) const { return path_ + "/" + std::string(relative); }

  // Writes `bytes` to the relative path, creating its folders; returns the full path.
  std::string write(std::string_view relative, std::string_view bytes) const {
    const std::string full = at(relative);
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return full;
  }
  std::string folder(std::string_view relative) const {
    std::filesystem::create_directories(at(relative));
    return at(relative);
  }
  // Sets the last-write time of the relative path (seconds since the epoch).
  void touch(std::string_view relative, std::int64_t epochSec) const {
    struct timeval times[2] = {{static_cast<time_t>(epochSec), 0},
                               {static_cast<time_t>(epochSec), 0}};
    ::utimes(at(relative).c_str(), times);
  }

 private:
  std::string path_;
};

}  // namespace kestrix::testing
