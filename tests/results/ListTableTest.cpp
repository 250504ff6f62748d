// The ".lst" table: widths, alignment, the Undid rule, the command-line header.
#include "../search/TempTree.h"
#include "PageTestUtil.h"
#include "results/ResultTable.h"

namespace kestrix::results {
namespace {

using testing::expectLines;

ResultTable sample(bool withFound) {
  ResultTable t;
  t.captions = {"Name", "Path", "Found", "Attributes", "Time", "Size", "Type"};
  t.rows = {{"a.txt", "/tmp/x", "12", "R", "1/2/26 10:00:00", "12.3 KB", "TXT File"},
            {"bb.c", "/tmp", "3", "", "1/2/26", "0.050 KB", "C File"}};
  if (!withFound) {
    t.captions.erase(t.captions.begin() + 2);
    for (auto& r : t.rows) r.erase(r.begin() + 2);
  }
  return t;
}

TEST(ListTable, ShortNamesPadToTheCaptionAndSizeAndFoundAlignRight) {
  expectLines(listFileText(sample(true)),
              {"Name   Path    Found  Attributes  Time             Size      Type      ",
               "a.txt  /tmp/x     12  R           1/2/26 10:00:00   12.3 KB  TXT File  ",
               "bb.c   /tmp        3              1/2/26           0.050 KB  C File    "});
}

TEST(ListTable, WithoutFoundSizeStillAlignsRight) {
  expectLines(listFileText(sample(false)),
              {"Name   Path    Attributes  Time             Size      Type      ",
               "a.txt  /tmp/x  R           1/2/26 10:00:00   12.3 KB  TXT File  ",
               "bb.c   /tmp                1/2/26           0.050 KB  C File    "});
}

TEST(ListTable, SeveralWordCountsAlignLeftAndUndidLosesItsSixthCharacter) {
  ResultTable t;
  t.captions = {"Name", "Path", "Found", "Result"};
  t.rows = {{"a", "/p", "1, 2", "Undid: Modified"}, {"b", "/p", "10, 0", "Found"}};
  expectLines(listFileText(t),
              {"Name  Path  Found  Result           ", "a     /p    1, 2   Undid Modified   ",
               "b     /p    10, 0  Found            "});
}

TEST(ListTable, NamesBeyondAsciiAlignByDisplayWidthAndKeepTheirBytes) {
  ResultTable t;
  t.captions = {"Name", "Path", "Size"};
  t.rows = {{"Gr\xC3\xB6\xC3\x9F"
             "e.txt",
             "/p", "1 KB"},
            {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD0\xBC\xD0\xB8\xD1\x80.txt", "/p",
             "22 KB"},
            {"bad\xFF.txt", "/p", "3 KB"},
            {"\xE4\xB8\xAD.txt", "/p", "4 KB"}};
  // Every line is 16 + 6 + 7 display columns wide.
  expectLines(listFileText(t),
              {"Name            Path  Size   ",
               "Gr\xC3\xB6\xC3\x9F"
               "e.txt       /p    1 KB   ",
               "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD0\xBC\xD0\xB8\xD1\x80.txt  /p  "
               "  22 KB  ",
               "bad\xFF.txt        /p    3 KB   ", "\xE4\xB8\xAD.txt          /p    4 KB   "});
}

TEST(ListTable, CommandLineHeaderComesFirst) {
  const std::string text = listFileText(sample(false), std::string("kestrix -path=/tmp"));
  const auto lines = testing::crlfLines(text);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Command Line: kestrix -path=/tmp");
  EXPECT_EQ(lines[1], "");
  EXPECT_TRUE(lines[2].starts_with("Name "));
}

// The window's Save List and the console's list share this table: with intervals shown,
// the Result caption and cells take the interval format, and a failed row says so.
TEST(ListTable, ResultColumnInTheIntervalFormat) {
  search::ResultItem modified, failed;
  modified.name = "a.txt";
  modified.path = "/p";
  modified.outcome = {search::RowResult::Modified, {}};
  modified.intervalFrom = 2;
  modified.intervalTo = 0;
  failed.name = "b.txt";
  failed.path = "/p";
  failed.outcome = {search::RowResult::FailedModification, "read-only"};
  const ResultTable plain = tableOfItems({modified, failed}, false, true);
  EXPECT_EQ(plain.captions.back(), "Result");
  EXPECT_EQ(plain.rows[0].back(), "Modified");
  const ResultTable shown = tableOfItems({modified, failed}, false, true, false, true);
  EXPECT_EQ(shown.captions.back(), "Result    |  Modification Interval");
  EXPECT_TRUE(shown.rows[0].back().starts_with("Modified    \\")) << shown.rows[0].back();
  EXPECT_TRUE(shown.rows[1].back().starts_with("Failed Modification")) << shown.rows[1].back();
  // The long caption loses its seventh character in the header line.
  EXPECT_TRUE(testing::crlfLines(listFileText(shown))[0].find("Result   |  Modification") !=
              std::string::npos);
}

TEST(ListTable, RowsOfARealSearch) {
  testing::TempTree tree;
  tree.write("one.txt", "alpha\nalpha beta\n");
  tree.write("sub/two words.txt", "alpha\n");
  testing::Rows rows;
  search::runFind(testing::phraseRequest(tree.path(), "alpha"), rows);
  ASSERT_EQ(rows.items.size(), 2u);
  const ResultTable t = tableOfItems(rows.items, true, false);
  ASSERT_EQ(t.captions.size(), 7u);
  const auto lines = testing::crlfLines(listFileText(t));
  ASSERT_EQ(lines.size(), 3u);
  const std::size_t found = lines[0].find("Found");
  // "Found" right-aligned: the counts end two characters before the next column.
  EXPECT_EQ(lines[1].substr(found, 7), "    2  ");
  EXPECT_EQ(lines[2].substr(found, 7), "    1  ");
  EXPECT_EQ(lines[1].size(), lines[0].size());
}

}  // namespace
}  // namespace kestrix::results
