// The "Preview" dialog: what Modify All would do, before it is done. Each file that would
// change with its changes beneath it (the line(s) before and after, the changed text
// marked, the line number and a check box), the files that would fail with the reason,
// the counts of the checked changes, and "Check All", "Uncheck All", "Apply" (writes
// exactly the checked changes) and "Close".
#pragma once

#include <QDialog>

#include "modify/Review.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeView;

namespace kestrix::ui {

class ChangeTreeModel;

class PreviewDialog : public QDialog {
  Q_OBJECT
 public:
  // What the user chose; the dialog's result code.
  enum Choice { CloseChoice = 0, ApplyChoice };

  explicit PreviewDialog(QWidget* parent = nullptr);

  // Shows `review` (replacing what was shown), every change checked.
  void setReview(modify::Review review);
  ChangeTreeModel& changes() const { return *model_; }
  // The failures as listed: "Would fail (N files):" and a line "  ! name: reason" each.
  QString failuresText() const;
  // The counts line: "412 of 415 changes in 37 files".
  QString countsText() const;

  QLabel* SummaryLabel;
  QPlainTextEdit* FailuresView;
  QTreeView* ChangeView;
  QPushButton* CheckAllButton;
  QPushButton* UncheckAllButton;
  QPushButton* ApplyButton;
  QPushButton* CloseButton;

 signals:
  // A change was double-clicked (or Enter pressed on it): its file and first line.
  void changeOpened(const QString& fullName, int lineNumber);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void updateCounts();
  void toggleSelected();
  void open(const QModelIndex& index);

  ChangeTreeModel* model_;
  bool stopped_ = false;
};

}  // namespace kestrix::ui
