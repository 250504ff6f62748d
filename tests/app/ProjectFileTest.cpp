// Project files: round trips of every entry, the line encodings, files of older and
// shorter writers, the refused file and the sections that end early.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "FlippedSwitches.h"
#include "app/ProjectFile.h"
#include "app/StoredDate.h"

namespace kestrix::app {
namespace {

// A project with every value away from the defaults of a record.
Project changedProject() {
  Project p;
  WindowSettings& s = p.settings;
  s.path = {"/data", {"/data", "/srv", "/tmp"}};
  s.findQuery = {"needle", {"needle", "hay"}};
  s.searchText = {"old", {"old"}};
  s.replacement = {"", {"new", ""}};
  s.masks = {"*.cpp", {"*.cpp", "*.h"}};
  s.findMemo = "line 1\nline 2\n";
  s.searchMemo = "";
  s.replaceMemo = "\n\nr";
  OptionSwitches& w = s.switches;
  testing::flipEverySwitch(w);
  s.sizeLimit = -5;
  s.sizeUnit = 1;
  s.lowerDate = dayNumber({1999, 12, 31});
  s.upperDate = dayNumber({2024, 2, 29});
  s.daysAgo = 30;
  s.sizeLabel = s.lastModifiedLabel = s.andLabel = s.daysLabel = true;
  s.columnWidths = {1, 2, 3, 4, 5, 6, 7, 8};
  s.startFolders = {"/a", "/b", "/c", "/d", "", "/f"};
  s.ignoreListFolder = "/g";
  s.tab = 2;
  s.dialog = {SeparatorChoice::Unix,
              SeparatorChoice::Unix,
              "vi \"%PrFullName%\"",
              10,
              true,
              true,
              true,
              true};
  s.dialog.codePage = "KOI8-R";
  s.ignoreSubfolders = true;
  s.folderIgnoreList = "/tmp/*\n/proc\n";
  s.fileIgnoreList = "*.o";
  p.batch = {700, 500, 3, 150, 160, {{{"a", "b"}, {"", "x|y"}, {"c", ""}}}};
  return p;
}

// A project with empty histories and memos, so every entry has a known line.
Project plainProject() {
  Project p;
  for (auto* m : {&p.settings.findMemo, &p.settings.searchMemo, &p.settings.replaceMemo}) *m = "";
  p.settings.lowerDate = dayNumber({2020, 1, 1});
  p.settings.upperDate = dayNumber({2021, 6, 30});
  return p;
}

// First lines (from 0) of some entries in a plain project.
constexpr int kEntry13 = 44;
constexpr int kEntry18 = 64;
constexpr int kEntry19 = 65;
constexpr int kEntry20 = 66;
constexpr int kEntry22 = 72;
constexpr int kEntry23 = 73;
constexpr int kEntry26 = 78;
constexpr int kEntry32 = 91;
constexpr int kEntry35 = 96;

std::vector<std::string> lines(const std::string& bytes) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
    if (end == std::string::npos) break;
    out.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

std::string joined(const std::vector<std::string>& lines, std::size_t count = SIZE_MAX) {
  std::string out;
  for (std::size_t i = 0; i < lines.size() && i < count; ++i) out += lines[i] + "\r\n";
  return out;
}

// The plain project's file with line `index` replaced.
std::string withLine(int index, const std::string& text, const Project& p = plainProject()) {
  std::vector<std::string> l = lines(formatProject(p));
  l.at(static_cast<std::size_t>(index)) = text;
  return joined(l);
}

TEST(ProjectFile, EveryEntrySurvivesARoundTrip) {
  for (const SeparatorChoice choice : {SeparatorChoice::Windows, SeparatorChoice::Unix,
                                       SeparatorChoice::Macintosh, SeparatorChoice::Keep}) {
    Project written = changedProject();
    written.settings.dialog.separator = choice;
    written.settings.dialog.storedChoice =
        choice == SeparatorChoice::Keep ? SeparatorChoice::Windows : choice;
    const ProjectRead read = parseProject(formatProject(written), Project{});
    EXPECT_EQ(read.project, written);
    EXPECT_TRUE(read.loaded);
  }
  // Values a project does not hold stay as they were.
  Project current;
  current.settings.bounds = {1, 2, 3, 4, 5};
  current.settings.maximized = true;
  current.settings.lowerDateText = "kept";
  const Project read = parseProject(formatProject(changedProject()), current).project;
  EXPECT_EQ(read.settings.bounds, current.settings.bounds);
  EXPECT_TRUE(read.settings.maximized);
  EXPECT_EQ(read.settings.lowerDateText, "kept");
}

TEST(ProjectFile, LinesAreWrittenInTheirEncodings) {
  Project p = changedProject();
  p.settings.dialog.separator = SeparatorChoice::Keep;
  p.settings.tab = 7;
  const std::vector<std::string> l = lines(formatProject(p));
  // Entry 1: the text, then the list.
  EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + 5),
            (std::vector<std::string>{"/data", "3", "/data", "/srv", "/tmp"}));
  // Entry 6 onwards: a memo ending in a line break ends with an empty line; an empty memo
  // is one empty line.
  const auto memo = std::find(l.begin(), l.end(), "line 1");
  ASSERT_NE(memo, l.end());
  EXPECT_EQ(
      std::vector<std::string>(memo - 1, memo + 10),
      (std::vector<std::string>{"3", "line 1", "line 2", "", "1", "", "3", "", "", "r", "TRUE"}));
  const std::string text = formatProject(p);
  EXPECT_NE(text.find("\r\n1999-12-31\r\n2024-02-29\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n" + std::to_string(dayNumber({1999, 12, 31})) + "\r\n" +
                      std::to_string(dayNumber({2024, 2, 29})) + "\r\n"),
            std::string::npos);
  // Entry 19 (a tab other than 1 and 2 is written as 3), entries 22 and 23 (Keep).
  EXPECT_NE(text.find("\r\nvi \"%PrFullName%\"\r\n3\r\n"), std::string::npos);
  EXPECT_NE(text.find("vi \"%PrFullName%\"\r\nFALSE\r\nFALSE\r\nFALSE\r\n/f\r\n"),
            std::string::npos);
  // Entry 35: the count, the search cells, then the replacement cells.
  EXPECT_EQ(std::vector<std::string>(l.end() - 13, l.end() - 1),
            (std::vector<std::string>{"700", "500", "3", "150", "160", "3", "a", "", "c", "b",
                                      "x|y", ""}));
  EXPECT_EQ(l.back(), "CodePage=KOI8-R");  // after them, when not the default
}

