// End-to-end runs of `ksr find`: output format, exit statuses and error messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "KsrRun.h"

namespace {

using kestrix::testing::ksr;
using kestrix::testing::RunResult;
using kestrix::testing::TempTree;

TEST(KsrFind, OutputAndExitStatus) {
  TempTree tree;
  tree.write("w/a.txt", "alpha beta\nbeta\n");
  tree.write("w/b.log", "gamma\n");
  tree.write("e/koi.txt", "\xD0\xD2\xC9\xD7\xC5\xD4\n");  // KOI8-R
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string errStart;
  };
  const Case cases[] = {
      {{"find", "--masks", "*.txt", "BETA", "w"}, 0, "w/a.txt\t2\n", ""},
      {{"find", "--type", "or", "--masks", "*.txt", "beta alpha", "w/"}, 0, "w/a.txt\t2, 1\n", ""},
      {{"find", "--case", "BETA", "w"}, 1, "", ""},
      {{"find", "--masks", "*.log", "", "w"}, 0, "w/b.log\n", ""},
      {{"find", "--type", "engine", "\"x", "w"}, 2, "", "Find: Missing   \"\n"},
      {{"find", "--type", "regex", "a(", "w"}, 2, "", "Regular Expression: Error: "},
      {{"find", "x", ""}, 2, "", "Find: Please specify the Path\n"},
      {{"find", "--masks", " ", "x", "w"}, 2, "", "Find: Please specify the Mask\n"},
      {{"find", "--bogus", "x"}, 2, "", "ksr: unknown option --bogus"},
      {{"frobnicate"}, 2, "", "ksr: unknown command"},
      {{"find", "x", "missing-folder"}, 2, "", "missing-folder: No such folder\n"},
      {{"find", "--case", "\xD0\xBF\xD1\x80\xD0\xB8", "e"}, 1, "", ""},
      {{"find", "--case", "--encoding", "koi8-r", "\xD0\xBF\xD1\x80\xD0\xB8", "e"},
       0,
       "e/koi.txt\t1\n",
       ""},
      {{"find", "--encoding", "nope", "x", "e"}, 2, "", "ksr: unknown encoding \"nope\" (one of"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    SCOPED_TRACE(shown);
    const RunResult r = ksr(tree, c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart) << r.err;
  }
}

TEST(KsrFind, LinesListHelpAndVersion) {
  TempTree tree;
  tree.write("w/a.txt", "alpha beta\nbeta\n");
  RunResult r = ksr(tree, {"find", "--lines", "alpha", "w"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "w/a.txt\t1\n     File:  a.txt      Path:  w\n line 1: alpha beta\n");

  r = ksr(tree, {"find", "--list", "beta", "w"});
  EXPECT_EQ(r.status, 0);
  ASSERT_NE(r.out.find("\r\n"), std::string::npos);
  const std::string header = r.out.substr(0, r.out.find("\r\n"));
  EXPECT_EQ(header.rfind("Name   Path  Found  Attributes  Time", 0), 0u) << header;
  EXPECT_NE(r.out.find("a.txt  w         2  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0.016 KB  TXT File  \r\n"), std::string::npos) << r.out;

  r = ksr(tree, {"find", "--report", "r.htm", "<b>", "w"});
  EXPECT_EQ(r.status, 1);
  FILE* page = std::fopen(tree.at("r.htm").c_str(), "rb");
  ASSERT_NE(page, nullptr);
  char buffer[8192];
  const std::string html(buffer, std::fread(buffer, 1, sizeof buffer, page));
  std::fclose(page);
  EXPECT_NE(html.find("\r\nQuery: <code>&lt;b&gt;</code>\r\n"), std::string::npos) << html;
  EXPECT_TRUE(html.ends_with("</body>\r\n</html>\r\n"));
  r = ksr(tree, {"find", "--report", tree.at("no/such/r.htm"), "beta", "w"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "Create Report: Cannot open file " + tree.at("no/such/r.htm") + "\n");

  r = ksr(tree, {"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* option : {"--type",
                             "--case",
                             "--whole-words",
                             "--masks",
                             "--no-subfolders",
                             "--min-size",
                             "--max-size",
                             "--newer-than",
                             "--between",
                             "--ignore-dirs",
                             "--ignore-files",
                             "--ignore-subfolders-too",
                             "--no-trim-leading",
                             "--no-trim-trailing",
                             "--dot-all",
                             "--extended",
                             "--each-line",
                             "--query-file",
                             "--lines",
                             "--list",
                             "--report",
                             "--version"}) {
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
  }
  r = ksr(tree, {"--version"});
  EXPECT_EQ(r.out.rfind("ksr (Kestrix Search & Replace) ", 0), 0u);
}

}  // namespace

namespace {

// Back-references in nested repeats on a 40-character line: find ends the run at once with
// the message, replace fails the file and leaves it as it was; neither runs for seconds.
TEST(KsrFind, AnExpressionTooComplexForTheTextEndsQuickly) {
  TempTree tree;
  const std::string line = std::string(40, 'a') + "bz\n";
  tree.write("w/a.txt", line);
  const std::string message = "Error: The expression is too complex for this text";
  for (const char* expression : {"^(a+)+\\1z", "(a|aa)+\\1z"}) {
    SCOPED_TRACE(expression);
    const auto start = std::chrono::steady_clock::now();
    const RunResult found = ksr(tree, {"find", "--type", "regex", expression, "w"});
    EXPECT_EQ(found.status, 2);
    EXPECT_EQ(found.err, "Regular Expression: " + message + "\n");
    const RunResult replaced =
        ksr(tree, {"replace", "--type", "regex", "--with", "x", expression, "w"});
    EXPECT_NE(replaced.err.find(message), std::string::npos) << replaced.err;
    std::ifstream kept(tree.at("w/a.txt"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), line);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  }
}

}  // namespace

namespace {

// One file far larger than a whole-text search may hold (2.2 GB, sparse) is skipped with its
// reason; the small files around it are all listed and the run ends normally.
TEST(KsrFind, AHugeFileIsSkippedAndTheRunGoesOn) {
  TempTree tree;
  for (const char* name : {"w/a.txt", "w/m.txt", "w/z.txt"}) tree.write(name, "xy\n");
  tree.write("w/huge.txt", "");
  std::filesystem::resize_file(tree.at("w/huge.txt"), 2'200'000'000);
  const RunResult r = ksr(tree, {"find", "--type", "regex", "--dot-all", "x.", "w"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<std::string> listed;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) listed.push_back(line);
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"w/a.txt\t1", "w/m.txt\t1", "w/z.txt\t1"}));
  EXPECT_NE(r.err.find("huge.txt is too large for these search conditions"), std::string::npos)
      << r.err;
}

}  // namespace
