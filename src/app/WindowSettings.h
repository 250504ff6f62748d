// The plain record of everything the main window keeps between runs: the five histories,
// the three multi-line texts, every value of `Options` with its default, the window bounds,
// the active tab and the dialog start folders; and its reading from and writing to the
// store and the side files, in the stored order.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/DialogSettings.h"
#include "app/KeyValueStore.h"
#include "app/SideFiles.h"

namespace kestrix::app {

// At most this many entries of a history are written.
inline constexpr int kMaxHistoryWritten = 8;
// At most this many entries of a history are loaded, whatever the stored count says.
inline constexpr int kMaxHistoryRead = 100;

// One combo box: its text and its drop-down entries, newest first.
struct History {
  std::string text;
  std::vector<std::string> entries;
  bool operator==(const History&) const = default;
};

// What the defaults depend on: the screen, today and this system.
struct SettingsContext {
  int dpi = 96;  // pixel defaults are scaled by dpi / 96 (integer division)
  int screenWidth = 1280;
  int screenHeight = 1024;
  int today = 0;              // day number of today
  std::string homeFolder;     // the default folder
  std::string editorDefault;  // the `Editor` default (see defaultEditor())
  // The window's size on a first start, measured by the window from its fonts so that the
  // lists show enough rows; 0 keeps the classic 646 x 455 with a 76-pixel list (scaled).
  int startWidth = 0, startHeight = 0, startListHeight = 0;
};

// Option switches of the tabs, in the stored order.
struct OptionSwitches {
  bool sensitive = false;          // SensitiveCheckBox
  bool wholeWords = false;         // WholeWordsCheckBox
  bool phrase = true;              // PhraseButton
  bool wordsOr = false;            // WordsorButton
  bool wordsAnd = false;           // WordsandButton
  bool searchEngine = false;       // ComplexButton
  bool multiline = false;          // TextButton
  bool regExpFind = false;         // RegExpFind
  bool regExpSearch = false;       // RegExpSearch
  bool phraseReplace = true;       // PhraseButtonReplace
  bool multilineReplace = false;   // TextSearchButton
  bool none = false;               // NoneButton
  bool replace = true;             // ReplaceButton
  bool clear = false;              // ReplaceSpacesButton
  bool insertBefore = false;       // InsertButton
  bool insertAfter = false;        // InsertAfterButton
  bool remove = false;             // DeleteButton
  bool createBackups = true;       // CreatBackupCheckBox (SearchRadioButton is its negation)
  bool phraseIntervals = false;    // PhraseXPCheckBox
  bool searchEachLine = false;     // RegExprXPCheckBox
  bool regexIntervals = false;     // ModifyXPCheckBox
  bool trimLeft = true;            // TrimLeftCheckBox
  bool trimRight = true;           // TrimRightCheckBox
  bool dotMatchesBreaks = false;   // ExpPointCheckBox
  bool ignoreRegexSpaces = false;  // ExpSpaceCheckBox
  bool includeSubfolders = true;   // IncludeSubdirectoriesCheckBox
  bool sizeFilter = false;         // AllSizeCheckBox
  bool dateFilter = false;         // AllDateCheckBox
  bool minimum = false;            // MinimumRadioButton
  bool maximum = true;             // MaximumRadioButton
  bool between = true;             // BetweenRadioButton
  bool newerThan = false;          // NewestRadioButton
  bool operator==(const OptionSwitches&) const = default;
};

// NormalBounds: the window in normal state.
struct WindowBounds {
  int width = 0;       // FindWidth
  int height = 0;      // FindHeight: the height while the results are shown
  int listHeight = 0;  // FindListViewHeight
  int left = 0;        // FindLeft
  int top = 0;         // FindTop
  bool operator==(const WindowBounds&) const = default;
};

struct WindowSettings {
  // ComboBoxPath, FindEditComboBox, SearchEdit, Edit2, MasksComboBox.
  History path, findQuery, searchText, replacement, masks;
  // FindMemo.tmp, SearchMemo.tmp, ReplaceMemo.tmp; nothing when the file is missing.
  std::optional<std::string> findMemo, searchMemo, replaceMemo;
  OptionSwitches switches;
  int sizeLimit = 100;                       // SizeSpinEdit
  int sizeUnit = 0;                          // KBComboBox: 0 KB, 1 MB
  std::string lowerDateText, upperDateText;  // MinDateTimePicker / MaxDateTimePicker, never read
  int lowerDate = 0;                         // day number (MinDateTimePickerNum / 7)
  int upperDate = 0;                         // day number (MaxDateTimePickerNum / 9)
  int daysAgo = 2;                           // DaysAgoSpinEdit
  bool sizeLabel = false, lastModifiedLabel = false, andLabel = false, daysLabel = false;
  // ColumnName, ColumnPath, ColumnFound, ColumnAttributes, ColumnTime, ColumnSize,
  // ColumnType, ColumnResult.
  std::array<int, 8> columnWidths{};
  // InitialDir, InitialDirV, InitialDirOpenEditor, InitialDirOpenProject,
  // InitialDirSaveProject, InitialDirwCopy: empty means "leave as it was".
  std::array<std::string, 6> startFolders;
  std::string ignoreListFolder;  // InitialDirwIgnPath, assigned even when empty
  WindowBounds bounds;
  bool maximized = false;  // MaxFind
  int tab = 1;             // NomTab: 1 Find, 2 Search and Replace, anything else Options

  // With dialog values only: the settings dialog's values, the folder list's switch and
  // the two ignore lists.
  DialogSettings dialog;
  bool ignoreSubfolders = false;
  std::string folderIgnoreList, fileIgnoreList;
  bool operator==(const WindowSettings&) const = default;
};

// The settings of a first start.
WindowSettings defaultWindowSettings(const SettingsContext& context);

// Reads the record in the stored order; missing or malformed values take the defaults.
// With `includeDialogs` the dialog values are read too (not the ignore lists, which the
// list dialogs read themselves).
WindowSettings readWindowSettings(const KeyValueStore& store, SideFiles& files,
                                  const SettingsContext& context, bool includeDialogs);

// Writes the histories (at most 8 entries each), the three memo files and the `Options`
// values in the stored order; with `includeDialogs` also the dialog values and, after
// them, the two ignore-list files.
void writeWindowSettings(KeyValueStore& store, SideFiles& files, const WindowSettings& settings,
                         bool includeDialogs);

}  // namespace kestrix::app
