// Reading and writing the main window's record in the stored order.
#include "app/WindowSettings.h"

#include <algorithm>
#include <utility>

#include "app/StoredDate.h"

namespace kestrix::app {

namespace {

struct HistoryField {
  const char* name;
  History WindowSettings::*field;
};
constexpr HistoryField kHistories[] = {
    {"ComboBoxPath", &WindowSettings::path},     {"FindEditComboBox", &WindowSettings::findQuery},
    {"SearchEdit", &WindowSettings::searchText}, {"Edit2", &WindowSettings::replacement},
    {"MasksComboBox", &WindowSettings::masks},
};

struct MemoField {
  const char* file;
  std::optional<std::string> WindowSettings::*field;
};
constexpr MemoField kMemos[] = {
    {kFindMemoFile, &WindowSettings::findMemo},
    {kSearchMemoFile, &WindowSettings::searchMemo},
    {kReplaceMemoFile, &WindowSettings::replaceMemo},
};

struct SwitchField {
  const char* name;
  bool OptionSwitches::*field;
};
// SensitiveCheckBox to DeleteButton, then CreatBackupCheckBox.
constexpr SwitchField kTypeSwitches[] = {
    {"SensitiveCheckBox", &OptionSwitches::sensitive},
    {"WholeWordsCheckBox", &OptionSwitches::wholeWords},
    {"PhraseButton", &OptionSwitches::phrase},
    {"WordsorButton", &OptionSwitches::wordsOr},
    {"WordsandButton", &OptionSwitches::wordsAnd},
    {"ComplexButton", &OptionSwitches::searchEngine},
    {"TextButton", &OptionSwitches::multiline},
    {"RegExpFind", &OptionSwitches::regExpFind},
    {"RegExpSearch", &OptionSwitches::regExpSearch},
    {"PhraseButtonReplace", &OptionSwitches::phraseReplace},
    {"TextSearchButton", &OptionSwitches::multilineReplace},
    {"NoneButton", &OptionSwitches::none},
    {"ReplaceButton", &OptionSwitches::replace},
    {"ReplaceSpacesButton", &OptionSwitches::clear},
    {"InsertButton", &OptionSwitches::insertBefore},
    {"InsertAfterButton", &OptionSwitches::insertAfter},
    {"DeleteButton", &OptionSwitches::remove},
    {"CreatBackupCheckBox", &OptionSwitches::createBackups},
};
// After SearchRadioButton: PhraseXPCheckBox to NewestRadioButton.
constexpr SwitchField kOptionSwitches[] = {
    {"PhraseXPCheckBox", &OptionSwitches::phraseIntervals},
    {"RegExprXPCheckBox", &OptionSwitches::searchEachLine},
    {"ModifyXPCheckBox", &OptionSwitches::regexIntervals},
    {"TrimLeftCheckBox", &OptionSwitches::trimLeft},
    {"TrimRightCheckBox", &OptionSwitches::trimRight},
    {"ExpPointCheckBox", &OptionSwitches::dotMatchesBreaks},
    {"ExpSpaceCheckBox", &OptionSwitches::ignoreRegexSpaces},
    {"IncludeSubdirectoriesCheckBox", &OptionSwitches::includeSubfolders},
    {"AllSizeCheckBox", &OptionSwitches::sizeFilter},
    {"AllDateCheckBox", &OptionSwitches::dateFilter},
    {"MinimumRadioButton", &OptionSwitches::minimum},
    {"MaximumRadioButton", &OptionSwitches::maximum},
    {"BetweenRadioButton", &OptionSwitches::between},
    {"NewestRadioButton", &OptionSwitches::newerThan},
};

struct LabelField {
  const char* name;
  bool WindowSettings::*field;
};
constexpr LabelField kLabels[] = {
    {"Size", &WindowSettings::sizeLabel},
    {"Last", &WindowSettings::lastModifiedLabel},
    {"Andop", &WindowSettings::andLabel},
    {"Days", &WindowSettings::daysLabel},
};

constexpr const char* kColumnNames[] = {"ColumnName",       "ColumnPath",  "ColumnFound",
                                        "ColumnAttributes", "ColumnTime",  "ColumnSize",
                                        "ColumnType",       "ColumnResult"};
constexpr int kColumnDefaults[] = {96, 165, 42, 45, 83, 56, 60, 65};
constexpr const char* kStartFolderNames[] = {"InitialDir",
                                             "InitialDirV",
                                             "InitialDirOpenEditor",
                                             "InitialDirOpenProject",
                                             "InitialDirSaveProject",
                                             "InitialDirwCopy"};

int scaled(const SettingsContext& context, int pixels) {
  return pixels * context.dpi / 96;
}

// Histories ------------------------------------------------------------------------------

History readHistory(const KeyValueStore& store, const std::string& name, const History& fallback) {
  History history;
  history.text = readString(store, Key::Main, name + "Text", fallback.text);
  const int count = std::min(readInt(store, Key::Main, name + "CountV", 0), kMaxHistoryRead);
  for (int i = 0; i < count; ++i)
    history.entries.push_back(readString(store, Key::Main, name + std::to_string(i), {}));
  if (count < 1 && !fallback.entries.empty()) history.entries = fallback.entries;
  return history;
}

void writeHistory(KeyValueStore& store, const std::string& name, const History& history) {
  writeString(store, Key::Main, name + "Text", history.text);
  const int count = std::min(static_cast<int>(history.entries.size()), kMaxHistoryWritten);
  writeInt(store, Key::Main, name + "CountV", count);
  for (int i = 0; i < count; ++i)
    writeString(store, Key::Main, name + std::to_string(i), history.entries[i]);
}

// Options --------------------------------------------------------------------------------

void readSwitches(const KeyValueStore& store, const OptionSwitches& defaults, OptionSwitches& out) {
  for (const SwitchField& f : kTypeSwitches)
    out.*f.field = readBool(store, Key::Options, f.name, defaults.*f.field);
  for (const SwitchField& f : kOptionSwitches)
    out.*f.field = readBool(store, Key::Options, f.name, defaults.*f.field);
}

void writeSwitches(KeyValueStore& store, const OptionSwitches& switches) {
  for (const SwitchField& f : kTypeSwitches)
    writeBool(store, Key::Options, f.name, switches.*f.field);
  writeBool(store, Key::Options, "SearchRadioButton", !switches.createBackups);
  for (const SwitchField& f : kOptionSwitches)
    writeBool(store, Key::Options, f.name, switches.*f.field);
}

void readFilters(const KeyValueStore& store, const WindowSettings& d, WindowSettings& s) {
  s.sizeLimit = readInt(store, Key::Options, "SizeSpinEdit", d.sizeLimit);
  s.sizeUnit = readInt(store, Key::Options, "KBComboBox", d.sizeUnit);
  if (s.sizeUnit != 0 && s.sizeUnit != 1) s.sizeUnit = d.sizeUnit;
  const int lower = readInt(store, Key::Options, "MinDateTimePickerNum", d.lowerDate * 7);
  s.lowerDate = decodeLowerDate(lower).value_or(d.lowerDate);
  const int upper = readInt(store, Key::Options, "MaxDateTimePickerNum", d.upperDate * 9);
  s.upperDate = decodeUpperDate(upper).value_or(d.upperDate);
  s.daysAgo = readInt(store, Key::Options, "DaysAgoSpinEdit", d.daysAgo);
  for (const LabelField& f : kLabels)
    s.*f.field = readBool(store, Key::Options, f.name, d.*f.field);
}

void writeFilters(KeyValueStore& store, const WindowSettings& s) {
  writeInt(store, Key::Options, "SizeSpinEdit", s.sizeLimit);
  writeInt(store, Key::Options, "KBComboBox", s.sizeUnit);
  writeString(store, Key::Options, "MinDateTimePicker", s.lowerDateText);
  writeString(store, Key::Options, "MaxDateTimePicker", s.upperDateText);
  writeInt(store, Key::Options, "MinDateTimePickerNum", encodeLowerDate(s.lowerDate));
  writeInt(store, Key::Options, "MaxDateTimePickerNum", encodeUpperDate(s.upperDate));
  writeInt(store, Key::Options, "DaysAgoSpinEdit", s.daysAgo);
  for (const LabelField& f : kLabels) writeBool(store, Key::Options, f.name, s.*f.field);
}

void readBounds(const KeyValueStore& store, const SettingsContext& context, const WindowBounds& d,
                WindowBounds& b) {
  b.width = readInt(store, Key::Options, "FindWidth", d.width);
  b.height = readInt(store, Key::Options, "FindHeight", d.height);
  // The centring defaults halve with truncation toward zero.
  const int centredTop = (context.screenHeight - b.height - scaled(context, 24)) / 2;
  b.top = readInt(store, Key::Options, "FindTop", centredTop);
  b.left = readInt(store, Key::Options, "FindLeft", (context.screenWidth - b.width) / 2);
  b.listHeight = readInt(store, Key::Options, "FindListViewHeight", d.listHeight);
}

void writeBounds(KeyValueStore& store, const WindowBounds& b) {
  writeInt(store, Key::Options, "FindWidth", b.width);
  writeInt(store, Key::Options, "FindHeight", b.height);
  writeInt(store, Key::Options, "FindListViewHeight", b.listHeight);
  writeInt(store, Key::Options, "FindLeft", b.left);
  writeInt(store, Key::Options, "FindTop", b.top);
}

void readFolders(const KeyValueStore& store, WindowSettings& s) {
  for (std::size_t i = 0; i < s.startFolders.size(); ++i)
    s.startFolders[i] = readString(store, Key::Options, kStartFolderNames[i], {});
  s.ignoreListFolder = readString(store, Key::Options, "InitialDirwIgnPath", {});
}

void writeFolders(KeyValueStore& store, const WindowSettings& s) {
  for (std::size_t i = 0; i < s.startFolders.size(); ++i)
    writeString(store, Key::Options, kStartFolderNames[i], s.startFolders[i]);
  writeString(store, Key::Options, "InitialDirwIgnPath", s.ignoreListFolder);
}

}  // namespace

WindowSettings defaultWindowSettings(const SettingsContext& context) {
  WindowSettings s;
  s.path.text = context.homeFolder;
  s.masks = {"*.*", {"*.html; *.htm", "*.txt"}};
  s.upperDate = context.today;
  s.lowerDate = dayNumber(addMonths(dateOfDayNumber(context.today), -12));
  for (std::size_t i = 0; i < s.columnWidths.size(); ++i)
    s.columnWidths[i] = scaled(context, kColumnDefaults[i]);
  s.bounds.width = context.startWidth > 0 ? context.startWidth : scaled(context, 646);
  s.bounds.height = context.startHeight > 0 ? context.startHeight : scaled(context, 455);
  s.bounds.listHeight = context.startListHeight > 0 ? context.startListHeight : scaled(context, 76);
  s.bounds.left = (context.screenWidth - s.bounds.width) / 2;
  s.bounds.top = (context.screenHeight - s.bounds.height - scaled(context, 24)) / 2;
  s.dialog.editor = context.editorDefault + kEditorFileArgument;
  return s;
}

WindowSettings readWindowSettings(const KeyValueStore& store, SideFiles& files,
                                  const SettingsContext& context, bool includeDialogs) {
  const WindowSettings d = defaultWindowSettings(context);
  WindowSettings s = d;
  for (const HistoryField& h : kHistories) s.*h.field = readHistory(store, h.name, d.*h.field);
  for (const MemoField& m : kMemos) s.*m.field = readMemo(files, m.file);
  readSwitches(store, d.switches, s.switches);
  readFilters(store, d, s);
  if (includeDialogs) s.dialog = readDialogSettings(store, context.editorDefault);
  readBounds(store, context, d.bounds, s.bounds);
  s.tab = readInt(store, Key::Options, "NomTab", d.tab);
  for (std::size_t i = 0; i < s.columnWidths.size(); ++i)
    s.columnWidths[i] = readInt(store, Key::Options, kColumnNames[i], d.columnWidths[i]);
  readFolders(store, s);
  s.maximized = readBool(store, Key::Options, "MaxFind", d.maximized);
  if (includeDialogs) s.ignoreSubfolders = readIgnoreSubfolders(store);
  return s;
}

void writeWindowSettings(KeyValueStore& store, SideFiles& files, const WindowSettings& s,
                         bool includeDialogs) {
  for (const HistoryField& h : kHistories) writeHistory(store, h.name, s.*h.field);
  for (const MemoField& m : kMemos) writeMemo(files, m.file, (s.*m.field).value_or(""));
  writeSwitches(store, s.switches);
  writeFilters(store, s);
  if (includeDialogs) writeSeparatorValues(store, s.dialog);
  for (std::size_t i = 0; i < s.columnWidths.size(); ++i)
    writeInt(store, Key::Options, kColumnNames[i], s.columnWidths[i]);
  writeFolders(store, s);
  if (includeDialogs) writeEditorValues(store, s.dialog);
  writeBounds(store, s.bounds);
  writeBool(store, Key::Options, "MaxFind", s.maximized);
  writeInt(store, Key::Options, "NomTab", s.tab);
  if (!includeDialogs) return;
  writeDialogSwitches(store, s.dialog);
  writeIgnoreSubfolders(store, s.ignoreSubfolders);
  writeMemo(files, kFolderIgnoreFile, s.folderIgnoreList);
  writeMemo(files, kFileIgnoreFile, s.fileIgnoreList);
}

}  // namespace kestrix::app
