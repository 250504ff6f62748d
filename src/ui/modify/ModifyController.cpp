// Runs the modify pass, undo and erase backups from the window.
#include "ui/modify/ModifyController.h"

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "modify/DataFolderFiles.h"
#include "modify/EraseMessages.h"
#include "modify/History.h"
#include "modify/HistoryTexts.h"
#include "modify/HistoryUndo.h"
#include "modify/ModifyPass.h"
#include "modify/OutcomeTexts.h"
#include "modify/Review.h"
#include "modify/TemporaryLog.h"
#include "modify/Undo.h"
#include "ui/modify/ChangeTreeModel.h"
#include "ui/modify/ModifyEnableRules.h"
#include "ui/modify/ModifyRunObserver.h"
#include "ui/modify/PreviewDialog.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/viewer/ViewerRefresh.h"
#include "ui/window/BusyIndicator.h"
#include "ui/window/BusyState.h"
#include "ui/window/History.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/ScreenScale.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

namespace {
// The Result column is widened to this (at 96 dots per inch) when an undo fails.
constexpr int kMinimumResultWidth = 70;
}  // namespace

ModifyController::ModifyController(const ModifyContext& context)
    : QObject(&context.window),
      context_(context),
      window_(context.window),
      host_(context.host),
      rules_(new ModifyEnableRules(context, this)),
      previewDialog_(new PreviewDialog(&context.window)),
      trash_([](const std::string& name) {
        return QFile::moveToTrash(QFile::decodeName(name.c_str()));
      }) {
  connect(previewDialog_, &PreviewDialog::changeOpened, this, &ModifyController::openChange);
  // Once the window has its folder: Undo is offered at start when the history holds an
  // undoable run of that folder (made by the window or by ksr, before a restart or not).
  QTimer::singleShot(0, this, [this] {
    if (!context_.state.busy) enableUndoFromHistory();
  });
}

ModifyController::~ModifyController() = default;

modify::ModifyRequest ModifyController::currentRequest(modify::ModifyScope scope) const {
  return readModifyRequest(host_, context_.tab, scope);
}

// Only files inside the folder the rows were searched in may be changed.
std::string ModifyController::searchedFolder() const {
  const search::SearchRequest* last = host_.lastSearch();
  return last != nullptr ? last->folder : std::string();
}

std::vector<std::size_t> ModifyController::selectedRows() const {
  std::vector<std::size_t> rows;
  for (int row : context_.list.selectedRows()) rows.push_back(static_cast<std::size_t>(row));
  std::sort(rows.begin(), rows.end());
  return rows;
}

bool ModifyController::validate(const modify::ModifyRequest& request) {
  if (const auto message = modify::validateModifyRequest(request)) {
    showWarning(&window_, QString::fromStdString(message->caption),
                QString::fromStdString(message->text));
    return false;
  }
  return true;
}

void ModifyController::beginBusy() {
  WindowState& state = context_.state;
  host_.setStatusText(1, {});
  state.busy = true;
  context_.busy.begin();
  // A pass or an undo sets Undo itself afterwards.
  state.undoBeforeSearch = false;
  context_.results.setSearchRunning(true);
  context_.list.setSearchRunning(true);
  state.stop.abortRequested = false;
  state.stop.run = false;
  context_.animation.start();
}

void ModifyController::endBusy() {
  WindowState& state = context_.state;
  context_.animation.stop();
  context_.busy.end();
  state.busy = false;
  context_.results.setSearchRunning(false);
  context_.list.setSearchRunning(false);
  context_.tab.StopReplaceButton->setEnabled(false);
  offerUndo(false);
  host_.updateCommands();
}

void ModifyController::offerUndo(bool offered) {
  undoOffered_ = offered;
  context_.tab.UndoButton->setEnabled(offered);
}

void ModifyController::runPass(modify::ModifyScope scope, const PassRunner& run) {
  if (context_.state.busy) return;
  runRequest(currentRequest(scope), run, PassSource::Tab);
}

std::optional<ModifyController::PassReport> ModifyController::modifyAllWith(
    const modify::ModifyRequest& request) {
  return runRequest(request, modify::runModifyPass, PassSource::BatchPair);
}

