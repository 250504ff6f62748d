// The copy, delete and rename questions and the row a rename leaves.
#include <gtest/gtest.h>

#include "fileops/Questions.h"

namespace kestrix::fileops {
namespace {

TEST(Questions, CaptionsLinesAndTheNamedLine) {
  const struct {
    Question question;
    const char* caption;
    std::vector<std::string> lines;
    std::size_t nameLine;
  } cases[] = {
      {protectedQuestion("/d/a.txt", false),
       "Confirm File Delete",
       {"The file /d/a.txt is a read-only file.", "Are you sure you want to delete it?"},
       0},
      {protectedQuestion("/d/a.txt", true),
       "Confirm File Rename",
       {"The file /d/a.txt is a read-only file.", "Are you sure you want to rename it?"},
       0},
      {overwriteQuestion("/t/a.txt"),
       "Copy Files",
       {"/t/a.txt already exists.", "Do you want to replace it?"},
       0},
      {deleteQuestion({"/d/a.txt"}),
       "Confirm File Delete",
       {"Are you sure you want to send", "/d/a.txt", "to the Trash?"},
       1},
      {deleteQuestion({"/d/a", "/d/b", "/d/c"}),
       "Confirm Multiple File Delete",
       {"Are you sure you want to send these 3 files to the Trash?"},
       1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.question.caption, c.caption);
    EXPECT_EQ(c.question.lines, c.lines) << c.caption;
    EXPECT_EQ(c.question.nameLine, c.nameLine) << c.caption;
  }
}

TEST(Questions, RenamedRowKeepsItsTypeUnlessTheExtensionChanged) {
  search::ResultItem item;
  item.name = "a.txt";
  item.path = "/d";
  item.type = "Plain text";
  item.hits = {3};
  const struct {
    const char* newName;
    const char* type;
  } cases[] = {
      {"b.txt", "Plain text"}, {"a.log", "LOG File"}, {"a", ""}, {"x.y.txt", "Plain text"}};
  for (const auto& c : cases) {
    const search::ResultItem renamed = renamedItem(item, c.newName);
    EXPECT_EQ(renamed.name, c.newName);
    EXPECT_EQ(renamed.type, c.type) << c.newName;
    EXPECT_EQ(renamed.path, "/d");
    EXPECT_EQ(renamed.hits, item.hits);
  }
}

}  // namespace
}  // namespace kestrix::fileops
