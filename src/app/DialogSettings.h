// The values the settings dialog and the folder ignore-list dialog keep under `Options`:
// line separator, editor command, context size, the ignore-list switches and the
// permissions for read-only and hidden files.
#pragma once

#include <string>

#include "app/KeyValueStore.h"

namespace kestrix::app {

// The line break of rewritten files. Keep leaves each line's own break.
enum class SeparatorChoice { Windows, Unix, Macintosh, Keep };

struct DialogSettings {
  SeparatorChoice separator = SeparatorChoice::Keep;
  // The choice among Windows, Unix and Macintosh that is stored beside Keep, so that a
  // reader that does not know Keep still finds one of them set. Never Keep.
  SeparatorChoice storedChoice = SeparatorChoice::Windows;
  std::string editor;         // the editor command line (`EditorA`)
  int contextLinesIndex = 3;  // item of the context-lines choice; 3 is "5"
  bool ignoreFolders = false;
  bool ignoreFiles = false;
  bool modifyReadOnly = false;
  bool modifyHidden = false;
  // The code page of files that are neither UTF-8 nor UTF-16 with a byte-order mark
  // (`CodePage`): one of text::legacyCodePages(), by its name.
  std::string codePage = "Windows-1252";
  bool operator==(const DialogSettings&) const = default;
};

// Items of the context-lines choice: "1", "2", "3", "5", "10", "15", "20", "30", "50",
// "100", "All".
inline constexpr int kContextLinesItems = 11;

// Reads the settings dialog's values. `editorDefault` is the `Editor` default (a quoted
// program path); the editor command defaults to the `Editor` value + " \"%PrFullName%\"".
// The separator: Keep when KeepXPRadioButton is set, else the last set of WinXPRadioButton,
// UnXPRadioButton, MacXPRadioButton (Windows when none is). Keep is the default, except for
// values stored without KeepXPRadioButton by an older writer, whose choice holds. A context
// index outside the items gives 3. A `CodePage` that names no code page offered gives
// Windows-1252.
DialogSettings readDialogSettings(const KeyValueStore& store, const std::string& editorDefault);
// Writes them in the order WinXPRadioButton, UnXPRadioButton, MacXPRadioButton,
// KeepXPRadioButton, Editor, EditorA, BrowseComboBox, IgnorePathsXPCh, IgnoreFilesXPCh,
// ReadOnly, ReplaceHiddenCheckBox, CodePage; `Editor` and `EditorA` both get the editor
// command.
void writeDialogSettings(KeyValueStore& store, const DialogSettings& values);

// The four separator values as written (Windows, Unix, Macintosh, Keep).
void writeSeparatorValues(KeyValueStore& store, const DialogSettings& values);
// The context index, the four switches and the code page as written (BrowseComboBox ...
// CodePage).
void writeDialogSwitches(KeyValueStore& store, const DialogSettings& values);
// `Editor` and `EditorA`.
void writeEditorValues(KeyValueStore& store, const DialogSettings& values);

// The folder ignore list's "Ignore Subfolders Too" switch (`IgnoreSubFoldXPCh`).
bool readIgnoreSubfolders(const KeyValueStore& store);
void writeIgnoreSubfolders(KeyValueStore& store, bool on);

// The name of the legacy code page `name` names (without regard to case), or the default
// Windows-1252 when it names none.
std::string knownCodePage(const std::string& name);

// The cap of the undo history the window's runs apply: the oldest runs are dropped until
// the kept originals take at most `megabytes` MB (MiB) and at most `runs` runs are left.
struct HistoryCap {
  int megabytes = 1024;  // `HistoryMaxSize`, 1 to 1048576
  int runs = 50;         // `HistoryMaxRuns`, 1 to 10000
  bool operator==(const HistoryCap&) const = default;
};
inline constexpr int kMaxHistoryMegabytes = 1048576;
inline constexpr int kMaxHistoryRuns = 10000;

// Reads the cap; a value outside its range gives its default.
HistoryCap readHistoryCap(const KeyValueStore& store);
void writeHistoryCap(KeyValueStore& store, const HistoryCap& cap);

// The placeholder appended to a bare editor program.
inline constexpr const char* kEditorFileArgument = " \"%PrFullName%\"";

// The editor command that runs `program` on the file: the program in double quotes, then
// kEditorFileArgument.
std::string editorCommandFor(const std::string& program);

}  // namespace kestrix::app
