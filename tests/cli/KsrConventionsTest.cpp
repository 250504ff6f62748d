// The console conventions of `ksr` that scripts rely on: a missing FOLDER is an error,
// NUL-ended and JSON output for awkward names, terminal colours, erase-backups.
#include <gtest/gtest.h>

#include <filesystem>

#include "KsrRun.h"

namespace {

using kestrix::testing::ksr;
using kestrix::testing::RunResult;
using kestrix::testing::TempTree;

TEST(KsrConventions, Table) {
  TempTree tree;
  tree.write("odd/tab\tand\nfeed.txt", "beta\n");
  tree.write("bad/x\xff.txt", "beta beta\n");
  tree.write("w/a.txt", "alpha beta\n");
  tree.write("w/a.txt.bak", "old\n");
  tree.write("w/sub/b.BAK", "old\n");
  tree.write("w/sub/keep.bak.txt", "new\n");
  tree.write("t.tbl", "");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  };
  const std::string red = "\033[01;31m", green = "\033[32m", off = "\033[m";
  const Case cases[] = {
      // FOLDER that is missing or not a folder, for every command that takes one.
      {{"find", "beta", "nowhere"}, 2, "", "nowhere: No such folder\n"},
      {{"find", "beta", "w/a.txt"}, 2, "", "w/a.txt: No such folder\n"},
      {{"replace", "--with", "x", "beta", "nowhere"}, 2, "", "nowhere: No such folder\n"},
      {{"batch", "t.tbl", "nowhere"}, 2, "", "nowhere: No such folder\n"},
      {{"erase-backups", "nowhere"}, 2, "", "nowhere: No such folder\n"},
      // NUL-ended names and JSON records keep a TAB, a line feed and bad UTF-8 intact.
      {{"find", "-0", "beta", "odd"}, 0, std::string("odd/tab\tand\nfeed.txt\0", 21), ""},
      {{"find", "--null", "", "bad"}, 0, std::string("bad/x\xff.txt\0", 11), ""},
      {{"find", "--json", "beta", "odd"},
       0,
       "{\"path\":\"odd/tab\\tand\\nfeed.txt\",\"found\":[1],\"result\":null}\n",
       ""},
      {{"find", "--json", "--type", "or", "beta zeta", "bad"},
       0,
       "{\"path\":\"bad/x\xEF\xBF\xBD.txt\",\"path_bytes\":[98,97,100,47,120,255,46,116,120,116],"
       "\"found\":[2,0],\"result\":null}\n",
       ""},
      {{"find", "--json", "--lines", "alpha", "w"},
       0,
       "{\"path\":\"w/a.txt\",\"found\":[1],\"result\":null,\"lines\":[\"     File:  a.txt"
       "      Path:  w\",\" line 1: alpha beta\"]}\n",
       ""},
      {{"find", "--json", "--list", "beta", "w"},
       2,
       "",
       "ksr: give only one of --list, --json and -0 (see ksr --help)\n"},
      // Colours: only when asked for or on a terminal (the test's pipe is none).
      {{"find", "--lines", "--color=always", "beta", "w"},
       0,
       "w/a.txt\t1\n\033[35m     File:  a.txt      Path:  w" + off + "\n " + green + "line 1" +
           off + ": alpha " + red + "beta" + off + "\n",
       ""},
      {{"find", "--lines", "--color", "auto", "beta", "w"},
       0,
       "w/a.txt\t1\n     File:  a.txt      Path:  w\n line 1: alpha beta\n",
       ""},
      {{"find", "--color", "purple", "beta", "w"},
       2,
       "",
       "ksr: bad colour mode \"purple\" (auto, always, never) (see ksr --help)\n"},
      // erase-backups: top folder only (to the trash), then the rest (deleted), then
      // nothing is left; the count goes to standard error.
      {{"erase-backups", "--no-subfolders", "w"}, 0, "", "1 backup file moved to the trash\n"},
      {{"erase-backups", "--case", "w"},
       2,
       "",
       "ksr: unknown option --case (see ksr erase-backups --help)\n"},
      {{"erase-backups", "--delete", "w/"}, 0, "", "1 backup file removed\n"},
      {{"erase-backups", "w"}, 0, "", "0 backup files moved to the trash\n"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    SCOPED_TRACE(shown);
    const RunResult r = ksr(tree, c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
  }
  EXPECT_TRUE(std::filesystem::exists(tree.at("w/a.txt")));
  EXPECT_TRUE(std::filesystem::exists(tree.at("w/sub/keep.bak.txt")));
  EXPECT_FALSE(std::filesystem::exists(tree.at("w/sub/b.BAK")));
}

// The manual page is made from --help, so everything above must be named there.
TEST(KsrConventions, NamedInHelp) {
  TempTree tree;
  const RunResult r = ksr(tree, {"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* word : {"-0, --null", "--json", "--color WHEN", "erase-backups",
                           "No such folder", "are not quoted"}) {
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  }
}

}  // namespace