TEST(ProjectFile, HistoriesAreWrittenWithEightEntries) {
  Project p = plainProject();
  for (int i = 0; i < 12; ++i) p.settings.masks.entries.push_back("*." + std::to_string(i));
  const std::string bytes = formatProject(p);
  const std::vector<std::string> l = lines(bytes);
  EXPECT_EQ(l[9], "8");
  const History read = parseProject(bytes, Project{}).project.settings.masks;
  EXPECT_EQ(read.entries, std::vector<std::string>(p.settings.masks.entries.begin(),
                                                   p.settings.masks.entries.begin() + 8));
}

TEST(ProjectFile, ALineBreakInsideAValueDoesNotShiftTheEntries) {
  Project p = plainProject();
  p.settings.path.text = "/one\r\n/two";
  p.settings.findMemo = "a\r\nb\rc";
  const Project read = parseProject(formatProject(p), Project{}).project;
  EXPECT_EQ(read.settings.path.text, "/one");
  EXPECT_EQ(read.settings.findMemo, "a\nb\nc");
  EXPECT_EQ(read.settings.tab, p.settings.tab);
  EXPECT_EQ(read.batch, p.batch);
}

TEST(ProjectFile, TheBatchSectionNeedsRows) {
  Project p = plainProject();
  p.batch = {640, 480, 1, 100, 120, {{}}};
  p.batch.table.rows.clear();
  const std::string bytes = formatProject(p);
  const std::vector<std::string> l = lines(bytes);
  ASSERT_EQ(l.size(), static_cast<std::size_t>(kEntry35));
  EXPECT_EQ(l.back(), "120");
  // Read over a dialog that has pairs: its cells stay, its sizes change.
  Project current;
  current.batch = {10, 10, 2, 10, 10, {{{"keep", "me"}, {"and", "me"}}}};
  const modify::BatchState read = parseProject(bytes, current).project.batch;
  EXPECT_EQ(read, (modify::BatchState{640, 480, 1, 100, 120, current.batch.table}));
  // A "Number of Rows:" above the cells read adds empty pairs; cells are cut to 1000.
  p.batch = {640, 480, 4, 100, 120, {{{std::string(1200, 's'), "r"}}}};
  const modify::BatchState grown = parseProject(formatProject(p), current).project.batch;
  ASSERT_EQ(grown.table.rows.size(), 4u);
  EXPECT_EQ(grown.table.rows[0].search, std::string(1000, 's'));
  EXPECT_EQ(grown.table.rows[3], modify::BatchPair{});
  EXPECT_EQ(grown.rowsSpin, 4);
}

