// history/: the window's view of the undo history shared with `ksr`.
// The "History" dialog: the past runs of the undo history, newest first (time, folder,
// what was replaced, files changed, undone or not), from the same list `ksr history`
// prints. Any run can be undone from it (the core decides file by file; failures are shown
// with their reasons), and the whole history can be cleared after a confirmation.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "modify/History.h"
#include "modify/Undo.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace kestrix::ui {

class THistoryDlg : public QDialog {
  Q_OBJECT
 public:
  // What the dialog needs from the window.
  struct Hooks {
    // The history's folder; empty when there is none (no data folder).
    std::function<std::string()> historyFolder;
    // Undoes one run through the window's Undo; nothing when it could not start.
    std::function<std::optional<modify::UndoSummary>(const std::string& id)> undoRun;
    // The history changed (a run undone or the history cleared).
    std::function<void()> changed;
  };

  // Columns of RunsList.
  enum Column { TimeColumn, FolderColumn, WhatColumn, FilesColumn, StateColumn };

  THistoryDlg(QWidget* parent, Hooks hooks);

  // Reads the history again into the list, keeping the selected run when it is still there.
  void refresh();
  // Shows the dialog modally with a fresh list.
  void showHistory();
  // "Undo Run": undoes the selected run and tells what failed.
  void undoSelected();
  // "Clear History...": asks, then removes every run and its copies of the originals.
  void clearHistory();

  QTreeWidget* RunsList;
  QLabel* StatusLabel;
  QPushButton* UndoRunButton;
  QPushButton* ClearButton;
  QPushButton* CloseButton;

 private:
  void applyButtons();
  std::optional<std::size_t> selectedIndex() const;
  void reportUndo(const modify::UndoSummary& summary);

  Hooks hooks_;
  std::vector<modify::RunInfo> runs_;  // newest first
};

}  // namespace kestrix::ui
