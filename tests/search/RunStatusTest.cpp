// What the window shows around a search: the batched rows and status texts while it runs,
// the status texts when it ends, the folder it starts in, and where a query's error
// position lies in the editor.
#include <filesystem>

#include "TempTree.h"
#include "search/QueryPosition.h"
#include "search/RunEndStatus.h"
#include "search/RunProgress.h"
#include "search/SearchError.h"
#include "search/SearchFolder.h"

namespace kestrix::search {
namespace {

ResultItem rowNamed(const std::string& name) {
  ResultItem item;
  item.name = name;
  return item;
}

TEST(RunProgress, HandsOverRowsOnceAndOnlyChangedTexts) {
  RunProgress progress(Origin::Find);
  RunProgress::Update idle = progress.take();
  EXPECT_TRUE(idle.rows.empty());
  EXPECT_FALSE(idle.counter || idle.folder);

  progress.folderEntered("/data");
  EXPECT_TRUE(progress.add(rowNamed("a")));  // the first row is shown at once
  RunProgress::Update first = progress.take();
  ASSERT_EQ(first.rows.size(), 1u);
  EXPECT_EQ(first.rows[0].name, "a");
  EXPECT_EQ(first.counter, "Found File:    1");
  EXPECT_EQ(first.folder, "/data");

  EXPECT_FALSE(progress.add(rowNamed("b")));
  EXPECT_FALSE(progress.add(rowNamed("c")));
  RunProgress::Update batch = progress.take();
  ASSERT_EQ(batch.rows.size(), 2u);
  EXPECT_EQ(batch.rows[1].name, "c");
  EXPECT_EQ(batch.counter, "Found Files:   3");
  EXPECT_FALSE(batch.folder);  // still the same folder

  progress.folderEntered("/data/sub");
  RunProgress::Update moved = progress.take();
  EXPECT_TRUE(moved.rows.empty());
  EXPECT_FALSE(moved.counter);
  EXPECT_EQ(moved.folder, "/data/sub");

  RunProgress inList(Origin::SearchAndReplace);
  inList.add(rowNamed("x"));
  EXPECT_EQ(inList.take().counter, "File in List:    1");
}

TEST(RunEndStatus, SaysStoppedNotFoundOrKeepsTheCount) {
  struct Case {
    Origin origin;
    std::size_t rows;
    bool stopped;
    const char* masks;
    std::optional<std::string> counter;
    std::string folder;
  };
  const std::vector<Case> cases = {
      {Origin::Find, 4, false, "*.txt", std::nullopt, ""},
      {Origin::Find, 4, true, "*.txt", "Found Files:   4", "Stopped"},
      {Origin::SearchAndReplace, 1, true, "*", "File in List:    1", "Stopped"},
      {Origin::Find, 0, true, "*.txt, *.md", "Found Files:   0", "Stopped"},
      {Origin::Find, 0, false, "*.txt", "Not Found", ""},
      {Origin::Find, 0, false, "*.txt, *.md", "Not Found", kMaskSeparatorHint},
      {Origin::Find, 3, false, "*.txt, *.md", std::nullopt, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.masks) + " rows " + std::to_string(c.rows));
    const RunEndStatus status = runEndStatus(c.origin, c.rows, c.stopped, c.masks);
    EXPECT_EQ(status.counter, c.counter);
    EXPECT_EQ(status.folder, c.folder);
  }
}

TEST(RunEndStatus, MasksSeparatedByCommasOrBlanksLookMisseparated) {
  const std::vector<std::pair<const char*, bool>> cases = {
      {"*.txt, *.md", true},
      {"*.txt *.md", true},
      {"*.md; *.rst", false},
      {" *.md ;\t*.rst ", false},
      {"", false},
      {"a,b", true},
      {"*.md;;", false},
      {"*.md; my notes.txt", true},
  };
  for (const auto& [masks, expected] : cases) {
    EXPECT_EQ(masksLookMisseparated(masks), expected) << masks;
  }
}

TEST(SearchFolder, ExpandsOnlyALeadingTilde) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"~", "/home/u"}, {"~/docs", "/home/u/docs"}, {"/srv/~x", "/srv/~x"}, {"~other", "~other"},
      {"", ""},         {"docs/~", "docs/~"},
  };
  for (const auto& [typed, expanded] : cases) EXPECT_EQ(expandHome(typed, "/home/u"), expanded);
}

TEST(SearchFolder, RequiresAnExistingFolder) {
  testing::TempTree tree;
  tree.write("file.txt", "x");
  std::filesystem::create_symlink(tree.path(), tree.path() + "/link");
  SearchRequest request;
  request.origin = Origin::SearchAndReplace;
  for (const std::string& folder : {tree.path(), tree.path() + "/link", std::string()}) {
    request.folder = folder;
    EXPECT_NO_THROW(requireSearchFolder(request)) << folder;
  }
  for (const std::string& folder : {tree.path() + "/file.txt", tree.path() + "/none"}) {
    request.folder = folder;
    try {
      requireSearchFolder(request);
      ADD_FAILURE() << folder;
    } catch (const SearchError& error) {
      EXPECT_EQ(error.caption(), originCaption(Origin::SearchAndReplace));
      EXPECT_EQ(error.text(), "Folder \"" + folder + "\" does not exist");
    }
  }
  request.searchInResults = true;  // the listed rows need no folder
  EXPECT_NO_THROW(requireSearchFolder(request));
}

TEST(QueryPosition, MapsJoinedBytesToEditorUnits) {
  const std::vector<std::string> lines = {"ab", "c\xC3\xA9x", "\xF0\x9F\x98\x80z", ""};
  struct Case {
    std::size_t position;
    std::optional<std::size_t> unit;
  };
  const std::vector<Case> cases = {
      {1, 0},
      {2, 1},
      {3, 2},  // the end of the first line
      {4, 3},  // its CR: the next line's start
      {5, 3},
      {6, 4},
      {8, 5},   // "x" after the two-byte character
      {11, 7},  // the astral character takes two units
      {15, 9},  // "z"
      {17, 11},
      {18, 11},  // the empty last line
      {19, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(editorPositionOfQuery(lines, c.position), c.unit) << c.position;
  }
  EXPECT_EQ(editorPositionOfQuery({}, 1), std::nullopt);
}

}  // namespace
}  // namespace kestrix::search
