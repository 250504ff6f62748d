// Where this user's side files live: the data folder, or memory without a home folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "app/UserSideFiles.h"

namespace kestrix::app {
namespace {

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(UserSideFiles, LiveInTheDataFolderOrInMemoryWithoutAHome) {
  const char* tmp = std::getenv("KESTRIX_TEST_TMP");
  const std::filesystem::path base = std::filesystem::path(tmp ? tmp : "/tmp") / "user-side-files";
  std::filesystem::remove_all(base);
  {
    const ScopedEnv data("XDG_DATA_HOME", base.c_str());
    const std::unique_ptr<SideFiles> files = userSideFiles();
    writeMemo(*files, "A.tmp", "text");
    EXPECT_TRUE(std::filesystem::exists(base / "Kestrix Search & Replace" / "A.tmp"));
  }
  {
    const ScopedEnv data("XDG_DATA_HOME", nullptr);
    const ScopedEnv home("HOME", nullptr);
    const std::unique_ptr<SideFiles> files = userSideFiles();
    EXPECT_NE(dynamic_cast<MemorySideFiles*>(files.get()), nullptr);
    writeMemo(*files, "A.tmp", "kept for this run");
    EXPECT_EQ(readMemo(*files, "A.tmp"), "kept for this run");
  }
  std::filesystem::remove_all(base);
}

}  // namespace
}  // namespace kestrix::app
