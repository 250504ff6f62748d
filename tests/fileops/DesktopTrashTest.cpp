// The console's trash: files land in "files" with their info beside them, taken names get
// a number, awkward bytes in the path are encoded, and a failed move leaves no info behind.
#include "fileops/DesktopTrash.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kestrix::fileops {
namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

TEST(DesktopTrash, MovesFilesWithTheirInfoAndNumbersTakenNames) {
  const char* base = std::getenv("KESTRIX_TEST_TMP");
  const fs::path root =
      fs::path(base ? base : fs::temp_directory_path().string()) / "DesktopTrashTest";
  fs::remove_all(root);
  const fs::path trash = root / "home/Trash";
  const struct {
    const char* relative;
    const char* trashedAs;
    const char* encoded;
  } cases[] = {
      {"tree/a.txt.bak", "a.txt.bak", "tree/a.txt.bak"},
      {"tree/sub/a.txt.bak", "a.txt.bak.2", "tree/sub/a.txt.bak"},
      {"tree/50% off & more.bak", "50% off & more.bak", "tree/50%25%20off%20%26%20more.bak"}};
  for (const auto& c : cases) {
    const fs::path file = root / c.relative;
    writeText(file, c.relative);
    ASSERT_TRUE(moveToTrash(file.string(), trash.string())) << c.relative;
    EXPECT_FALSE(fs::exists(file)) << c.relative;
    EXPECT_EQ(readText(trash / "files" / c.trashedAs), c.relative);
    const std::string info = readText(trash / "info" / (std::string(c.trashedAs) + ".trashinfo"));
    EXPECT_EQ(
        info.rfind("[Trash Info]\nPath=" + root.string() + "/" + c.encoded + "\nDeletionDate=", 0),
        0u)
        << info;
  }
  // A file that is gone: nothing moved, no info file left behind.
  EXPECT_FALSE(moveToTrash((root / "tree/missing.bak").string(), trash.string()));
  EXPECT_FALSE(moveToTrash("relative.bak", trash.string()));
  EXPECT_EQ(std::distance(fs::directory_iterator(trash / "info"), fs::directory_iterator()), 3);
  fs::remove_all(root);
}

}  // namespace
}  // namespace kestrix::fileops
