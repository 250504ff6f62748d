// What the search and modification requests take from the stored settings.
#include <gtest/gtest.h>

#include "app/RunSettings.h"

namespace kestrix::app {
namespace {

using Lines = std::vector<std::string>;

TEST(RunSettings, IgnoreListTextsSplitIntoLines) {
  const struct {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"/skip\n\n", {"/skip", "", ""}},  // blank lines are the search's to skip
      {"\n", {"", ""}},
      {"*.o\n*.tmp", {"*.o", "*.tmp"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ignoreListLines(c.text), c.lines) << c.text;
}

TEST(RunSettings, OnlyTheListsWhoseSwitchesAreOnReachTheSearch) {
  WindowSettings s;
  s.folderIgnoreList = "/srv/skip\n/tmp";
  s.fileIgnoreList = "*.o";
  s.ignoreSubfolders = true;
  s.dialog.codePage = "KOI8-R";
  search::SearchRequest off;
  applyTo(off, s);
  EXPECT_FALSE(off.ignoredFolders);
  EXPECT_FALSE(off.ignoredFiles);
  EXPECT_EQ(off.legacyCodePage, "KOI8-R");

  s.dialog.ignoreFolders = true;
  s.dialog.ignoreFiles = true;
  search::SearchRequest on;
  applyTo(on, s);
  ASSERT_TRUE(on.ignoredFolders);
  EXPECT_EQ(on.ignoredFolders->lines, (Lines{"/srv/skip", "/tmp"}));
  EXPECT_TRUE(on.ignoredFolders->ignoreSubfolders);
  EXPECT_EQ(on.ignoredFiles, Lines{"*.o"});
}

TEST(RunSettings, DialogValuesReachTheModification) {
  using modify::LineSeparator;
  const std::pair<SeparatorChoice, LineSeparator> separators[] = {
      {SeparatorChoice::Windows, LineSeparator::Windows},
      {SeparatorChoice::Unix, LineSeparator::Unix},
      {SeparatorChoice::Macintosh, LineSeparator::Macintosh},
      {SeparatorChoice::Keep, LineSeparator::Keep},
  };
  for (const auto& [choice, separator] : separators) {
    DialogSettings d;
    d.separator = choice;
    modify::ModifyRequest request;
    applyTo(request, d);
    EXPECT_EQ(request.lineSeparator, separator) << static_cast<int>(choice);
    EXPECT_FALSE(request.modifyReadOnly);
    EXPECT_FALSE(request.modifyHidden);
  }
  DialogSettings d;
  d.modifyReadOnly = d.modifyHidden = true;
  d.codePage = "Windows-1251";
  modify::ModifyRequest request;
  applyTo(request, d);
  EXPECT_TRUE(request.modifyReadOnly && request.modifyHidden);
  EXPECT_EQ(request.legacyCodePage, "Windows-1251");
}

}  // namespace
}  // namespace kestrix::app
