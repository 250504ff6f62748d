// Runs a search from the window: validation, busy state, the core run, messages, and the
// window's state afterwards.
#include "ui/find/FindRunController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>

#include "search/Cells.h"
#include "search/Find.h"
#include "ui/find/FindTab.h"
#include "ui/find/QueryEditors.h"
#include "ui/find/RunObserver.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/ModifyRequestReader.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
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

using search::Origin;
using search::QueryType;

namespace {

search::Date toDate(const QDate& date) {
  return {date.year(), date.month(), date.day()};
}

void readFilters(const OptionsTab& options, search::SearchRequest& request) {
  if (options.AllSizeCheckBox->isChecked()) {
    search::SizeFilter size;
    size.kind = options.AllMostRadioButton->isChecked() ? search::SizeFilter::Kind::Maximum
                                                        : search::SizeFilter::Kind::Minimum;
    const std::int64_t unit = options.KBComboBox->currentText() == "MB" ? 1000000 : 1000;
    size.limitBytes = static_cast<std::int64_t>(options.SizeSpinEdit->value()) * unit;
    request.sizeFilter = size;
  }
  if (options.AllDateCheckBox->isChecked()) {
    search::DateFilter date;
    if (options.NewestRadioButton->isChecked()) {
      date.kind = search::DateFilter::Kind::NewerThan;
      date.days = options.DaysAgoSpinEdit->value();
    } else {
      date.minDate = toDate(options.MinDateTimePicker->date());
      date.maxDate = toDate(options.MaxDateTimePicker->date());
    }
    request.dateFilter = date;
  }
}

}  // namespace

FindRunController::FindRunController(TFind& window) : QObject(&window), window_(window) {}

search::SearchRequest FindRunController::buildRequest(Origin origin) const {
  search::SearchRequest request;
  request.origin = origin;
  request.folder = search::normalizeFolder(window_.ComboBoxPath->currentText().toStdString());
  request.masksText = window_.MasksComboBox->currentText().toStdString();
  if (origin == Origin::Find) {
    request.queryType = window_.findTab->queryType();
    request.queryText = window_.findTab->FindEditComboBox->currentText().toStdString();
    request.queryLines = memoLines(window_.findTab->FindMemo);
  } else {
    request.queryType = window_.replaceTab->searchType();
    request.queryText = window_.replaceTab->SearchEdit->currentText().toStdString();
    request.queryLines = memoLines(window_.replaceTab->SearchMemo);
  }
  request.caseSensitive = window_.SensitiveCheckBox->isChecked();
  request.wholeWords = window_.WholeWordsCheckBox->isChecked();
  const OptionsTab& options = *window_.optionsTab;
  request.ignoreLeadingSpaces = options.TrimLeftCheckBox->isChecked();
  request.ignoreTrailingSpaces = options.TrimRightCheckBox->isChecked();
  request.dotMatchesLineSeparators = options.ExpPointCheckBox->isChecked();
  request.ignoreRegexWhitespace = options.ExpSpaceCheckBox->isChecked();
  request.searchEachLine = options.RegExprXPCheckBox->isChecked();
  request.includeSubfolders = options.IncludeSubdirectoriesCheckBox->isChecked();
  request.searchInResults = window_.ListXPCheckBox->isChecked();
  request.createBackups = options.CreatBackupCheckBox->isChecked();
  readFilters(options, request);
  request.resultColumnShown =
      window_.state().resultColumnShown || origin == Origin::SearchAndReplace;
  request.intervalsInUse =
      origin == Origin::SearchAndReplace && intervalsInForceNow(window_, *window_.replaceTab);
  window_.settings().applyTo(request);
  return request;
}

void FindRunController::run(Origin origin) {
  if (running_ || window_.state().busy) return;
  window_.ComboBoxPath->setEditText(expandHome(window_.ComboBoxPath->currentText().trimmed()));
  run(buildRequest(origin));
}

