// The "Batch Replace" dialog: the grid of search/replace pairs ("To Search", "To Replace or
// Insert"), "Number of Rows:", the row buttons, Save / Open of ".tbl" table files, and the
// state file "Batch.tmp" read when the dialog is shown and written when it closes.
#pragma once

#include <QDialog>
#include <QString>

#include "modify/BatchTable.h"

class QPushButton;
class QSpinBox;
class QTableView;

namespace kestrix::ui {

class BatchTableModel;

class TBatchDlg : public QDialog {
  Q_OBJECT
 public:
  // The file dialogs' filter and the extension a name typed without one gets.
  static const QString kTableFilter;
  static const QString kTableSuffix;

  explicit TBatchDlg(QWidget* parent = nullptr);

  // Where the dialog keeps its state; empty keeps none.
  void setStateFile(const QString& path) { stateFile_ = path; }
  const QString& stateFile() const { return stateFile_; }

  BatchTableModel* model() const { return model_; }
  const modify::BatchTable& table() const;

  // Saves the table to / opens it from a table file. Open shows "Incorrect file" for a file
  // it cannot read and keeps the table; both return true on success.
  bool saveTable(const QString& path);
  bool openTable(const QString& path);
  // The dialog's size, row count, column widths and table, as the state file keeps them.
  modify::BatchState state() const;
  // Takes a state: sizes and column widths of 0 leave the present ones.
  void setState(const modify::BatchState& state);
  // Reads / writes the state file (silently: errors keep the defaults).
  void readState();
  void writeState() const;

  QTableView* StringGrid;
  QSpinBox* RowsSpinEdit;
  QPushButton* ModifyFilesButton;
  QPushButton* ExitButton;
  QPushButton* InsertRowButton;
  QPushButton* RemoveRowButton;
  QPushButton* RemoveAllButton;
  QPushButton* SaveButton;
  QPushButton* OpenButton;
  QPushButton* HelpButton;

 signals:
  // "Help" or F1: the window opens the topic.
  void helpRequested(const QString& topicPath);

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void createControls();
  void buildLayout();
  void wireButtons();
  void saveWithDialog();
  void openWithDialog();
  void keepMinimumColumnWidths();
  int currentRow() const;

  BatchTableModel* model_;
  QString stateFile_;
  QString openFolder_;
  QString saveFolder_;
};

}  // namespace kestrix::ui
