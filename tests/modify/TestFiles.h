// Test helpers: a fresh temporary folder per test, and whole-file reads and writes.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace kestrix::modify::testing {

// A folder removed with everything in it when the test ends.
class TempFolder {
 public:
  TempFolder() {
    const char* base = std::getenv("KESTRIX_TEST_TMP");
    std::filesystem::path root = base ? base : std::filesystem::temp_directory_path().string();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("modify-") + (info ? info->test_suite_name() : "x") + "-" +
                       (info ? info->name() : "y");
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    static int serial = 0;
    path_ = root / (name + "-" + std::to_string(++serial));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string path() const { return path_.string(); }
  std::string file(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void writeBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline unsigned modeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

inline bool fileExists(const std::string& path) {
  return std::filesystem::exists(path);
}

}  // namespace kestrix::modify::testing