std::optional<ModifyController::PassReport> ModifyController::runRequest(
    const modify::ModifyRequest& request, const PassRunner& run, PassSource source) {
  WindowState& state = context_.state;
  if (state.busy || !validate(request)) return std::nullopt;
  const modify::ModifyScope scope = request.scope;
  beginBusy();
  const std::vector<std::size_t> selected = selectedRows();
  if (scope == modify::ModifyScope::Selected && selected.empty()) {
    endBusy();
    showWarning(&window_, modify::kModifyCaption, modify::kSelectSomeItems);
    return std::nullopt;
  }
  SearchReplaceTab& tab = context_.tab;
  if (source == PassSource::Tab && !tab.usesMemo() && !tab.Edit2->currentText().isEmpty())
    pushHistory(tab.Edit2, tab.Edit2->currentText());
  context_.refresh.clearViewer();
  std::vector<search::ResultItem> rows = context_.results.items();
  ModifyRunObserver observer(
      context_.results, &rows, [&state] { return state.stop.abortRequested || state.stop.run; },
      [this](const QString& caption, const QString& text) {
        showWarning(&window_, caption, text);
      });
  modify::PassOptions options;
  options.intervalHeadingShown = rules_->intervalHeadingShown();
  options.searchedFolder = searchedFolder();
  options.temporaryLog = modify::temporaryLogIfAny();
  options.historyFolder = modify::historyFolderIfAny();
  const app::HistoryCap cap = host_.historyCap();
  options.historyLimits = modify::HistoryLimits{std::int64_t{cap.megabytes} * 1024 * 1024,
                                                static_cast<std::size_t>(cap.runs)};
  options.historyHeader.origin = host_.commandLineRun() ? "kestrix -com" : "window";
  bool stopped = false;
  modify::PassSummary summary;
  try {
    summary = run(request, rows, selected, journal_, observer, options);
    stopped = summary.stopped;
  } catch (const modify::ModifyError& error) {
    // A replacement limit: nothing was changed and the run (or a batch) ends.
    state.stop.abortRequested = true;
    stopped = true;
    showWarning(&window_, QString::fromStdString(error.caption()), error.what());
  }
  endBusy();
  reportOutcome(
      source == PassSource::Tab ? FailureNotice::Shown : FailureNotice::Left,
      modify::kModifyCaption,
      QString::fromStdString(modify::modifiedSummary(summary.modified, summary.failed, stopped)),
      observer);
  offerUndo(request.createBackups && !journal_.empty());
  if (request.createBackups && !stopped) enableUndoFromHistory();
  if (!stopped) {
    refreshViewerOnFirstSelected();
    state.stop.abortRequested = false;
  }
  emit finished();
  return PassReport{summary, stopped, observer.failures()};
}

void ModifyController::refreshViewerOnFirstSelected() {
  const std::vector<std::size_t> selected = selectedRows();
  if (selected.empty()) return;
  const int row = static_cast<int>(selected.front());
  QItemSelectionModel* selection = context_.list.selectionModel();
  selection->setCurrentIndex(context_.results.index(row, 0), QItemSelectionModel::NoUpdate);
  context_.list.scrollTo(context_.results.index(row, 0));
  context_.state.stop.viewer = false;
  context_.refresh.refreshNow();
}

void ModifyController::widenResultColumn() {
  const int column = context_.results.columnOf(ResultsModel::Column::Result);
  if (column >= 0 && context_.list.columnWidth(column) < scaled(kMinimumResultWidth))
    context_.list.setColumnWidth(column, scaled(kMinimumResultWidth));
}

// The folder whose runs Undo takes back: the one the list was searched in, else the one in
// the path box.
std::string ModifyController::undoFolder() const {
  const std::string searched = searchedFolder();
  return searched.empty() ? host_.folderText().toStdString() : searched;
}

std::optional<std::string> ModifyController::undoableRun() const {
  const std::string history = modify::historyFolderIfAny();
  const std::string folder = undoFolder();
  if (history.empty() || folder.empty()) return std::nullopt;
  return modify::latestUndoableRun(history, folder);
}

