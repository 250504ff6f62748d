// Runs a search from the window: validation, busy state, the core run, messages, and the
// window's state afterwards.
#include "ui/find/FindRunController.h"

#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>

#include "search/Cells.h"
#include "search/Find.h"
#include "search/QueryPosition.h"
#include "search/RunEndStatus.h"
#include "search/SearchFolder.h"
#include "ui/find/FindHost.h"
#include "ui/find/QueryEditors.h"
#include "ui/find/RunObserver.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/window/History.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

using search::Origin;

namespace {

// `folder` with a leading "~" made the user's home folder.
std::string homeExpanded(const std::string& folder) {
  return search::expandHome(folder, QDir::homePath().toStdString());
}

}  // namespace

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
  host_.setFolderText(
      QString::fromStdString(homeExpanded(host_.folderText().trimmed().toStdString())));
  run(buildRequest(origin));
}

void FindRunController::run(search::SearchRequest request) {
  if (running_ || state_.busy) return;
  const Origin origin = request.origin;
  request.folder = homeExpanded(request.folder);
  host_.searchStarting();
  if (!validate(request)) return;
  const std::vector<std::string> listed =
      request.searchInResults ? snapshot() : std::vector<std::string>{};
  running_ = true;
  beginBusy(request);
  RunObserver observer(
      results_, origin, [this] { return state_.stop.abortRequested; },
      [this](int panel, const QString& text) { host_.setStatusText(panel, text); },
      [this](const QString& caption, const QString& text) { host_.warnUser(caption, text); });
  search::FindOutcome outcome = search::runFind(request, observer, &listed);
  observer.flush();
  request.termTable = outcome.termTable;
  lastRequest_ = request;
  hasRun_ = true;
  if (!outcome.masksShown.empty()) host_.setMasksText(QString::fromStdString(outcome.masksShown));
  if (outcome.error) showError(*outcome.error, origin);
  finish(request, outcome.stopped);
}

bool FindRunController::validate(search::SearchRequest& request) {
  try {
    search::validateRequest(request);
    search::requireSearchFolder(request);
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
  const bool hasRows = results_.rowCount() > 0;
  const search::RunEndStatus status = search::runEndStatus(
      origin, static_cast<std::size_t>(results_.rowCount()), stopped, request.masksText);
  if (status.counter) host_.setStatusText(0, QString::fromStdString(*status.counter));
  host_.setStatusText(1, QString::fromStdString(status.folder));
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
  QPlainTextEdit* memo = host_.tabQuery(origin).memo;
  const std::optional<std::size_t> at =
      search::editorPositionOfQuery(memoLines(memo), static_cast<std::size_t>(position));
  if (!at) return;
  QTextCursor cursor = memo->textCursor();
  cursor.setPosition(static_cast<int>(*at));
  cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
  memo->setTextCursor(cursor);
  memo->setFocus();
}

}  // namespace kestrix::ui
