// The "Preview" dialog: what Modify All would do, before it is done. One section per file
// with its unified diff (added lines green, removed lines red), the files that would fail
// with the reason, and the buttons "Modify All", "Modify Selected" and "Close".
#pragma once

#include <QDialog>

#include "modify/Preview.h"

class QLabel;
class QAbstractListModel;
class QListView;
class QPushButton;

namespace kestrix::ui {

class PreviewDialog : public QDialog {
  Q_OBJECT
 public:
  // What the user chose; the dialog's result code.
  enum Choice { CloseChoice = 0, ModifyAllChoice, ModifySelectedChoice };

  explicit PreviewDialog(QWidget* parent = nullptr);

  // Shows `summary` (replacing what was shown); "Modify Selected" is offered when
  // `anySelected`.
  void setPreview(const modify::PreviewSummary& summary, bool anySelected);
  // The text shown (the failures, then the diffs).
  QString text() const;

  QLabel* SummaryLabel;
  QListView* DiffView;
  QPushButton* ModifyAllButton;
  QPushButton* ModifySelectedButton;
  QPushButton* CloseButton;

 private:
  QString text_;
  QAbstractListModel* lines_ = nullptr;
};

// The dialog's text of a preview: a block of the files that would fail ("name: reason"),
// then each file's diff; "Nothing would change." when there is neither.
QString previewText(const modify::PreviewSummary& summary);

}  // namespace kestrix::ui