void ModifyController::enableUndoFromHistory() {
  offerUndo(undoableRun().has_value());
}

void ModifyController::undo() {
  if (context_.state.busy) return;
  const std::optional<std::string> run = undoableRun();
  if (!run) {
    offerUndo(false);
    return;
  }
  undoRun(*run, FailureNotice::Shown);
}

std::optional<modify::UndoSummary> ModifyController::undoRun(const std::string& id,
                                                             FailureNotice notice) {
  WindowState& state = context_.state;
  if (state.busy) return std::nullopt;
  beginBusy();
  context_.refresh.clearViewer();
  std::vector<search::ResultItem> rows = context_.results.items();
  ModifyRunObserver observer(
      context_.results, &rows, [&state] { return state.stop.run; },
      [this](const QString& caption, const QString& text) {
        showWarning(&window_, caption, text);
      });
  modify::HistoryUndoOptions options;
  if (const search::SearchRequest* last = host_.lastSearch()) options.rows.refreshWith = *last;
  options.temporaryLog = modify::temporaryLogIfAny();
  if (!options.temporaryLog.empty()) modify::removeStaleTemporaries(options.temporaryLog);
  std::optional<modify::UndoSummary> result;
  try {
    result = modify::undoRun(modify::historyFolderIfAny(), id, rows, observer, options);
  } catch (const modify::HistoryError& error) {
    showWarning(&window_, modify::kProgramCaption, error.what());
  }
  const modify::UndoSummary summary = result.value_or(modify::UndoSummary{});
  journal_.clear();
  if (!modify::undoFailures(summary).empty()) widenResultColumn();
  state.stop.run = false;
  endBusy();
  reportOutcome(notice, modify::kProgramCaption,
                QString::fromStdString(modify::undoneSummary(summary)), observer);
  // Repeated Undo goes further back, run by run.
  enableUndoFromHistory();
  if (!summary.stopped) refreshViewerOnFirstSelected();
  emit finished();
  return result;
}

void ModifyController::eraseBackups() {
  WindowState& state = context_.state;
  if (state.busy) return;
  const QString path = host_.trimFolderText();
  if (path.isEmpty()) {
    offerUndo(false);
    state.stop.abortRequested = true;
    showWarning(&window_, modify::kEraseBackupCaption, QString::fromUtf8(modify::kSpecifyPath));
  } else {
    eraseBackupsIn(path);
  }
  // The command state brings back Modify All / Modify Selected; the rest follows the list.
  context_.tab.SearchButton->setEnabled(true);
  host_.updateCommands();
  emit finished();
}

// Counts the backups, asks, moves them to the trash, reports and offers to clear the
// folder's undo history.
void ModifyController::eraseBackupsIn(const QString& path) {
  WindowState& state = context_.state;
  modify::EraseOptions options;
  const search::SearchRequest search = host_.replaceTabSearch();
  options.includeSubfolders = search.includeSubfolders;
  options.ignoredFolders = search.ignoredFolders;
  ModifyRunObserver observer(
      context_.results, nullptr, [&state] { return state.stop.abortRequested; },
      [this](const QString& caption, const QString& text) { showWarning(&window_, caption, text); },
      [this](const QString& folder) { host_.setStatusText(1, folder); });
  // Counting changes nothing: Undo stays as it was until the backups go.
  const bool undoWasEnabled = canUndo();
  const bool undoBeforeSearch = state.undoBeforeSearch;
  beginBusy();
  modify::EraseSummary summary = modify::countBackups(path.toStdString(), options, observer);
  endBusy();
  offerUndo(undoWasEnabled);
  state.undoBeforeSearch = undoBeforeSearch;
  if (summary.stopped) return;
  if (summary.found > 0) {
    if (!askQuestion(&window_, modify::kEraseBackupCaption,
                     QString::fromStdString(
                         modify::eraseQuestion(summary.found, path.toStdString(), bool(trash_)))))
      return;
    offerUndo(false);
    state.undoBeforeSearch = false;
    journal_.clear();  // the backups an undo of the in-memory journal would need are going
    options.trash = trash_;
    options.deleteUntrashable = [this](const std::string& name) {
      return askQuestion(&window_, modify::kEraseBackupCaption,
                         QString::fromStdString(modify::untrashableQuestion(name)));
    };
    beginBusy();
    summary = modify::eraseBackups(path.toStdString(), options, observer);
    endBusy();
  }
  reportErased(summary, path);
}

