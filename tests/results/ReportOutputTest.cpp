// Pages written into the data folder, the lines a context page quotes, and the report's
// status and browser texts.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "results/ReportOutput.h"

namespace kestrix::results {
namespace {

namespace fs = std::filesystem;

// A temporary folder that is XDG_DATA_HOME while it lives.
class DataHome {
 public:
  DataHome() {
    char name[] = "/tmp/kestrix-report-XXXXXX";
    root_ = ::mkdtemp(name);
    const char* old = ::getenv("XDG_DATA_HOME");
    if (old != nullptr) old_ = old;
    ::setenv("XDG_DATA_HOME", root_.c_str(), 1);
  }
  ~DataHome() {
    if (old_.empty()) {
      ::unsetenv("XDG_DATA_HOME");
    } else {
      ::setenv("XDG_DATA_HOME", old_.c_str(), 1);
    }
    fs::remove_all(root_);
  }
  const std::string& root() const { return root_; }

 private:
  std::string root_;
  std::string old_;
};

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ReportOutput, PagesGoToTheDataFolder) {
  DataHome home;
  const std::string folder = home.root() + "/Kestrix Search & Replace";
  const std::string path = writeDataPage("Report.htm", "<html>1</html>");
  EXPECT_EQ(path, folder + "/Report.htm");
  EXPECT_EQ(contents(path), "<html>1</html>");
  EXPECT_EQ(writeDataPage("Report.htm", "2"), path);  // written again over the old page
  EXPECT_EQ(contents(path), "2");

  // A data folder that cannot be made (a file stands in its place): the message names it.
  fs::remove_all(folder);
  std::ofstream(folder) << "x";
  try {
    writeDataPage("Browse.htm", "page");
    ADD_FAILURE() << "no error";
  } catch (const PageError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + folder + "/Browse.htm");
  }
}

TEST(ReportOutput, FileLinesEndAtTheFirstNul) {
  DataHome home;
  const std::string path = home.root() + "/quoted.txt";
  const char bytes[] = "one\r\ntwo\rthree\n\nfour\0five\n";
  std::ofstream(path, std::ios::binary) << std::string(bytes, sizeof bytes - 1);
  EXPECT_EQ(fileLines(path), (std::vector<std::string>{"one", "two", "three", "", "four"}));
  EXPECT_THROW(fileLines(home.root() + "/missing.txt"), std::exception);
}

TEST(ReportOutput, Texts) {
  EXPECT_EQ(reportProgressText(0, 3), "Processed:  0% files");
  EXPECT_EQ(reportProgressText(2, 3), "Processed:  66% files");
  EXPECT_EQ(noBrowserText("/d/Report.htm"),
            "No web browser could be started to show the page.\nIt was saved as /d/Report.htm");
}

}  // namespace
}  // namespace kestrix::results