void FindRunController::run(search::SearchRequest request) {
  if (running_ || window_.state().busy) return;
  const Origin origin = request.origin;
  request.folder = expandHome(QString::fromStdString(request.folder)).toStdString();
  window_.replaceTab->ModifyAllButton->setEnabled(false);
  window_.state().undoBeforeSearch = window_.modifyController().canUndo();
  window_.modifyController().offerUndo(false);
  if (!validate(request) || !folderExists(request)) return;
  const std::vector<std::string> listed =
      request.searchInResults ? snapshot() : std::vector<std::string>{};
  running_ = true;
  beginBusy(request);
  RunObserver observer(
      *window_.results, origin, [this] { return window_.state().stop.abortRequested; },
      [this](const QString& text) { window_.setStatusText(0, text); },
      [this](const QString& caption, const QString& text) {
        showWarning(&window_, caption, text);
      });
  observer.setFolderDisplay([this](const QString& folder) { window_.setStatusText(1, folder); });
  search::FindOutcome outcome = search::runFind(request, observer, &listed);
  observer.flush();
  request.termTable = outcome.termTable;
  lastRequest_ = request;
  hasRun_ = true;
  if (!outcome.masksShown.empty())
    window_.MasksComboBox->setEditText(QString::fromStdString(outcome.masksShown));
  if (outcome.error) showError(*outcome.error, origin);
  finish(request, outcome.stopped);
}

const QString kMaskSeparatorHint =
    QStringLiteral("Masks are separated by \";\" (for example \"*.txt; *.md\")");

bool masksLookMisseparated(const QString& masks) {
  // Blanks around ";" are fine; a comma, or a blank between two masks, is a likely slip.
  for (const QString& mask : masks.split(';')) {
    const QString trimmed = mask.trimmed();
    if (trimmed.contains(',') || trimmed.contains(' ')) return true;
  }
  return false;
}

QString expandHome(const QString& folder) {
  if (folder == "~") return QDir::homePath();
  if (folder.startsWith("~/")) return QDir::homePath() + folder.mid(1);
  return folder;
}

bool FindRunController::folderExists(const search::SearchRequest& request) {
  // A folder that is not there would list nothing and look like "Not Found"; it also
  // stays out of the folder history.
  if (request.searchInResults || request.folder.empty()) return true;
  const QString folder = QString::fromStdString(request.folder);
  if (QFileInfo(folder).isDir()) return true;
  window_.state().stop.abortRequested = true;
  showWarning(&window_, search::originCaption(request.origin),
              QString("Folder \"%1\" does not exist").arg(folder));
  return false;
}

bool FindRunController::validate(search::SearchRequest& request) {
  try {
    search::validateRequest(request);
    return true;
  } catch (const search::SearchError& error) {
    window_.state().stop.abortRequested = true;
    showWarning(&window_, QString::fromStdString(error.caption()),
                QString::fromStdString(error.text()));
    return false;
  }
}

std::vector<std::string> FindRunController::snapshot() const {
  std::vector<std::string> names;
  names.reserve(window_.results->items().size());
  for (const search::ResultItem& item : window_.results->items()) names.push_back(item.fullName());
  return names;
}

void FindRunController::beginBusy(const search::SearchRequest& request) {
  WindowState& state = window_.state();
  window_.results->sortState().clearFlags();
  window_.results->setSearchRunning(true);
  window_.ListView1->setSearchRunning(true);
  window_.results->clear();
  window_.viewerRefresh().clearViewer();
  window_.geometryController().expand();
  window_.setStatusText(0, {});
  window_.setStatusText(1, {});
  window_.results->setFoundColumnShown(!search::hasEmptyQuery(request));
  if (request.origin == Origin::SearchAndReplace) state.resultColumnShown = true;
  const bool intervals = request.intervalsInUse && !search::hasEmptyQuery(request);
  window_.results->setResultColumn(
      state.resultColumnShown,
      intervals ? ResultsModel::kResultIntervalCaption : ResultsModel::kResultCaption);
  state.busy = true;
  window_.busyState().begin();
  state.stop.clearAll();
  window_.setStatusText(0, QString::fromStdString(search::startStatusText(request.origin)));
  window_.ComboBoxPath->setEditText(QString::fromStdString(request.folder));
  updateHistories(request.origin, request);
  window_.setStatusText(1, QString::fromStdString(request.folder));
  window_.Animate1->start();
}

