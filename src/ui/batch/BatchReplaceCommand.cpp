// Runs a batch table through the window's Search and Modify All.
#include "ui/batch/BatchReplaceCommand.h"

#include "modify/BatchStateFile.h"
#include "modify/ModifyMessages.h"
#include "modify/OutcomeTexts.h"
#include "ui/batch/BatchHost.h"
#include "ui/batch/TBatchDlg.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/ModifyEnableRules.h"
#include "ui/results/ResultsModel.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

BatchReplaceCommand::BatchReplaceCommand(QWidget& window, WindowState& state, ResultsModel& results,
                                         ModifyController& modify, BatchHost& host)
    : QObject(&window),
      window_(window),
      state_(state),
      results_(results),
      modify_(modify),
      host_(host),
      dialog_(new TBatchDlg(&window)) {
  dialog_->setStateFile(QString::fromStdString(modify::batchStateFilePath()));
  connect(dialog_, &TBatchDlg::helpRequested, this,
          [this](const QString& topic) { host_.showHelpTopic(topic); });
}

bool BatchReplaceCommand::stopped() const {
  return state_.stop.abortRequested || state_.stop.viewer;
}

void BatchReplaceCommand::run() {
  if (state_.busy) return;
  state_.stop.clearAll();
  host_.showSearchReplaceTab();
  if (dialog_->exec() == QDialog::Accepted) runTable(dialog_->table());
  state_.stop.clearAll();
}

void BatchReplaceCommand::runTable(const modify::BatchTable& table) {
  const modify::ModifyRequest request = modify_.currentRequest(modify::ModifyScope::All);
  if (request.modificationType == modify::ModificationType::None) {
    showWarning(&window_, programCaption(), QString::fromUtf8(modify::kTypeIsNone));
    return;
  }
  host_.clearViewer();
  failures_.clear();
  const modify::BatchSummary summary = modify::runBatch(
      table, host_.replaceTabSearch(), request,
      [this](const search::SearchRequest& search, const modify::ModifyRequest& modify) {
        return runPair(search, modify);
      },
      [this] { return stopped(); });
  // The list is the last pair's, not a search for the tab's texts: Modify All waits for
  // the next Search.
  modify_.rules().markListOutdated();
  if (request.createBackups && !summary.stopped) modify_.enableUndoFromHistory();
  report(summary);
}

modify::BatchPairOutcome BatchReplaceCommand::runPair(const search::SearchRequest& search,
                                                      const modify::ModifyRequest& modify) {
  modify::BatchPairOutcome outcome;
  host_.runSearch(search);
  if (!stopped() && results_.rowCount() > 0) {
    if (auto pass = modify_.modifyAllWith(modify)) {
      outcome.pass = pass->summary;
      failures_.insert(failures_.end(), pass->failures.begin(), pass->failures.end());
    }
  }
  outcome.rows = results_.items();
  if (state_.stop.abortRequested) host_.invalidateFoundLines();
  outcome.stopped = stopped();
  return outcome;
}

// The pairs' passes summed up as a single run's: the status text, and one notice for the
// files that failed in any pair.
void BatchReplaceCommand::report(const modify::BatchSummary& summary) {
  modify_.reportOutcome(QStringLiteral("Batch Replace"),
                        QString::fromStdString(modify::modifiedSummary(
                            summary.modified(), summary.failed(), summary.stopped)),
                        failures_);
}

}  // namespace kestrix::ui