TEST(ProjectFile, TheCodePageFollowsTheBatchEntriesUnlessItIsTheDefault) {
  Project p = plainProject();
  Project current;
  current.settings.dialog.codePage = "CP866";
  // The default is not written, and a file without the line gives the default.
  EXPECT_EQ(parseProject(formatProject(p), current).project.settings.dialog.codePage,
            "Windows-1252");
  struct Case {
    std::vector<modify::BatchPair> rows;
    std::string line;
    std::string read;
  };
  const Case cases[] = {
      {{}, "CodePage=KOI8-R", "KOI8-R"},
      {{{"a", "b"}}, "CodePage=KOI8-R", "KOI8-R"},
      {{}, "CodePage=koi8-u", "KOI8-U"},
      {{}, "CodePage=EBCDIC", "Windows-1252"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    p.batch.table.rows = c.rows;
    p.settings.dialog.codePage = "Windows-1252";
    const std::size_t withDefault = lines(formatProject(p)).size();
    p.settings.dialog.codePage = "KOI8-R";
    std::vector<std::string> l = lines(formatProject(p));
    ASSERT_EQ(l.size(), withDefault + 1);
    EXPECT_EQ(l.back(), "CodePage=KOI8-R");
    l.back() = c.line;
    const Project read = parseProject(joined(l), current).project;
    EXPECT_EQ(read.settings.dialog.codePage, c.read);
    // Without rows the dialog's cells stay as they were.
    EXPECT_EQ(read.batch.table.rows, c.rows.empty() ? current.batch.table.rows : c.rows);
  }
}

TEST(ProjectFile, AFileEndingAfterTheTabReadsWithoutAMessage) {
  Project written = plainProject();
  written.settings.dialog.editor = "\"/usr/bin/kate\"";
  written.settings.tab = 2;
  std::vector<std::string> l = lines(formatProject(written));
  ASSERT_EQ(l[kEntry19], "2");
  const std::string early = joined(l, kEntry19 + 1);

  Project current = changedProject();
  const ProjectRead read = parseProject(early, current);
  const WindowSettings& s = read.project.settings;
  EXPECT_TRUE(read.loaded);
  EXPECT_EQ(s.tab, 2);
  EXPECT_EQ(s.dialog.editor, "\"/usr/bin/kate\" \"%PrFullName%\"");
  // A file without the separator entry keeps each line's own break.
  EXPECT_EQ(s.dialog.separator, SeparatorChoice::Keep);
  EXPECT_EQ(s.dialog.storedChoice, SeparatorChoice::Windows);
  EXPECT_EQ(s.dialog.contextLinesIndex, 3);
  EXPECT_EQ(s.lowerDate, written.settings.lowerDate);
  EXPECT_EQ(s.upperDate, written.settings.upperDate);
  EXPECT_FALSE(s.switches.regExpFind || s.switches.regExpSearch || s.switches.dotMatchesBreaks ||
               s.switches.ignoreRegexSpaces || s.switches.phraseIntervals ||
               s.switches.searchEachLine || s.switches.regexIntervals);
  EXPECT_FALSE(s.dialog.ignoreFolders || s.dialog.ignoreFiles || s.dialog.modifyReadOnly ||
               s.dialog.modifyHidden || s.ignoreSubfolders);
  EXPECT_EQ(s.folderIgnoreList, "");
  EXPECT_EQ(s.fileIgnoreList, "");
  EXPECT_EQ(s.ignoreListFolder, "");
  EXPECT_EQ(s.startFolders[5], "");
  EXPECT_EQ(read.project.batch, current.batch);

  // With entry 18 empty the editor command stays empty.
  l[kEntry18] = "";
  EXPECT_EQ(parseProject(joined(l, kEntry19 + 1), current).project.settings.dialog.editor, "");
  // An empty entry 22 also takes entry 18 in a complete file.
  EXPECT_EQ(parseProject(withLine(kEntry22, "", written), current).project.settings.dialog.editor,
            "\"/usr/bin/kate\" \"%PrFullName%\"");
}

TEST(ProjectFile, OnlyUpperCaseTrueIsTrue) {
  Project p = plainProject();
  p.settings.switches.sensitive = true;
  const std::size_t sensitive = 16;  // entry 9 follows five histories and three memos
  ASSERT_EQ(lines(formatProject(p))[sensitive], "TRUE");
  EXPECT_FALSE(
      parseProject(withLine(sensitive, "true", p), Project{}).project.settings.switches.sensitive);
  EXPECT_FALSE(
      parseProject(withLine(sensitive, "1", p), Project{}).project.settings.switches.sensitive);
}

void expectIncorrect(const std::string& bytes) {
  try {
    parseProject(bytes, Project{});
    ADD_FAILURE() << "the file was read";
  } catch (const ProjectError& e) {
    EXPECT_EQ(e.kind(), ProjectError::Kind::Incorrect);
    EXPECT_STREQ(e.what(), "Incorrect project file");
  }
}

TEST(ProjectFile, ABadLineBeforeTheTabRefusesTheFile) {
  // Dates of another format or that do not exist, even with valid day numbers in entry 20.
  for (const std::string date : {"12/31/2024", "31.12.2024", "2024-02-30", "2024-13-01",
                                 "2024-1-01", "", "0000-01-01", " 2024-01-01"}) {
    SCOPED_TRACE(date);
    expectIncorrect(withLine(kEntry13, date));
    expectIncorrect(withLine(kEntry13 + 1, date));
  }
  // An int that is not a number, a list count that is not one, and an empty file.
  expectIncorrect(withLine(kEntry19, "two"));
  expectIncorrect(withLine(1, "x"));
  expectIncorrect(withLine(kEntry13 - 2, "12 "));
  expectIncorrect("");
  // A file that ends before the dates.
  expectIncorrect(joined(lines(formatProject(plainProject())), kEntry13));
}

TEST(ProjectFile, LaterSectionsEndSilentlyAtABadLine) {
  Project p = plainProject();
  p.settings.switches.regExpFind = true;
  p.settings.dialog = {
      SeparatorChoice::Macintosh, SeparatorChoice::Macintosh, "ed", 5, true, true, true, true};
  p.settings.startFolders[5] = "/copy";
  p.batch = {700, 500, 1, 150, 160, {{{"s", "r"}}}};
  Project current = changedProject();

  // Entry 20: the lower day number is taken, the bad upper one ends the section, so the
  // upper date of entry 13 stands and entry 21 keeps the current switches.
  const int lower = dayNumber({2019, 5, 5});
  std::vector<std::string> l = lines(formatProject(p));
  l[kEntry20] = std::to_string(lower);
  l[kEntry20 + 1] = "soon";
  ProjectRead read = parseProject(joined(l), current);
  EXPECT_EQ(read.project.settings.lowerDate, lower);
  EXPECT_EQ(read.project.settings.upperDate, p.settings.upperDate);
  EXPECT_EQ(read.project.settings.switches.regExpFind, current.settings.switches.regExpFind);
  EXPECT_EQ(read.project.settings.switches.regExpSearch, current.settings.switches.regExpSearch);
  EXPECT_EQ(read.project.settings.dialog, p.settings.dialog);
  EXPECT_EQ(read.project.batch, p.batch);
  // A day number outside the calendar ends it too; 0 keeps entry 13.
  l = lines(formatProject(p));
  l[kEntry20] = "0";
  l[kEntry20 + 1] = "99999999";
  read = parseProject(joined(l), current);
  EXPECT_EQ(read.project.settings.lowerDate, p.settings.lowerDate);
  EXPECT_EQ(read.project.settings.upperDate, p.settings.upperDate);

  // Entry 26 bad: the separator and the Copy Files folder before it are read; the project
  // is not loaded and everything after keeps its current value.
  read = parseProject(withLine(kEntry26, "five", p), current);
  EXPECT_FALSE(read.loaded);
  EXPECT_EQ(read.project.settings.dialog.separator, SeparatorChoice::Macintosh);
  EXPECT_EQ(read.project.settings.startFolders[5], "/copy");
  EXPECT_EQ(read.project.settings.dialog.contextLinesIndex,
            current.settings.dialog.contextLinesIndex);
  EXPECT_EQ(read.project.settings.folderIgnoreList, current.settings.folderIgnoreList);
  EXPECT_EQ(read.project.batch, current.batch);
  // An empty entry 26 is 3, an index outside the choices too.
  EXPECT_EQ(
      parseProject(withLine(kEntry26, "", p), current).project.settings.dialog.contextLinesIndex,
      3);
  EXPECT_EQ(
      parseProject(withLine(kEntry26, "11", p), current).project.settings.dialog.contextLinesIndex,
      3);

  // Entry 32 bad: the dialog values are in, the batch stays.
  read = parseProject(withLine(kEntry32, "wide", p), current);
  EXPECT_TRUE(read.loaded);
  EXPECT_EQ(read.project.settings.dialog, p.settings.dialog);
  EXPECT_EQ(read.project.batch, current.batch);
  // A cell count beyond the table's limit keeps the current cells.
  read = parseProject(withLine(kEntry35, "100001", p), current);
  EXPECT_EQ(read.project.batch.table, current.batch.table);
  EXPECT_EQ(read.project.batch.width, 700);
}

TEST(ProjectFile, EntryTwentyThreeReadsAsRadioButtons) {
  const auto separator = [](const char* w, const char* u, const char* m) {
    std::vector<std::string> l = lines(formatProject(plainProject()));
    l[kEntry23] = w;
    l[kEntry23 + 1] = u;
    l[kEntry23 + 2] = m;
    return parseProject(joined(l), Project{}).project.settings.dialog;
  };
  EXPECT_EQ(separator("FALSE", "FALSE", "FALSE").separator, SeparatorChoice::Keep);
  EXPECT_EQ(separator("FALSE", "FALSE", "FALSE").storedChoice, SeparatorChoice::Windows);
  EXPECT_EQ(separator("TRUE", "FALSE", "FALSE").separator, SeparatorChoice::Windows);
  EXPECT_EQ(separator("TRUE", "TRUE", "FALSE").separator, SeparatorChoice::Unix);
  EXPECT_EQ(separator("FALSE", "TRUE", "TRUE").storedChoice, SeparatorChoice::Macintosh);
}

std::filesystem::path tempFolder() {
  const char* base = std::getenv("KESTRIX_TEST_TMP");
  std::filesystem::path dir = std::filesystem::path(base ? base : "/tmp") / "project-file-test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

TEST(ProjectFile, FilesAreReplacedWholeAndReadBack) {
  const std::filesystem::path dir = tempFolder();
  const std::string path = (dir / "set-up.ksr").string();
  const Project p = changedProject();
  { std::ofstream(path) << "old content"; }
  ::chmod(path.c_str(), 0444);
  writeProject(path, p);
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  EXPECT_EQ(bytes.str(), formatProject(p));
  EXPECT_EQ(readProject(path, Project{}).project, p);

  try {
    readProject((dir / "missing.ksr").string(), Project{});
    ADD_FAILURE() << "a missing file was read";
  } catch (const ProjectError& e) {
    EXPECT_EQ(e.kind(), ProjectError::Kind::NotFound);
    EXPECT_EQ(e.what(), "File \"" + (dir / "missing.ksr").string() + "\" not found");
  }
  // A folder is no project file.
  EXPECT_THROW(
      {
        try {
          readProject(dir.string(), Project{});
        } catch (const ProjectError& e) {
          EXPECT_EQ(e.kind(), ProjectError::Kind::Incorrect);
          throw;
        }
      },
      ProjectError);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kestrix::app
