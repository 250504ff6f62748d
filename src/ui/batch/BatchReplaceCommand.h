// batch/: Batch Replace: its dialog, its table model and its run.
// "Batch Replace" (File menu, Shift+F1): shows the TBatchDlg and, after "Modify Files",
// runs each pair through the window itself: the pair's texts go into the Search and Replace
// tab, then the tab's Search and Modify All run with every other current setting.
#pragma once

#include <QObject>

#include "modify/BatchTable.h"

namespace kestrix::ui {

class ModifyController;
class TBatchDlg;
class TFind;

class BatchReplaceCommand : public QObject {
  Q_OBJECT
 public:
  BatchReplaceCommand(TFind& window, ModifyController& modify);

  // Shows the dialog modally and runs the table when it closes with "Modify Files".
  void run();
  // The run of a table: every pair with a non-empty "To Search" cell, in order, until a
  // stop or a limit message. Shows "The Modification Type is \"None\"" instead when the
  // modification type is None.
  void runTable(const modify::BatchTable& table);

  TBatchDlg* dialog() const { return dialog_; }

 private:
  void runPair(const modify::BatchPair& pair);
  void setTexts(const modify::BatchPair& pair);
  bool stopped() const;
  void clearStopFlags();

  TFind& window_;
  ModifyController& modify_;
  TBatchDlg* dialog_;
};

}  // namespace kestrix::ui
