// Cell texts of a results row and the status texts of a run.
#include <gtest/gtest.h>

#include "search/Cells.h"
#include "search/FoundLines.h"

namespace kestrix::search {
namespace {

TEST(Cells, SizeText) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {0, "0.000 KB"},       {50, "0.050 KB"},
      {100, "0.100 KB"},     {101, "0.1 KB"},
      {1500, "1.5 KB"},      {1949, "1.9 KB"},
      {999999, "1000.0 KB"}, {(std::int64_t{5} << 30), "5368709.1 KB"},
  };
  for (const auto& [bytes, text] : cases) {
    SCOPED_TRACE(bytes);
    EXPECT_EQ(sizeText(bytes), text);
  }
}

TEST(Cells, FoundTextIsCutAfter240Characters) {
  EXPECT_EQ(foundText({2, 0, 5}), "2, 0, 5");
  EXPECT_EQ(foundText({}), "");
  std::vector<std::int64_t> many(200, 7);
  const std::string cut = foundText(many);
  EXPECT_EQ(cut.substr(cut.size() - 4), ",...");
  EXPECT_GT(cut.size() - 4, 240u);
  EXPECT_LE(cut.size() - 4, 243u);
  EXPECT_EQ(foundText(many, false).size(), 200u * 3 - 2);
  std::vector<std::int64_t> exact(81, 1);  // "1, 1, ..." reaches 241 characters: no marker
  EXPECT_EQ(foundText(exact).find(",..."), std::string::npos);
}

TEST(Cells, TypeTimeResultAndStatusTexts) {
  EXPECT_EQ(typeFallback("a.txt"), "TXT File");
  EXPECT_EQ(typeFallback("Makefile"), "");
  EXPECT_EQ(typeFallback("a.tar.Gz"), "GZ File");
  EXPECT_EQ(typeFallback("a."), "");

  // Midnight shows the date alone (tests run in the "C" locale and the local zone).
  struct std::tm midnight {};
  midnight.tm_year = 2024 - 1900;
  midnight.tm_mon = 4;
  midnight.tm_mday = 3;
  midnight.tm_isdst = -1;
  const std::int64_t t = static_cast<std::int64_t>(std::mktime(&midnight));
  EXPECT_EQ(timeText(t), "05/03/2024");
  EXPECT_EQ(timeText(t + 3661), "05/03/2024 01:01:01");

  SearchRequest request;
  platform::FileInfo info;
  info.name = "a.txt";
  EXPECT_EQ(makeResultItem(request, "/d", info, {2}, true, "").outcome.result, RowResult::None);
  request.resultColumnShown = true;
  const ResultItem listed = makeResultItem(request, "/d", info, {2, 3}, true, "");
  EXPECT_EQ(listed.outcome.result, RowResult::Found);
  EXPECT_EQ(foundCellText(listed), "2, 3");
  EXPECT_EQ(foundCellText(makeResultItem(request, "/d", info, {2}, false, "")), "");

  EXPECT_EQ(foundStatusText(Origin::Find, 1), "Found File:    1");
  EXPECT_EQ(foundStatusText(Origin::Find, 2), "Found Files:   2");
  EXPECT_EQ(foundStatusText(Origin::SearchAndReplace, 1), "File in List:    1");
  EXPECT_EQ(foundStatusText(Origin::SearchAndReplace, 2), "Files in List:    2");
  EXPECT_EQ(startStatusText(Origin::SearchAndReplace), "Files in List:   ");
  EXPECT_EQ(notFoundStatusText(), "Not Found");
}

TEST(FoundLinesLimit, MarkerBeforeTheLastEntry) {
  FoundLines lines;
  lines.begin("a.txt", "/x");
  EXPECT_EQ(lines.entries[0], "     File:  a.txt      Path:  /x");
  std::int64_t n = 0;
  while (lines.appendLine(++n, "text", -1)) {
  }
  EXPECT_EQ(n, 5001);
  EXPECT_EQ(lines.entries.size(), 5003u);
  EXPECT_EQ(lines.entries[5001], FoundLines::kEtcMarker);
  EXPECT_EQ(lines.entries[5002], " line 5001: text");
  EXPECT_EQ(lines.viewerMap.size(), lines.entries.size());
  EXPECT_FALSE(lines.appendLine(5002, "more", -1));
  EXPECT_EQ(lines.entries.size(), 5003u);

  FoundLines blocks;
  blocks.begin("b", "/");
  blocks.appendBlock(3, 4, false);
  blocks.appendBlock(7, 7, true);
  EXPECT_EQ(blocks.entries[1], " line 3 - line 4");
  EXPECT_EQ(blocks.entries[2], " line 7 ");
  FoundLines cut;
  cut.begin("c", "/");
  cut.appendLine(12, std::string(2000, 'x'), 0);
  EXPECT_EQ(cut.entries[1].size(), 1024u);
  EXPECT_EQ(FoundLines::prefixLength(12), std::string(" line 12: ").size());
}

}  // namespace
}  // namespace kestrix::search
