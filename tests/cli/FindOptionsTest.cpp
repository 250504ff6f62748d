// Parsing of the find options into a SearchRequest.
#include <gtest/gtest.h>

#include "../search/TempTree.h"
#include "cli/FindOptions.h"

namespace kestrix::cli {
namespace {

using search::QueryType;

TEST(FindOptions, ValuesReachTheRequest) {
  const FindOptions o = parseFindArguments(
      {"--type", "engine", "--case", "--whole-words", "--masks", "*.c;*.h", "--no-subfolders",
       "--max-size", "2MB", "--between", "2024-02-29", "2024-03-01", "-x +y", "/tmp"});
  const search::SearchRequest& r = o.request;
  EXPECT_EQ(r.queryType, QueryType::SearchEngine);
  EXPECT_TRUE(r.caseSensitive);
  EXPECT_TRUE(r.wholeWords);
  EXPECT_EQ(r.masksText, "*.c;*.h");
  EXPECT_FALSE(r.includeSubfolders);
  ASSERT_TRUE(r.sizeFilter.has_value());
  EXPECT_EQ(r.sizeFilter->kind, search::SizeFilter::Kind::Maximum);
  EXPECT_EQ(r.sizeFilter->limitBytes, 2000000);
  EXPECT_EQ(r.sizeFilter->unitBytes, search::kMegabyte);
  ASSERT_TRUE(r.dateFilter.has_value());
  EXPECT_EQ(r.dateFilter->minDate.day, 29);
  EXPECT_EQ(r.queryText, "-x +y");
  EXPECT_EQ(r.folder, "/tmp");

  const FindOptions m = parseFindArguments({"--type", "regex", "a\r\nb\nc", "--dot-all",
                                            "--extended", "--each-line", "--min-size", "7"});
  EXPECT_EQ(m.request.queryLines, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(m.request.folder, ".");
  EXPECT_EQ(m.request.sizeFilter->limitBytes, 7000);
  EXPECT_EQ(m.request.sizeFilter->unitBytes, search::kKilobyte);
  EXPECT_TRUE(m.request.dotMatchesLineSeparators && m.request.ignoreRegexWhitespace &&
              m.request.searchEachLine);

  const FindOptions n =
      parseFindArguments({"--newer-than", "1.5", "--no-trim-leading", "--no-trim-trailing",
                          "--lines", "--list", "--", "--x"});
  EXPECT_DOUBLE_EQ(n.request.dateFilter->days, 1.5);
  EXPECT_FALSE(n.request.ignoreLeadingSpaces || n.request.ignoreTrailingSpaces);
  EXPECT_TRUE(n.showLines && n.listTable);
  EXPECT_EQ(n.request.queryText, "--x");
  EXPECT_EQ(n.request.legacyCodePage, "Windows-1252");
  EXPECT_EQ(parseFindArguments({"--encoding", "koi8-r", "x"}).request.legacyCodePage, "KOI8-R");
}

TEST(FindOptions, ListFilesAndQueryFile) {
  kestrix::testing::TempTree tree;
  tree.write("dirs", "/a\n\n  /b  \n");
  tree.write("files", "*.o\r\n");
  tree.write("query", "first\r\nsecond\n");
  const FindOptions o = parseFindArguments({"--ignore-subfolders-too", "--ignore-dirs",
                                            tree.at("dirs"), "--ignore-files", tree.at("files"),
                                            "--query-file", tree.at("query"), "/src"});
  ASSERT_TRUE(o.request.ignoredFolders.has_value());
  EXPECT_TRUE(o.request.ignoredFolders->ignoreSubfolders);
  EXPECT_EQ(o.request.ignoredFolders->lines, (std::vector<std::string>{"/a", "", "  /b  "}));
  EXPECT_EQ(*o.request.ignoredFiles, (std::vector<std::string>{"*.o"}));
  EXPECT_EQ(o.request.queryText, "first");
  EXPECT_EQ(o.request.folder, "/src");
  const FindOptions lines =
      parseFindArguments({"--type", "multiline", "--query-file", tree.at("query")});
  EXPECT_EQ(lines.request.queryLines, (std::vector<std::string>{"first", "second"}));
}

TEST(FindOptions, BadCommandLinesAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--type", "fuzzy", "x"},
      {"--masks"},
      {"--min-size", "12GB", "x"},
      {"--min-size", "KB", "x"},
      {"--min-size", "1", "--max-size", "2", "x"},
      {"--between", "2023-02-29", "2023-03-01", "x"},
      {"--between", "2023-1-01", "2023-03-01", "x"},
      {"--newer-than", "-1", "x"},
      {"--newer-than", "abc", "x"},
      {"--unknown", "x"},
      {"x", "folder", "extra"},
      {"--ignore-dirs", "/nonexistent/list", "x"},
      {"--threads", "0", "x"},
      {"--threads", "2x", "x"},
      {"--threads", "99999", "x"},
      {"--encoding", "UTF-7", "x"},
  };
  EXPECT_EQ(parseFindArguments({"--threads", "8", "x"}).threads, 8u);
  EXPECT_EQ(parseFindArguments({"x"}).threads, 0u);  // one per core
  for (const auto& args : cases) {
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    SCOPED_TRACE(shown);
    EXPECT_THROW(parseFindArguments(args), UsageError);
  }
}

}  // namespace
}  // namespace kestrix::cli
