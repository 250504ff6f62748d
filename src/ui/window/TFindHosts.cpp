// The window's side of the feature controllers' host interfaces: what the Find command,
// the lines viewer's refresh, the reports and the command-line run ask of the window.
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateTimeEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>

#include "search/FilterValues.h"
#include "search/Find.h"
#include "ui/find/FindRunController.h"
#include "ui/find/FindTab.h"
#include "ui/find/QueryEditors.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/ModifyRequestReader.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ReportController.h"
#include "ui/settings/OptionsTab.h"
#include "ui/settings/SettingsController.h"
#include "ui/viewer/ViewerRefresh.h"
#include "ui/window/BusyIndicator.h"
#include "ui/window/BusyState.h"
#include "ui/window/History.h"
#include "ui/window/MainMenus.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/TFind.h"
#include "ui/window/WindowGeometry.h"

namespace kestrix::ui {

namespace {

search::Date toDate(const QDate& date) {
  return {date.year(), date.month(), date.day()};
}

void readFilters(const OptionsTab& o, search::SearchRequest& request) {
  if (o.AllSizeCheckBox->isChecked()) {
    request.sizeFilter =
        search::sizeFilterOf(o.AllMostRadioButton->isChecked(), o.SizeSpinEdit->value(),
                             o.KBComboBox->currentText() == "MB");
  }
  if (o.AllDateCheckBox->isChecked()) {
    request.dateFilter = o.NewestRadioButton->isChecked()
                             ? search::newerThan(o.DaysAgoSpinEdit->value())
                             : search::betweenDates(toDate(o.MinDateTimePicker->date()),
                                                    toDate(o.MaxDateTimePicker->date()));
  }
}

// The memo shows the lines one per paragraph; its own line break is LF.
void setMemoLines(QPlainTextEdit* memo, const std::vector<std::string>& lines) {
  QStringList texts;
  for (const std::string& line : lines) texts.append(QString::fromStdString(line));
  memo->setPlainText(texts.join('\n'));
}

SettingsController::StartFolder startFolderOf(ReportHost::SavedFile file) {
  switch (file) {
    case ReportHost::SavedFile::List:
      return SettingsController::SaveList;
    case ReportHost::SavedFile::Lines:
      return SettingsController::SaveLines;
  }
  return SettingsController::SaveList;
}

}  // namespace

// --- the Find command ---

TabQuery TFind::tabQuery(search::Origin origin) const {
  if (origin == search::Origin::Find)
    return {findTab->queryType(), findTab->FindEditComboBox, findTab->FindMemo,
            findTab->usesMemo()};
  return {replaceTab->searchType(), replaceTab->SearchEdit, replaceTab->SearchMemo,
          replaceTab->usesMemo()};
}

void TFind::readWindowControls(search::SearchRequest& request) const {
  request.folder = search::normalizeFolder(ComboBoxPath->currentText().toStdString());
  request.masksText = MasksComboBox->currentText().toStdString();
  request.caseSensitive = SensitiveCheckBox->isChecked();
  request.wholeWords = WholeWordsCheckBox->isChecked();
  const OptionsTab& options = *optionsTab;
  request.ignoreLeadingSpaces = options.TrimLeftCheckBox->isChecked();
  request.ignoreTrailingSpaces = options.TrimRightCheckBox->isChecked();
  request.dotMatchesLineSeparators = options.ExpPointCheckBox->isChecked();
  request.ignoreRegexWhitespace = options.ExpSpaceCheckBox->isChecked();
  request.searchEachLine = options.RegExprXPCheckBox->isChecked();
  request.includeSubfolders = options.IncludeSubdirectoriesCheckBox->isChecked();
  request.searchInResults = ListXPCheckBox->isChecked();
  request.createBackups = options.CreatBackupCheckBox->isChecked();
  readFilters(options, request);
  const bool fromReplaceTab = request.origin == search::Origin::SearchAndReplace;
  request.resultColumnShown = state_.resultColumnShown || fromReplaceTab;
  request.intervalsInUse = fromReplaceTab && intervalsInForceNow(*this, *replaceTab);
  settings_->applyTo(request);
}

void TFind::setFolderText(const QString& text) {
  ComboBoxPath->setEditText(text);
}

void TFind::setMasksText(const QString& text) {
  MasksComboBox->setEditText(text);
}

void TFind::rememberFolderAndMasks(const QString& folder) {
  pushHistory(ComboBoxPath, folder);
  if (!MasksComboBox->currentText().trimmed().isEmpty())
    pushHistory(MasksComboBox, MasksComboBox->currentText());
}

void TFind::warnUser(const QString& caption, const QString& text) {
  showWarning(this, caption, text);
}

void TFind::searchStarting() {
  replaceTab->ModifyAllButton->setEnabled(false);
  state_.undoBeforeSearch = modify_->canUndo();
  modify_->offerUndo(false);
}

void TFind::showEmptyResults() {
  viewerRefresh_->clearViewer();
  geometry_->expand();
}

void TFind::beginBusy() {
  busy_->begin();
  Animate1->start();
}

void TFind::rewindBusyAnimation() {
  Animate1->reset();
}

void TFind::endBusy(bool listHasRows) {
  Animate1->stop();
  busy_->end();
  ListXPCheckBox->setEnabled(listHasRows);
  if (!listHasRows) ListXPCheckBox->setChecked(false);
  ComboBoxPath->setEnabled(!(listHasRows && ListXPCheckBox->isChecked()));
  disableStopButtons();
  // A search leaves nothing to undo; the modify commands follow their enable rules.
  modify_->offerUndo(false);
  geometry_->applyTabLayout();
}

void TFind::disableStopButtons() {
  findTab->StopButton->setEnabled(false);
  replaceTab->StopReplaceButton->setEnabled(false);
}

// --- the lines viewer's refresh ---

const search::SearchRequest* TFind::lastRunRequest() const {
  return findRun_->hasRun() ? &findRun_->lastRequest() : nullptr;
}

// --- the report commands ---

void TFind::wireReportCommands() {
  connectCommand(menus->createReport, reports_, &ReportController::createReport);
  connectCommand(menus->browseContext, reports_, &ReportController::browseContext);
  connectCommand(menus->saveList, reports_, &ReportController::saveList);
  connectCommand(menus->saveLines, reports_, &ReportController::saveLines);
}

search::Origin TFind::activeTabOrigin() const {
  return PageControl1->currentIndex() == SearchReplacePage ? search::Origin::SearchAndReplace
                                                           : search::Origin::Find;
}

// The conditions with the folder and masks as typed.
results::ReportConditions TFind::reportConditions(const search::SearchRequest& request,
                                                  bool searchInResults) const {
  results::ReportConditions c = results::conditionsOf(request, results::nowStamp());
  c.searchInResults = searchInResults;
  c.folderText = ComboBoxPath->currentText().toStdString();
  c.masksText = MasksComboBox->currentText().toStdString();
  return c;
}

void TFind::setSearchInResultsEnabled(bool enabled) {
  ListXPCheckBox->setEnabled(enabled);
}

void TFind::disableRowCommands() {
  replaceTab->DeleteItemsButton->setEnabled(false);
  replaceTab->ModifySelectedButton->setEnabled(false);
}

std::vector<bool> TFind::disableListMenu() {
  QMenu& menu = *menus->listMenu;
  std::vector<bool> states;
  for (QAction* action : menu.actions()) {
    states.push_back(action->isEnabled());
    action->setEnabled(false);
  }
  states.push_back(menu.isEnabled());
  menu.setEnabled(false);
  return states;
}

void TFind::restoreListMenu(const std::vector<bool>& states) {
  QMenu& menu = *menus->listMenu;
  const QList<QAction*> actions = menu.actions();
  if (states.size() != static_cast<std::size_t>(actions.size()) + 1) return;
  for (qsizetype i = 0; i < actions.size(); ++i)
    actions[i]->setEnabled(states[static_cast<std::size_t>(i)]);
  menu.setEnabled(states.back());
}

void TFind::holdInputs(bool hold) {
  hold ? busy_->begin() : busy_->end();
}

bool TFind::statusBarShown() const {
  return statusBar()->isVisible();
}

QString TFind::startFolder(SavedFile file) const {
  return settings_->startFolder(startFolderOf(file));
}

void TFind::setStartFolder(SavedFile file, const QString& folder) {
  settings_->setStartFolder(startFolderOf(file), folder);
}

void TFind::restoreUndoOffer() {
  // Undo stays possible after searches as long as its backups are untouched.
  if (state_.undoBeforeSearch && !modify_->journal().empty()) modify_->offerUndo(true);
}

// --- the command-line run ---

app::CommandRunFields TFind::commandRunFields() const {
  const SearchReplaceTab& tab = *replaceTab;
  app::CommandRunFields f;
  f.folder = ComboBoxPath->currentText().toStdString();
  f.masks = MasksComboBox->currentText().toStdString();
  f.phraseSearch = tab.searchType() == search::QueryType::Phrase;
  f.modification = tab.modificationType();
  f.searchText = tab.SearchEdit->currentText().toStdString();
  f.searchLines = memoLines(tab.SearchMemo);
  f.replaceText = tab.Edit2->currentText().toStdString();
  f.replaceLines = memoLines(tab.Memo2);
  return f;
}

void TFind::applyCommandRunFields(const app::CommandRunFields& f) {
  const app::CommandRunFields now = commandRunFields();
  SearchReplaceTab& tab = *replaceTab;
  const auto text = [](const std::string& s) { return QString::fromStdString(s); };
  if (f.folder != now.folder) ComboBoxPath->setEditText(text(f.folder));
  if (f.masks != now.masks) MasksComboBox->setEditText(text(f.masks));
  if (f.searchText != now.searchText) tab.SearchEdit->setEditText(text(f.searchText));
  if (f.replaceText != now.replaceText) tab.Edit2->setEditText(text(f.replaceText));
  if (f.searchLines != now.searchLines) setMemoLines(tab.SearchMemo, f.searchLines);
  if (f.replaceLines != now.replaceLines) setMemoLines(tab.Memo2, f.replaceLines);
}

void TFind::runModifyAll() {
  modify_->modifyAll();
}

}  // namespace kestrix::ui