void ModifyController::reportOutcome(FailureNotice notice, const QString& caption,
                                     const QString& summary, const ModifyRunObserver& observer) {
  if (notice == FailureNotice::Left)
    host_.setStatusText(1, summary);
  else
    reportOutcome(caption, summary, observer.failures());
}

void ModifyController::reportOutcome(const QString& caption, const QString& summary,
                                     const std::vector<ModifyRunObserver::Failure>& failures) {
  host_.setStatusText(1, summary);
  // A command-line run counts and logs its failures itself; nobody is there to read a notice.
  if (failures.empty() || host_.commandLineRun()) return;
  const modify::LeftFilesNotice notice = modify::leftFilesNotice(summary.toStdString(), failures);
  showNotice(&window_, caption, QString::fromStdString(notice.text),
             QString::fromStdString(notice.details));
}

void ModifyController::reportErased(const modify::EraseSummary& summary, const QString& path) {
  const std::string report = modify::erasedReport(summary, bool(trash_));
  host_.setStatusText(1, QString::fromStdString(report));
  // Nothing in the history goes without the user asking: the folder's runs are offered.
  const std::string history = modify::historyFolderIfAny();
  const std::string folder = path.toStdString();
  const std::size_t runs = history.empty() ? 0 : modify::countFolderRuns(history, folder);
  if (runs == 0) {
    showInformation(&window_, modify::kEraseBackupCaption, QString::fromStdString(report));
    return;
  }
  if (!askQuestion(
          &window_, modify::kEraseBackupCaption,
          QString::fromStdString(modify::clearFolderHistoryQuestion(report, folder, runs))))
    return;
  const std::size_t removed = modify::clearHistory(history, folder);
  host_.setStatusText(1, QString::fromStdString(report + " " + modify::removedRuns(removed)));
}

void ModifyController::preview() {
  WindowState& state = context_.state;
  if (state.busy) return;
  const modify::ModifyRequest request = currentRequest(modify::ModifyScope::All);
  if (!validate(request)) return;
  const bool undoWasOffered = canUndo();
  beginBusy();
  ModifyRunObserver observer(
      context_.results, nullptr, [&state] { return state.stop.abortRequested || state.stop.run; },
      [this](const QString& caption, const QString& text) {
        showWarning(&window_, caption, text);
      });
  std::optional<modify::Review> review;
  try {
    review =
        modify::reviewModifyPass(request, context_.results.items(), {}, observer, searchedFolder());
  } catch (const modify::ModifyError& error) {
    showWarning(&window_, QString::fromStdString(error.caption()), error.what());
  }
  endBusy();
  offerUndo(undoWasOffered);
  state.stop.abortRequested = false;
  if (!review) return;
  previewDialog_->setReview(std::move(*review));
  if (previewDialog_->exec() == PreviewDialog::ApplyChoice) applyPreview();
  previewDialog_->setReview({});  // the reviewed texts are let go
}

// Writes the changes checked in the preview, as Modify All writes (backups, undo history,
// the rows' results).
void ModifyController::applyPreview() {
  const modify::Review& reviewed = previewDialog_->changes().review();
  const std::vector<modify::Accepted>& accepted = previewDialog_->changes().accepted();
  runPass(modify::ModifyScope::All,
          [&](const modify::ModifyRequest& current, std::vector<search::ResultItem>& rows,
              const std::vector<std::size_t>&, modify::UndoJournal& journal,
              modify::ModifyObserver& passObserver, const modify::PassOptions& options) {
            return modify::applyReview(current, rows, reviewed, accepted, journal, passObserver,
                                       options);
          });
}

// A change double-clicked in the preview opens in the editor at its line.
void ModifyController::openChange(const QString& fullName, int lineNumber) {
  host_.editFileAt(fullName, lineNumber);
}

}  // namespace kestrix::ui
