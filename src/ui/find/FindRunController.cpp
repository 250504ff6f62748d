// Runs a search from the window: validation, busy state, the core run, messages, and the
// window's state afterwards.
#include "ui/find/FindRunController.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>

#include "search/Cells.h"
#include "search/Find.h"
#include "ui/find/FindHost.h"
#include "ui/find/QueryEditors.h"
#include "ui/find/RunObserver.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/window/History.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

using search::Origin;

FindRunController::FindRunController(QObject* parent, FindHost& host, WindowState& state,
                                     ResultsModel& results, ResultsView& view)
    : QObject(parent), host_(host), state_(state), results_(results), view_(view) {}

search::SearchRequest FindRunController::buildRequest(Origin origin) const {
  search::SearchRequest request;
  request.origin = origin;
  const TabQuery query = host_.tabQuery(origin);
  request.queryType = query.type;
  request.queryText = query.box->currentText().toStdString();
  request.queryLines = memoLines(query.memo);
  host_.readWindowControls(request);
  return request;
}

void FindRunController::run(Origin origin) {
  if (running_ || state_.busy) return;
  host_.setFolderText(expandHome(host_.folderText().trimmed()));
  run(buildRequest(origin));
}

void FindRunController::run(search::SearchRequest request) {
  if (running_ || state_.busy) return;
  const Origin origin = request.origin;
  request.folder = expandHome(QString::fromStdString(request.folder)).toStdString();
  host_.searchStarting();
  if (!validate(request) || !folderExists(request)) return;
  const std::vector<std::string> listed =
      request.searchInResults ? snapshot() : std::vector<std::string>{};
  running_ = true;
  beginBusy(request);
  RunObserver observer(
      results_, origin, [this] { return state_.stop.abortRequested; },
      [this](const QString& text) { host_.setStatusText(0, text); },
      [this](const QString& caption, const QString& text) { host_.warnUser(caption, text); });
  observer.setFolderDisplay([this](const QString& folder) { host_.setStatusText(1, folder); });
  search::FindOutcome outcome = search::runFind(request, observer, &listed);
  observer.flush();
  request.termTable = outcome.termTable;
  lastRequest_ = request;
  hasRun_ = true;
  if (!outcome.masksShown.empty()) host_.setMasksText(QString::fromStdString(outcome.masksShown));
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
  state_.stop.abortRequested = true;
  host_.warnUser(QString::fromStdString(search::originCaption(request.origin)),
                 QString("Folder \"%1\" does not exist").arg(folder));
  return false;
}

bool FindRunController::validate(search::SearchRequest& request) {
  try {
    search::validateRequest(request);
    return true;
  } catch (const search::SearchError& error) {
    state_.stop.abortRequested = true;
    host_.warnUser(QString::fromStdString(error.caption()), QString::fromStdString(error.text()));
    return false;
  }
}

std::vector<std::string> FindRunController::snapshot() const {
  std::vector<std::string> names;
  names.reserve(results_.items().size());
  for (const search::ResultItem& item : results_.items()) names.push_back(item.fullName());
  return names;
}

void FindRunController::beginBusy(const search::SearchRequest& request) {
  results_.sortState().clearFlags();
  results_.setSearchRunning(true);
  view_.setSearchRunning(true);
  results_.clear();
  host_.showEmptyResults();
  host_.setStatusText(0, {});
  host_.setStatusText(1, {});
  results_.setFoundColumnShown(!search::hasEmptyQuery(request));
  if (request.origin == Origin::SearchAndReplace) state_.resultColumnShown = true;
  const bool intervals = request.intervalsInUse && !search::hasEmptyQuery(request);
  results_.setResultColumn(state_.resultColumnShown, intervals
                                                         ? ResultsModel::kResultIntervalCaption
                                                         : ResultsModel::kResultCaption);
  state_.busy = true;
  host_.beginBusy();
  state_.stop.clearAll();
  host_.setStatusText(0, QString::fromStdString(search::startStatusText(request.origin)));
  host_.setFolderText(QString::fromStdString(request.folder));
  updateHistories(request.origin, request);
  host_.setStatusText(1, QString::fromStdString(request.folder));
}

void FindRunController::updateHistories(Origin origin, const search::SearchRequest& request) {
  host_.rememberFolderAndMasks(QString::fromStdString(request.folder));
  const TabQuery query = host_.tabQuery(origin);
  if (!query.memoShown && !query.box->currentText().trimmed().isEmpty())
    pushHistory(query.box, query.box->currentText());
}

void FindRunController::finish(const search::SearchRequest& request, bool stopped) {
  const Origin origin = request.origin;
  host_.setStatusText(1, {});
  const bool hasRows = results_.rowCount() > 0;
  if (stopped) {
    // A stopped run is no "Not Found": it says so beside the count reached.
    host_.setStatusText(0, QString::fromStdString(search::foundStatusText(
                               origin, static_cast<std::size_t>(results_.rowCount()))));
    host_.setStatusText(1, QStringLiteral("Stopped"));
  } else if (!hasRows) {
    host_.setStatusText(0, QString::fromStdString(search::notFoundStatusText()));
    if (masksLookMisseparated(QString::fromStdString(request.masksText)))
      host_.setStatusText(1, kMaskSeparatorHint);
  }
  state_.listOrigin = origin == Origin::Find ? ListOrigin::Find : ListOrigin::SearchAndReplace;
  endBusy();
  if (hasRows && !stopped && view_.selectionModel()->selectedRows().isEmpty())
    view_.selectOnlyRow(0);
  host_.updateCommands();
  emit finished();
}

void FindRunController::endBusy() {
  state_.busy = false;
  running_ = false;
  results_.setSearchRunning(false);
  view_.setSearchRunning(false);
  host_.endBusy(results_.rowCount() > 0);
}

void FindRunController::stop() {
  state_.stop.raiseAll();
  host_.disableStopButtons();
}

void FindRunController::showError(const search::SearchError& error, Origin origin) {
  host_.rewindBusyAnimation();
  if (error.position() > 0) selectInMemo(error.position(), origin);
  host_.warnUser(QString::fromStdString(error.caption()), QString::fromStdString(error.text()));
}

void FindRunController::selectInMemo(int position, Origin origin) {
  // The position counts bytes of the memo's lines joined by CR LF; the memo joins by LF and
  // counts characters.
  QPlainTextEdit* memo = host_.tabQuery(origin).memo;
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
