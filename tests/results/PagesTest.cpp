// The saved-lines and context pages, from the found lines of real files.
#include "../search/TempTree.h"
#include "PageTestUtil.h"
#include "platform/AtomicWrite.h"
#include "platform/Platform.h"
#include "results/Pages.h"
#include "results/ViewerEntries.h"

namespace kestrix::results {
namespace {

using testing::expectLines;

search::FoundLines foundLinesOf(const std::string& folder, const std::string& name,
                                const search::SearchRequest& request) {
  return search::fillFoundLines(request, folder, name).lines;
}

std::vector<std::string> numberedLines(int count, int hitEvery1, int hit2) {
  std::vector<std::string> lines;
  for (int k = 1; k <= count; ++k) {
    lines.push_back(k == hitEvery1 || k == hit2 ? "x needle <&> y" : "plain " + std::to_string(k));
  }
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

const std::string kStar = "<font color=\"#0000FF\">*</font>";
const std::string kHit = " line 5: x <font color=\"#0000FF\">needle</font> &lt;&amp;&gt; y";

TEST(LinesPage, MarksHitsEscapesAndBoldsTheHeader) {
  testing::TempTree tree;
  tree.write("a <b>.txt", "one needle two needle\nnothing\n");
  const auto lines =
      foundLinesOf(tree.path(), "a <b>.txt", testing::phraseRequest(tree.path(), "needle"));
  expectLines(linesPage(lines),
              {"<html>", "<Title>Information from the Lines Viewer</Title>", "<body>", "<pre>",
               "<strong>     File:  a &lt;b&gt;.txt      Path:  " + tree.path() + "</strong>",
               " line 1: one <font color=\"#0000FF\">needle</font> two <font "
               "color=\"#0000FF\">needle</font>",
               "</pre>", "</body>", "</html>"});
}

TEST(LinesPage, EtcLineIsBoldAndMultilineEntriesBlue) {
  search::FoundLines lines;
  lines.begin("f.txt", "/p");
  lines.appendBlock(3, 4, false);
  lines.entries.push_back(search::FoundLines::kEtcMarker);
  lines.viewerMap.push_back(-1);
  const auto page = testing::crlfLines(linesPage(lines));
  ASSERT_EQ(page.size(), 10u);
  EXPECT_EQ(page[5], "<font color=\"#0000FF\"> line 3 - line 4</font>");
  EXPECT_EQ(page[6], std::string("<strong>") + search::FoundLines::kEtcMarker + "</strong>");
}

TEST(HitMarking, AHitAfterCharacter1024IsNotMarkedAndACutHitClosesAtTheEnd) {
  testing::TempTree tree;
  const std::string longLine = std::string(1100, 'a') + "needle";
  const std::string edge = std::string(1012, 'b') + "needle";  // hit runs past the cut
  tree.write("f.txt", longLine + "\n" + edge + "\n");
  const auto lines =
      foundLinesOf(tree.path(), "f.txt", testing::phraseRequest(tree.path(), "needle"));
  ASSERT_EQ(lines.entries.size(), 3u);
  EXPECT_EQ(markedEntry(lines, 1).find("<font"), std::string::npos);
  const std::string marked = markedEntry(lines, 2);
  EXPECT_EQ(marked.size(), 1024u + 29u);
  EXPECT_TRUE(marked.ends_with("<font color=\"#0000FF\">nee</font>")) << marked.substr(1000);
}

TEST(ContextPage, BlocksApartGetOneEmptyLineAndTouchingBlocksNone) {
  testing::TempTree tree;
  tree.write("f.txt", joined(numberedLines(12, 5, 9)));
  const auto lines =
      foundLinesOf(tree.path(), "f.txt", testing::phraseRequest(tree.path(), "needle"));
  const auto file = numberedLines(12, 5, 9);
  const std::string header = "<strong>     File:  f.txt      Path:  " + tree.path() + "</strong>";
  const std::string hit9 =
      kStar + "line 9: x <font color=\"#0000FF\">needle</font> &lt;&amp;&gt; y";
  expectLines(contextPage(lines, file, 1),
              {"<html>", "<Title>Context</Title>", "<body>", "<pre>", header, " line 4: plain 4",
               kStar + kHit.substr(1), " line 6: plain 6", "", " line 8: plain 8", hit9,
               " line 10: plain 10", "</pre>", "</body>", "</html>"});
  expectLines(contextPage(lines, file, 2),
              {"<html>", "<Title>Context</Title>", "<body>", "<pre>", header, " line 3: plain 3",
               " line 4: plain 4", kStar + kHit.substr(1), " line 6: plain 6", " line 7: plain 7",
               " line 8: plain 8", hit9, " line 10: plain 10", " line 11: plain 11", "</pre>",
               "</body>", "</html>"});
}

TEST(ContextPage, AllWritesEveryLineOnceWithHitsStarred) {
  testing::TempTree tree;
  const auto file = numberedLines(7, 5, 6);
  tree.write("f.txt", joined(file));
  const auto lines =
      foundLinesOf(tree.path(), "f.txt", testing::phraseRequest(tree.path(), "needle"));
  EXPECT_EQ(contextSize(10), 10000000);
  EXPECT_EQ(contextSize(3), 5);
  const auto page = testing::crlfLines(contextPage(lines, file, contextSize(10)));
  ASSERT_EQ(page.size(), 4u + 1u + 7u + 3u);
  for (int k = 1; k <= 7; ++k) {
    const std::string& line = page[static_cast<std::size_t>(4 + k)];
    if (k == 5 || k == 6) {
      EXPECT_TRUE(line.starts_with(kStar + "line " + std::to_string(k) + ": ")) << line;
    } else {
      EXPECT_EQ(line, " line " + std::to_string(k) + ": plain " + std::to_string(k));
    }
  }
}

TEST(ContextPage, MultilineEntriesStarEachLineInBlue) {
  testing::TempTree tree;
  const std::vector<std::string> file = {"a", "first", "second", "b", "c"};
  tree.write("f.txt", joined(file));
  search::SearchRequest request = testing::phraseRequest(tree.path(), "");
  request.queryType = search::QueryType::Multiline;
  request.queryLines = {"first", "second"};
  const auto lines = foundLinesOf(tree.path(), "f.txt", request);
  ASSERT_EQ(entryKind(lines, 1), EntryKind::Block);
  const std::string blue = "<font color=\"#0000FF\">";
  expectLines(contextPage(lines, file, 1),
              {"<html>", "<Title>Context</Title>", "<body>", "<pre>",
               "<strong>     File:  f.txt      Path:  " + tree.path() + "</strong>", " line 1: a",
               kStar + blue + "line 2: first</font>", kStar + blue + "line 3: second</font>",
               " line 4: b", "</pre>", "</body>", "</html>"});
}

TEST(PageFile, WritesThroughTheSafeWriteAndReplacesAReadOnlyPage) {
  testing::TempTree tree;
  const std::string path = tree.write("Browse.htm", "old");
  ::chmod(path.c_str(), 0444);
  writePageFile(path, "new\r\n");
  EXPECT_EQ(platform::readFile(path), "new\r\n");
  EXPECT_NE(platform::getMode(path) & 0200, 0u);
  EXPECT_THROW(writePageFile(tree.at("missing/dir/x.htm"), "x"), platform::AtomicWriteError);
}

}  // namespace
}  // namespace kestrix::results
