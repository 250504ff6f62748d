// Reading and writing the settings dialog's values.
#include "app/DialogSettings.h"

#include "text/Encoding.h"

namespace kestrix::app {

namespace {

SeparatorChoice readSeparator(const KeyValueStore& store, DialogSettings& values) {
  const bool unix = readBool(store, Key::Options, "UnXPRadioButton", false);
  const bool mac = readBool(store, Key::Options, "MacXPRadioButton", false);
  // The buttons are set in the order Windows, Unix, Macintosh, each one clearing the
  // others, so the last one set wins; with none set, Windows.
  values.storedChoice = mac    ? SeparatorChoice::Macintosh
                        : unix ? SeparatorChoice::Unix
                               : SeparatorChoice::Windows;
  // Keep is the default, unless the values come from a writer that did not know it.
  const bool older =
      !store.read(Key::Options, "KeepXPRadioButton") &&
      (store.read(Key::Options, "WinXPRadioButton") ||
       store.read(Key::Options, "UnXPRadioButton") || store.read(Key::Options, "MacXPRadioButton"));
  if (readBool(store, Key::Options, "KeepXPRadioButton", !older)) return SeparatorChoice::Keep;
  return values.storedChoice;
}

}  // namespace

std::string knownCodePage(const std::string& name) {
  const text::CodePageChoice* page = text::findLegacyCodePage(name);
  return page ? page->name : text::kDefaultLegacyCodePage;
}

DialogSettings readDialogSettings(const KeyValueStore& store, const std::string& editorDefault) {
  DialogSettings values;
  values.separator = readSeparator(store, values);
  const std::string editor = readString(store, Key::Options, "Editor", editorDefault);
  values.editor = readString(store, Key::Options, "EditorA", editor + kEditorFileArgument);
  const int index = readInt(store, Key::Options, "BrowseComboBox", 3);
  values.contextLinesIndex = index >= 0 && index < kContextLinesItems ? index : 3;
  values.ignoreFolders = readBool(store, Key::Options, "IgnorePathsXPCh", false);
  values.ignoreFiles = readBool(store, Key::Options, "IgnoreFilesXPCh", false);
  values.modifyReadOnly = readBool(store, Key::Options, "ReadOnly", false);
  values.modifyHidden = readBool(store, Key::Options, "ReplaceHiddenCheckBox", false);
  values.codePage = knownCodePage(readString(store, Key::Options, "CodePage", ""));
  return values;
}

void writeSeparatorValues(KeyValueStore& store, const DialogSettings& values) {
  const SeparatorChoice shown =
      values.separator == SeparatorChoice::Keep ? values.storedChoice : values.separator;
  writeBool(store, Key::Options, "WinXPRadioButton", shown == SeparatorChoice::Windows);
  writeBool(store, Key::Options, "UnXPRadioButton", shown == SeparatorChoice::Unix);
  writeBool(store, Key::Options, "MacXPRadioButton", shown == SeparatorChoice::Macintosh);
  writeBool(store, Key::Options, "KeepXPRadioButton", values.separator == SeparatorChoice::Keep);
}

void writeEditorValues(KeyValueStore& store, const DialogSettings& values) {
  writeString(store, Key::Options, "Editor", values.editor);
  writeString(store, Key::Options, "EditorA", values.editor);
}

void writeDialogSwitches(KeyValueStore& store, const DialogSettings& values) {
  writeInt(store, Key::Options, "BrowseComboBox", values.contextLinesIndex);
  writeBool(store, Key::Options, "IgnorePathsXPCh", values.ignoreFolders);
  writeBool(store, Key::Options, "IgnoreFilesXPCh", values.ignoreFiles);
  writeBool(store, Key::Options, "ReadOnly", values.modifyReadOnly);
  writeBool(store, Key::Options, "ReplaceHiddenCheckBox", values.modifyHidden);
  writeString(store, Key::Options, "CodePage", values.codePage);
}

void writeDialogSettings(KeyValueStore& store, const DialogSettings& values) {
  writeSeparatorValues(store, values);
  writeEditorValues(store, values);
  writeDialogSwitches(store, values);
}

bool readIgnoreSubfolders(const KeyValueStore& store) {
  return readBool(store, Key::Options, "IgnoreSubFoldXPCh", false);
}

void writeIgnoreSubfolders(KeyValueStore& store, bool on) {
  writeBool(store, Key::Options, "IgnoreSubFoldXPCh", on);
}

HistoryCap readHistoryCap(const KeyValueStore& store) {
  const HistoryCap defaults;
  HistoryCap cap;
  cap.megabytes = readInt(store, Key::Options, "HistoryMaxSize", defaults.megabytes);
  if (cap.megabytes < 1 || cap.megabytes > kMaxHistoryMegabytes) cap.megabytes = defaults.megabytes;
  cap.runs = readInt(store, Key::Options, "HistoryMaxRuns", defaults.runs);
  if (cap.runs < 1 || cap.runs > kMaxHistoryRuns) cap.runs = defaults.runs;
  return cap;
}

void writeHistoryCap(KeyValueStore& store, const HistoryCap& cap) {
  writeInt(store, Key::Options, "HistoryMaxSize", cap.megabytes);
  writeInt(store, Key::Options, "HistoryMaxRuns", cap.runs);
}

std::string editorCommandFor(const std::string& program) {
  return "\"" + program + "\"" + kEditorFileArgument;
}

}  // namespace kestrix::app
