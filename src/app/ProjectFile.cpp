// Writing and reading project files in their fixed order of entries.
#include "app/ProjectFile.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "app/ProjectLines.h"
#include "app/StoredDate.h"
#include "platform/AtomicWrite.h"
#include "platform/Platform.h"
#include "text/Encoding.h"

namespace kestrix::app {

namespace {

using modify::BatchState;

constexpr History WindowSettings::*kHistories[] = {
    &WindowSettings::path, &WindowSettings::findQuery, &WindowSettings::searchText,
    &WindowSettings::replacement, &WindowSettings::masks};
constexpr std::optional<std::string> WindowSettings::*kMemos[] = {
    &WindowSettings::findMemo, &WindowSettings::searchMemo, &WindowSettings::replaceMemo};

// Entry 9.
constexpr bool OptionSwitches::*kTypeSwitches[] = {
    &OptionSwitches::sensitive,        &OptionSwitches::wholeWords,
    &OptionSwitches::phrase,           &OptionSwitches::wordsOr,
    &OptionSwitches::wordsAnd,         &OptionSwitches::searchEngine,
    &OptionSwitches::multiline,        &OptionSwitches::phraseReplace,
    &OptionSwitches::multilineReplace, &OptionSwitches::none,
    &OptionSwitches::replace,          &OptionSwitches::clear,
    &OptionSwitches::insertBefore,     &OptionSwitches::insertAfter,
    &OptionSwitches::remove,           &OptionSwitches::createBackups};
// Entry 11.
constexpr bool OptionSwitches::*kFilterSwitches[] = {
    &OptionSwitches::trimLeft,   &OptionSwitches::trimRight,  &OptionSwitches::includeSubfolders,
    &OptionSwitches::sizeFilter, &OptionSwitches::dateFilter, &OptionSwitches::minimum,
    &OptionSwitches::maximum,    &OptionSwitches::between,    &OptionSwitches::newerThan};
// Entry 21.
constexpr bool OptionSwitches::*kRegexSwitches[] = {
    &OptionSwitches::regExpFind, &OptionSwitches::regExpSearch, &OptionSwitches::dotMatchesBreaks,
    &OptionSwitches::ignoreRegexSpaces};
// Entry 15.
constexpr bool WindowSettings::*kLabels[] = {&WindowSettings::sizeLabel,
                                             &WindowSettings::lastModifiedLabel,
                                             &WindowSettings::andLabel, &WindowSettings::daysLabel};
// Entry 17 holds the first five start folders; the sixth (Copy Files) is entry 24.
constexpr std::size_t kProjectStartFolders = 5;
constexpr std::size_t kCopyTargetFolder = 5;

// Dates --------------------------------------------------------------------------------

std::string isoDate(int day) {
  const CivilDate date = dateOfDayNumber(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

int digits(std::string_view text) {
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') throw BadProjectLine();
    value = value * 10 + (c - '0');
  }
  return value;
}

// The day number of a yyyy-MM-dd line.
int parseIsoDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') throw BadProjectLine();
  const CivilDate date{digits(text.substr(0, 4)), digits(text.substr(5, 2)),
                       digits(text.substr(8, 2))};
  if (date.month < 1 || date.month > 12 || date.day < 1) throw BadProjectLine();
  const int day = dayNumber(date);
  // dateOfDayNumber gives back the same date only for a real one (no 31 April).
  if (dateOfDayNumber(day) != date || day < kFirstDayNumber || day > kLastDayNumber)
    throw BadProjectLine();
  return day;
}

// A day number of entry 20; 0 keeps `current`.
int dayOrCurrent(int stored, int current) {
  if (stored == 0) return current;
  if (stored < kFirstDayNumber || stored > kLastDayNumber) throw BadProjectLine();
  return stored;
}

// Writing --------------------------------------------------------------------------------

std::vector<std::string> writtenHistory(const History& history) {
  const std::size_t count = std::min<std::size_t>(history.entries.size(), kMaxHistoryWritten);
  return {history.entries.begin(), history.entries.begin() + static_cast<std::ptrdiff_t>(count)};
}

int writtenTab(int tab) {
  return tab == 1 || tab == 2 ? tab : 3;
}

void writeSeparator(ProjectLineWriter& out, SeparatorChoice choice) {
  out.flag(choice == SeparatorChoice::Windows);
  out.flag(choice == SeparatorChoice::Unix);
  out.flag(choice == SeparatorChoice::Macintosh);
}

void writeMainEntries(ProjectLineWriter& out, const WindowSettings& s) {
  for (const auto field : kHistories) {
    out.text((s.*field).text);
    out.list(writtenHistory(s.*field));
  }
  for (const auto field : kMemos) out.memo((s.*field).value_or(""));
  for (const auto field : kTypeSwitches) out.flag(s.switches.*field);
  out.flag(s.switches.createBackups);
  for (const auto field : kFilterSwitches) out.flag(s.switches.*field);
  out.number(s.sizeLimit);
  out.number(s.sizeUnit);
  out.text(isoDate(s.lowerDate));
  out.text(isoDate(s.upperDate));
  out.number(s.daysAgo);
  for (const auto field : kLabels) out.flag(s.*field);
  for (const int width : s.columnWidths) out.number(width);
  for (std::size_t i = 0; i < kProjectStartFolders; ++i) out.text(s.startFolders[i]);
  out.text(s.dialog.editor);
  out.number(writtenTab(s.tab));
  out.number(s.lowerDate);
  out.number(s.upperDate);
  for (const auto field : kRegexSwitches) out.flag(s.switches.*field);
  out.text(s.dialog.editor);
}

void writeDialogEntries(ProjectLineWriter& out, const WindowSettings& s) {
  writeSeparator(out, s.dialog.separator);
  out.text(s.startFolders[kCopyTargetFolder]);
  out.flag(s.switches.phraseIntervals);
  out.number(s.dialog.contextLinesIndex);
  out.flag(s.switches.searchEachLine);
  out.flag(s.switches.regexIntervals);
  out.flag(s.dialog.ignoreFolders);
  out.flag(s.dialog.ignoreFiles);
  out.flag(s.dialog.modifyReadOnly);
  out.flag(s.dialog.modifyHidden);
  out.flag(s.ignoreSubfolders);
  out.memo(s.folderIgnoreList);
  out.memo(s.fileIgnoreList);
  out.text(s.ignoreListFolder);
}

void writeBatchEntries(ProjectLineWriter& out, const BatchState& batch) {
  out.number(batch.width);
  out.number(batch.height);
  out.number(batch.rowsSpin);
  out.number(batch.searchColumnWidth);
  out.number(batch.replaceColumnWidth);
  const std::vector<modify::BatchPair>& rows = batch.table.rows;
  if (rows.empty()) return;
  out.number(static_cast<int>(rows.size()));
  for (const modify::BatchPair& pair : rows) out.text(pair.search);
  for (const modify::BatchPair& pair : rows) out.text(pair.replace);
}

// The code page of the settings dialog, after the batch entries: one line
// "CodePage=" + name, written only when it is not the default Windows-1252 (so a project
// with the default has exactly the entries above). A reader of the entries above stops
// before it; when the batch has no rows the line stands where its row count would, and
// such a reader ends its last section there with everything before in effect.
constexpr std::string_view kCodePagePrefix = "CodePage=";

void writeCodePageEntry(ProjectLineWriter& out, const DialogSettings& dialog) {
  if (dialog.codePage == text::kDefaultLegacyCodePage) return;
  out.text(std::string(kCodePagePrefix) + dialog.codePage);
}

// Reading --------------------------------------------------------------------------------

// Reads the code-page line when it is the next line (a file without it keeps the current
// code page).
bool readCodePageEntry(ProjectLineReader& in, DialogSettings& dialog) {
  ProjectLineReader ahead = in;
  const std::string line = ahead.text();
  if (line.rfind(kCodePagePrefix, 0) != 0) return false;
  dialog.codePage = knownCodePage(line.substr(kCodePagePrefix.size()));
  in = ahead;
  return true;
}

History readHistory(ProjectLineReader& in) {
  History history;
  history.text = in.text();
  history.entries = in.list();
  if (history.entries.size() > static_cast<std::size_t>(kMaxHistoryRead))
    history.entries.resize(kMaxHistoryRead);
  return history;
}

// Entries 1 to 19; any bad line refuses the file. Gives entry 18.
std::string readMainEntries(ProjectLineReader& in, WindowSettings& s) {
  for (const auto field : kHistories) s.*field = readHistory(in);
  for (const auto field : kMemos) s.*field = in.memo();
  for (const auto field : kTypeSwitches) s.switches.*field = in.flag();
  in.flag();
  for (const auto field : kFilterSwitches) s.switches.*field = in.flag();
  s.sizeLimit = in.number();
  const int unit = in.number();
  s.sizeUnit = unit == 1 ? 1 : 0;
  s.lowerDate = parseIsoDate(in.text());
  s.upperDate = parseIsoDate(in.text());
  s.daysAgo = in.number();
  for (const auto field : kLabels) s.*field = in.flag();
  for (int& width : s.columnWidths) width = in.number();
  for (std::size_t i = 0; i < kProjectStartFolders; ++i) s.startFolders[i] = in.text();
  std::string olderEditor = in.text();
  s.tab = in.number();
  return olderEditor;
}

// Entries 20 and 21.
void readDateEntries(ProjectLineReader& in, WindowSettings& s) {
  s.lowerDate = dayOrCurrent(in.number(), s.lowerDate);
  s.upperDate = dayOrCurrent(in.number(), s.upperDate);
  for (const auto field : kRegexSwitches) s.switches.*field = in.flag();
}

// Entry 23. Three FALSE lines are Keep Original, and so is a file that ended before them
// (written without the entry): taking Windows there would turn LF files into CR LF on the
// next Modify.
void readSeparator(ProjectLineReader& in, DialogSettings& d) {
  const bool windows = in.flag();
  const bool unix = in.flag();
  const bool mac = in.flag();
  // The choices behave as radio buttons set in turn: the last one set wins.
  SeparatorChoice choice = SeparatorChoice::Keep;
  if (windows) choice = SeparatorChoice::Windows;
  if (unix) choice = SeparatorChoice::Unix;
  if (mac) choice = SeparatorChoice::Macintosh;
  d.separator = choice;
  d.storedChoice = choice == SeparatorChoice::Keep ? SeparatorChoice::Windows : choice;
}

int contextIndex(const std::string& line) {
  if (line.empty()) return 3;
  const std::optional<int> index = parseDecimal(line);
  if (!index) throw BadProjectLine();
  return *index >= 0 && *index < kContextLinesItems ? *index : 3;
}

// Entries 23 to 31.
void readDialogEntries(ProjectLineReader& in, WindowSettings& s, bool& loaded) {
  readSeparator(in, s.dialog);
  s.startFolders[kCopyTargetFolder] = in.text();
  s.switches.phraseIntervals = in.flag();
  s.dialog.contextLinesIndex = contextIndex(in.text());
  loaded = true;
  s.switches.searchEachLine = in.flag();
  s.switches.regexIntervals = in.flag();
  s.dialog.ignoreFolders = in.flag();
  s.dialog.ignoreFiles = in.flag();
  s.dialog.modifyReadOnly = in.flag();
  s.dialog.modifyHidden = in.flag();
  s.ignoreSubfolders = in.flag();
  s.folderIgnoreList = in.memo();
  s.fileIgnoreList = in.memo();
  s.ignoreListFolder = in.text();
}

void keepPositive(int value, int& field) {
  if (value > 0) field = value;
}

// Entries 32 to 35.
void readBatchEntries(ProjectLineReader& in, BatchState& batch, DialogSettings& dialog) {
  const int width = in.number();
  const int height = in.number();
  if (width > 0 && height > 0) {
    batch.width = width;
    batch.height = height;
  }
  keepPositive(in.number(), batch.rowsSpin);
  keepPositive(in.number(), batch.searchColumnWidth);
  keepPositive(in.number(), batch.replaceColumnWidth);
  if (readCodePageEntry(in, dialog)) return;  // no rows
  const int count = in.number();
  if (count <= 0) return;
  if (static_cast<std::size_t>(count) > modify::kMaxBatchRows) throw BadProjectLine();
  std::vector<modify::BatchPair> rows(static_cast<std::size_t>(count));
  for (modify::BatchPair& pair : rows) pair.search = modify::normalizeBatchCell(in.text()).text;
  for (modify::BatchPair& pair : rows) pair.replace = modify::normalizeBatchCell(in.text()).text;
  batch.table.rows = std::move(rows);
  if (batch.rowsSpin > count) modify::resizeBatchTable(batch.table, batch.rowsSpin);
  batch.rowsSpin = static_cast<int>(batch.table.rows.size());
  readCodePageEntry(in, dialog);
}

// Entries 20 and 21 take this many lines.
constexpr int kDateEntryLines = 6;

// Runs one section that ends silently at a bad line: what it read so far stays in effect.
// Returns false when it ended so.
template <class Section>
bool guarded(Section section) {
  try {
    section();
    return true;
  } catch (const BadProjectLine&) {
    return false;
  }
}

}  // namespace

std::string formatProject(const Project& project) {
  ProjectLineWriter out;
  writeMainEntries(out, project.settings);
  writeDialogEntries(out, project.settings);
  writeBatchEntries(out, project.batch);
  writeCodePageEntry(out, project.settings.dialog);
  return out.bytes();
}

ProjectRead parseProject(std::string_view bytes, const Project& current) {
  ProjectRead read{current, false};
  WindowSettings& s = read.project.settings;
  ProjectLineReader in(bytes);
  std::string olderEditor;
  try {
    olderEditor = readMainEntries(in, s);
  } catch (const BadProjectLine&) {
    throw ProjectError(ProjectError::Kind::Incorrect, kIncorrectProject);
  }
  // A bad line in entries 20-21 must not shift the later entries: reading goes on after
  // the section's last line.
  const ProjectLineReader dateEntries = in;
  if (!guarded([&] { readDateEntries(in, s); })) {
    in = dateEntries;
    in.skip(kDateEntryLines);
  }
  s.dialog.editor = in.text();
  if (s.dialog.editor.empty() && !olderEditor.empty())
    s.dialog.editor = olderEditor + kEditorFileArgument;
  s.dialog.codePage = text::kDefaultLegacyCodePage;  // unless the file names another
  guarded([&] {
    readDialogEntries(in, s, read.loaded);
    readBatchEntries(in, read.project.batch, s.dialog);
  });
  return read;
}

void writeProject(const std::string& path, const Project& project) {
  if (platform::exists(path)) platform::makeWritable(path);
  platform::writeFileAtomically(path, formatProject(project));
}

ProjectRead readProject(const std::string& path, const Project& current) {
  if (!platform::exists(path))
    throw ProjectError(ProjectError::Kind::NotFound, "File \"" + path + "\" not found");
  std::string bytes;
  try {
    bytes = platform::readRegularFile(path, static_cast<std::int64_t>(kMaxProjectBytes));
  } catch (const platform::PlatformError&) {
    throw ProjectError(ProjectError::Kind::Incorrect, kIncorrectProject);
  }
  return parseProject(bytes, current);
}

}  // namespace kestrix::app