void FindRunController::updateHistories(Origin origin, const search::SearchRequest& request) {
  pushHistory(window_.ComboBoxPath, QString::fromStdString(request.folder));
  QComboBox* query =
      origin == Origin::Find ? window_.findTab->FindEditComboBox : window_.replaceTab->SearchEdit;
  const bool ownEditorShown =
      origin == Origin::Find ? !window_.findTab->usesMemo() : !window_.replaceTab->usesMemo();
  if (ownEditorShown && !query->currentText().trimmed().isEmpty())
    pushHistory(query, query->currentText());
  if (!window_.MasksComboBox->currentText().trimmed().isEmpty())
    pushHistory(window_.MasksComboBox, window_.MasksComboBox->currentText());
}

void FindRunController::finish(const search::SearchRequest& request, bool stopped) {
  WindowState& state = window_.state();
  const Origin origin = request.origin;
  window_.setStatusText(1, {});
  window_.Animate1->stop();
  const bool hasRows = window_.results->rowCount() > 0;
  if (stopped) {
    // A stopped run is no "Not Found": it says so beside the count reached.
    window_.setStatusText(0, QString::fromStdString(search::foundStatusText(
                                 origin, static_cast<std::size_t>(window_.results->rowCount()))));
    window_.setStatusText(1, QStringLiteral("Stopped"));
  } else if (!hasRows) {
    window_.setStatusText(0, QString::fromStdString(search::notFoundStatusText()));
    if (masksLookMisseparated(QString::fromStdString(request.masksText)))
      window_.setStatusText(1, kMaskSeparatorHint);
  }
  state.listOrigin = origin == Origin::Find ? ListOrigin::Find : ListOrigin::SearchAndReplace;
  endBusy();
  if (hasRows && !stopped && window_.ListView1->selectionModel()->selectedRows().isEmpty())
    window_.selectRow(0);
  window_.updateCommands();
  emit finished();
}

void FindRunController::endBusy() {
  WindowState& state = window_.state();
  window_.busyState().end();
  state.busy = false;
  running_ = false;
  window_.results->setSearchRunning(false);
  window_.ListView1->setSearchRunning(false);
  const bool hasRows = window_.results->rowCount() > 0;
  window_.ListXPCheckBox->setEnabled(hasRows);
  if (!hasRows) window_.ListXPCheckBox->setChecked(false);
  window_.ComboBoxPath->setEnabled(!(hasRows && window_.ListXPCheckBox->isChecked()));
  window_.findTab->StopButton->setEnabled(false);
  window_.replaceTab->StopReplaceButton->setEnabled(false);
  // A search leaves nothing to undo; the modify commands follow their enable rules.
  window_.modifyController().offerUndo(false);
  window_.geometryController().applyTabLayout();
}

void FindRunController::stop() {
  WindowState& state = window_.state();
  state.stop.raiseAll();
  window_.findTab->StopButton->setEnabled(false);
  window_.replaceTab->StopReplaceButton->setEnabled(false);
}

void FindRunController::showError(const search::SearchError& error, Origin origin) {
  window_.Animate1->reset();
  if (error.position() > 0) selectInMemo(error.position(), origin);
  showWarning(&window_, QString::fromStdString(error.caption()),
              QString::fromStdString(error.text()));
}

void FindRunController::selectInMemo(int position, Origin origin) {
  // The position counts bytes of the memo's lines joined by CR LF; the memo joins by LF and
  // counts characters.
  QPlainTextEdit* memo =
      origin == Origin::Find ? window_.findTab->FindMemo : window_.replaceTab->SearchMemo;
  const std::vector<std::string> lines = memoLines(memo);
  std::size_t offset = static_cast<std::size_t>(position - 1);
  int characters = 0;
  for (const std::string& line : lines) {
    if (offset <= line.size()) {
      characters += static_cast<int>(QString::fromStdString(line.substr(0, offset)).size());
      QTextCursor cursor = memo->textCursor();
      cursor.setPosition(characters);
      cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
      memo->setTextCursor(cursor);
      memo->setFocus();
      return;
    }
    offset -= std::min(offset, line.size() + 2);
    characters += static_cast<int>(QString::fromStdString(line).size()) + 1;
  }
}

}  // namespace kestrix::ui
