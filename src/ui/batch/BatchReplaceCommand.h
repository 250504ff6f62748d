// batch/: Batch Replace: its dialog, its table model and its run.
// "Batch Replace" (File menu, Shift+F1): shows the TBatchDlg and, after "Modify Files",
// drives modify::runBatch: each pair runs the Search and Replace tab's Search and Modify
// All with the pair's texts and every other current setting, leaving the tab's boxes as
// they are. The status bar then sums the pairs up ("N modified, M failed").
#pragma once

#include <QObject>
#include <vector>

#include "modify/BatchRunner.h"
#include "ui/modify/ModifyRunObserver.h"

class QWidget;

namespace kestrix::ui {

class BatchHost;
class ModifyController;
class ResultsModel;
class TBatchDlg;
struct WindowState;

class BatchReplaceCommand : public QObject {
  Q_OBJECT
 public:
  // The dialog is a child of `window`.
  BatchReplaceCommand(QWidget& window, WindowState& state, ResultsModel& results,
                      ModifyController& modify, BatchHost& host);

  // Shows the dialog modally and runs the table when it closes with "Modify Files".
  void run();
  // The run of a table: every pair with a non-empty "To Search" cell, in order, until a
  // stop or a limit message. Shows "The Modification Type is \"None\"" instead when the
  // modification type is None.
  void runTable(const modify::BatchTable& table);

  TBatchDlg* dialog() const { return dialog_; }

 private:
  modify::BatchPairOutcome runPair(const search::SearchRequest& search,
                                   const modify::ModifyRequest& modify);
  void report(const modify::BatchSummary& summary);
  bool stopped() const;

  QWidget& window_;
  WindowState& state_;
  ResultsModel& results_;
  ModifyController& modify_;
  BatchHost& host_;
  TBatchDlg* dialog_;
  // The files the pairs of the current run left as they were.
  std::vector<ModifyRunObserver::Failure> failures_;
};

}  // namespace kestrix::ui
