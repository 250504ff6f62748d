// The main window's record: first-start defaults, round trips of every value, histories,
// the dialog values and bad input.
#include <gtest/gtest.h>

#include "FlippedSwitches.h"
#include "app/DialogSettings.h"
#include "app/EditorDefault.h"
#include "app/StoredDate.h"
#include "app/WindowSettings.h"

namespace kestrix::app {
namespace {

SettingsContext context() {
  SettingsContext c;
  c.dpi = 120;
  c.screenWidth = 1600;
  c.screenHeight = 1000;
  c.today = dayNumber({2024, 2, 29});
  c.homeFolder = "/home/user";
  c.editorDefault = "\"/usr/bin/gedit\"";
  return c;
}

// A record with every value away from its default.
WindowSettings changedSettings() {
  WindowSettings s = defaultWindowSettings(context());
  s.path = {"/data", {"/data", "/srv", "/tmp"}};
  s.findQuery = {"needle", {"needle", "hay"}};
  s.searchText = {"old", {"old"}};
  s.replacement = {"new", {"new", ""}};
  s.masks = {"*.cpp", {"*.cpp", "*.h"}};
  s.findMemo = "line 1\nline 2\n";
  s.searchMemo = "";
  s.replaceMemo = "r";
  OptionSwitches& w = s.switches;
  testing::flipEverySwitch(w);
  s.sizeLimit = 5;
  s.sizeUnit = 1;
  s.lowerDate = 36526;
  s.upperDate = 40000;
  s.lowerDateText = "01/01/00";
  s.upperDateText = "07/07/09";
  s.daysAgo = 30;
  s.sizeLabel = s.lastModifiedLabel = s.andLabel = s.daysLabel = true;
  s.columnWidths = {1, 2, 3, 4, 5, 6, 7, 8};
  s.startFolders = {"/a", "/b", "/c", "/d", "/e", "/f"};
  s.ignoreListFolder = "/g";
  s.bounds = {900, 700, 200, -5, 30};
  s.maximized = true;
  s.tab = 2;
  s.dialog = {SeparatorChoice::Unix,
              SeparatorChoice::Unix,
              "vi \"%PrFullName%\"",
              10,
              true,
              true,
              true,
              true};
  s.ignoreSubfolders = true;
  s.folderIgnoreList = "/tmp/*\n/proc";
  s.fileIgnoreList = "*.o";
  return s;
}

TEST(WindowSettings, FirstStartGivesTheDefaults) {
  MemoryStore store;
  MemorySideFiles files;
  const WindowSettings s = readWindowSettings(store, files, context(), true);
  EXPECT_EQ(s.path, (History{"/home/user", {}}));
  EXPECT_EQ(s.masks, (History{"*.*", {"*.html; *.htm", "*.txt"}}));
  EXPECT_TRUE(s.switches.phrase && s.switches.phraseReplace && s.switches.replace);
  EXPECT_TRUE(s.switches.createBackups && s.switches.trimLeft && s.switches.trimRight);
  EXPECT_TRUE(s.switches.includeSubfolders && s.switches.maximum && s.switches.between);
  EXPECT_FALSE(s.switches.minimum || s.switches.sizeFilter || s.switches.dateFilter);
  EXPECT_EQ(s.sizeLimit, 100);
  EXPECT_EQ(s.sizeUnit, 0);
  EXPECT_EQ(s.daysAgo, 2);
  EXPECT_EQ(dateOfDayNumber(s.lowerDate), (CivilDate{2023, 2, 28}));
  EXPECT_EQ(dateOfDayNumber(s.upperDate), (CivilDate{2024, 2, 29}));
  EXPECT_EQ(s.tab, 1);
  // 646 x 455 at 96 dpi, scaled to 120 dpi, centred on the 1600 x 1000 screen.
  EXPECT_EQ(s.bounds, (WindowBounds{807, 568, 95, (1600 - 807) / 2, (1000 - 568 - 30) / 2}));
  EXPECT_EQ(s.columnWidths, (std::array<int, 8>{120, 206, 52, 56, 103, 70, 75, 81}));
  EXPECT_FALSE(s.maximized);
  EXPECT_FALSE(s.findMemo);
  EXPECT_EQ(s.dialog.separator, SeparatorChoice::Keep);
  EXPECT_EQ(s.dialog.editor, "\"/usr/bin/gedit\" \"%PrFullName%\"");
  EXPECT_EQ(s.dialog.contextLinesIndex, 3);
  // A size the window measured replaces the classic one and is centred the same way.
  SettingsContext measured = context();
  measured.startWidth = 1000;
  measured.startHeight = 700;
  measured.startListHeight = 300;
  const WindowSettings m = readWindowSettings(store, files, measured, true);
  EXPECT_EQ(m.bounds, (WindowBounds{1000, 700, 300, 300, (1000 - 700 - 30) / 2}));
}

TEST(WindowSettings, EveryValueSurvivesARoundTrip) {
  const WindowSettings written = changedSettings();
  MemoryStore store;
  MemorySideFiles files;
  writeWindowSettings(store, files, written, true);
  WindowSettings read = readWindowSettings(store, files, context(), true);
  read.folderIgnoreList = *readMemo(files, kFolderIgnoreFile);  // read by the list dialogs
  read.fileIgnoreList = *readMemo(files, kFileIgnoreFile);
  read.lowerDateText = written.lowerDateText;  // the text forms are never read
  read.upperDateText = written.upperDateText;
  EXPECT_FALSE(read.searchMemo);  // an empty text made no file: the box stays as it is
  read.searchMemo = "";
  EXPECT_EQ(read, written);
  EXPECT_EQ(*store.read(Key::Options, "SearchRadioButton"), "1");
  EXPECT_EQ(*store.read(Key::Options, "MinDateTimePickerNum"), "255682");
  EXPECT_EQ(*store.read(Key::Options, "MinDateTimePicker"), "01/01/00");
  EXPECT_EQ(*store.read(Key::Main, "ComboBoxPathCountV"), "3");
  EXPECT_EQ(*store.read(Key::Main, "Edit21"), "");
  EXPECT_EQ(files.files[kFindMemoFile], "line 1\r\nline 2\r\n\r\n");
}

TEST(WindowSettings, DialogValuesAreWrittenOnlyWhenAsked) {
  MemoryStore store;
  MemorySideFiles files;
  writeWindowSettings(store, files, changedSettings(), false);
  for (const char* name : {"WinXPRadioButton", "KeepXPRadioButton", "Editor", "EditorA",
                           "BrowseComboBox", "IgnorePathsXPCh", "ReadOnly", "IgnoreSubFoldXPCh"})
    EXPECT_FALSE(store.read(Key::Options, name)) << name;
  EXPECT_FALSE(files.exists(kFolderIgnoreFile));
  EXPECT_EQ(*store.read(Key::Options, "NomTab"), "2");
}

TEST(WindowSettings, HistoriesWriteEightAndReadWhatTheCountSays) {
  WindowSettings s = defaultWindowSettings(context());
  for (int i = 0; i < 12; ++i) s.path.entries.push_back("/folder" + std::to_string(i));
  MemoryStore store;
  MemorySideFiles files;
  writeWindowSettings(store, files, s, false);
  EXPECT_EQ(*store.read(Key::Main, "ComboBoxPathCountV"), "8");
  EXPECT_FALSE(store.read(Key::Main, "ComboBoxPath8"));
  EXPECT_EQ(readWindowSettings(store, files, context(), false).path.entries.size(), 8u);

  for (int i = 8; i < 12; ++i) store.write(Key::Main, "ComboBoxPath" + std::to_string(i), "x");
  store.write(Key::Main, "ComboBoxPathCountV", "12");  // edited by hand
  store.write(Key::Main, "Edit2CountV", "3");
  store.write(Key::Main, "Edit20", "*.c");  // entries 1 and 2 are missing
  const WindowSettings read = readWindowSettings(store, files, context(), false);
  EXPECT_EQ(read.path.entries.size(), 12u);
  EXPECT_EQ(read.path.entries[11], "x");
  EXPECT_EQ(read.replacement.entries, (std::vector<std::string>{"*.c", "", ""}));

  store.write(Key::Main, "ComboBoxPathCountV", "1000000");
  EXPECT_EQ(readWindowSettings(store, files, context(), false).path.entries.size(),
            static_cast<std::size_t>(kMaxHistoryRead));
  store.write(Key::Main, "MasksComboBoxCountV", "-4");  // no entries: the two defaults
  EXPECT_EQ(readWindowSettings(store, files, context(), false).masks.entries,
            (std::vector<std::string>{"*.html; *.htm", "*.txt"}));
}

TEST(WindowSettings, GarbageFallsBackToTheDefaults) {
  MemoryStore store;
  MemorySideFiles files;
  for (const char* name : {"SizeSpinEdit", "DaysAgoSpinEdit", "FindWidth", "FindHeight",
                           "ColumnName", "NomTab", "MinDateTimePickerNum", "MaxDateTimePickerNum"})
    store.write(Key::Options, name, "garbage");
  store.write(Key::Options, "KBComboBox", "5");
  store.write(Key::Options, "BrowseComboBox", "11");
  store.write(Key::Options, "MaxDateTimePickerNum", "2147483647");
  const WindowSettings d = defaultWindowSettings(context());
  const WindowSettings s = readWindowSettings(store, files, context(), true);
  EXPECT_EQ(s.sizeLimit, d.sizeLimit);
  EXPECT_EQ(s.sizeUnit, 0);
  EXPECT_EQ(s.daysAgo, d.daysAgo);
  EXPECT_EQ(s.bounds, d.bounds);
  EXPECT_EQ(s.columnWidths, d.columnWidths);
  EXPECT_EQ(s.tab, 1);
  EXPECT_EQ(s.lowerDate, d.lowerDate);
  EXPECT_EQ(s.upperDate, d.upperDate);
  EXPECT_EQ(s.dialog.contextLinesIndex, 3);
  store.write(Key::Options, "NomTab", "7");
  EXPECT_EQ(readWindowSettings(store, files, context(), false).tab, 7);  // opens Options
}

TEST(DialogSettings, SeparatorsEditorAndSwitches) {
  MemoryStore store;
  DialogSettings values = readDialogSettings(store, "\"/usr/bin/kate\"");
  EXPECT_EQ(values.separator, SeparatorChoice::Keep);
  EXPECT_EQ(values.editor, "\"/usr/bin/kate\" \"%PrFullName%\"");
  writeDialogSettings(store, values);
  // Keep is stored beside a valid choice for readers that do not know it.
  for (auto [name, text] : {std::pair{"WinXPRadioButton", "1"},
                            {"UnXPRadioButton", "0"},
                            {"MacXPRadioButton", "0"},
                            {"KeepXPRadioButton", "1"},
                            {"Editor", "\"/usr/bin/kate\" \"%PrFullName%\""},
                            {"BrowseComboBox", "3"}})
    EXPECT_EQ(*store.read(Key::Options, name), text) << name;
  EXPECT_EQ(readDialogSettings(store, "other"), values);

  MemoryStore older;  // written before Keep existed: its choice holds
  older.write(Key::Options, "WinXPRadioButton", "0");
  older.write(Key::Options, "UnXPRadioButton", "1");
  older.write(Key::Options, "MacXPRadioButton", "0");
  older.write(Key::Options, "Editor", "\"/opt/ed\"");
  EXPECT_EQ(readDialogSettings(older, "x").separator, SeparatorChoice::Unix);
  EXPECT_EQ(readDialogSettings(older, "x").editor, "\"/opt/ed\" \"%PrFullName%\"");
  older.write(Key::Options, "UnXPRadioButton", "0");  // none set: Windows
  EXPECT_EQ(readDialogSettings(older, "x").separator, SeparatorChoice::Windows);
  older.write(Key::Options, "MacXPRadioButton", "1");
  older.write(Key::Options, "KeepXPRadioButton", "1");
  const DialogSettings keep = readDialogSettings(older, "x");
  EXPECT_EQ(keep.separator, SeparatorChoice::Keep);
  EXPECT_EQ(keep.storedChoice, SeparatorChoice::Macintosh);

  // The code page: a name offered, whatever its case; anything else is the default.
  for (auto [stored, read] : {std::pair{"", "Windows-1252"},
                              {"windows-1251", "Windows-1251"},
                              {"ISO-8859-15", "ISO-8859-15"},
                              {"UTF-7", "Windows-1252"}}) {
    older.write(Key::Options, "CodePage", stored);
    EXPECT_EQ(readDialogSettings(older, "x").codePage, read) << stored;
  }
  values.codePage = "CP437";
  writeDialogSettings(store, values);
  EXPECT_EQ(*store.read(Key::Options, "CodePage"), "CP437");

  // A picked editor program is quoted and gets the file.
  EXPECT_EQ(editorCommandFor("/opt/my tools/ed"), "\"/opt/my tools/ed\" \"%PrFullName%\"");
}

TEST(EditorDefault, FirstInstalledEditorElseXdgOpen) {
  EXPECT_EQ(defaultEditor([](const std::string&) { return std::nullopt; }), "xdg-open");
  const auto some = [](const std::string& name) -> std::optional<std::string> {
    if (name == "kate" || name == "geany") return "/usr/bin/" + name;
    return std::nullopt;
  };
  EXPECT_EQ(defaultEditor(some), "\"/usr/bin/kate\"");
  EXPECT_EQ(findInPath("sh").value_or("").ends_with("/sh"), true);
  EXPECT_FALSE(findInPath("no-such-program-kestrix"));
  EXPECT_FALSE(findInPath("bin/sh"));
}

}  // namespace
}  // namespace kestrix::app
