// The History dialog: list, undo and clear of the undo history's runs.
#include "ui/history/THistoryDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "modify/HistoryTexts.h"
#include "modify/OutcomeTexts.h"
#include "ui/window/MessageBoxes.h"

namespace kestrix::ui {

namespace {

constexpr const char* kCaption = "History";
// Failed files named in one message at most; the rest are counted.
constexpr std::size_t kFailuresShown = 20;

QTreeWidgetItem* itemOf(const modify::RunInfo& run) {
  const modify::RunRow row = modify::runRow(run);
  auto* item = new QTreeWidgetItem;
  item->setText(THistoryDlg::TimeColumn, QString::fromStdString(row.time));
  item->setText(THistoryDlg::FolderColumn, QString::fromStdString(row.folder));
  item->setText(THistoryDlg::WhatColumn, QString::fromStdString(row.what));
  item->setText(THistoryDlg::FilesColumn, QString::fromStdString(row.files));
  item->setTextAlignment(THistoryDlg::FilesColumn, Qt::AlignRight | Qt::AlignVCenter);
  item->setText(THistoryDlg::StateColumn, QString::fromStdString(row.state));
  for (int column = 0; column <= THistoryDlg::StateColumn; ++column)
    item->setToolTip(column, item->text(column));
  return item;
}

}  // namespace

THistoryDlg::THistoryDlg(QWidget* parent, Hooks hooks) : QDialog(parent), hooks_(std::move(hooks)) {
  setObjectName("THistoryDlg");
  setWindowTitle("History");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  RunsList = new QTreeWidget(this);
  RunsList->setObjectName("RunsList");
  RunsList->setRootIsDecorated(false);
  RunsList->setUniformRowHeights(true);
  RunsList->setHeaderLabels({"Time", "Folder", "What", "Files", "State"});
  RunsList->header()->setStretchLastSection(false);
  RunsList->header()->setSectionResizeMode(WhatColumn, QHeaderView::Stretch);
  StatusLabel = new QLabel(this);
  StatusLabel->setObjectName("StatusLabel");
  StatusLabel->setWordWrap(true);
  UndoRunButton = new QPushButton("&Undo Run", this);
  UndoRunButton->setObjectName("UndoRunButton");
  ClearButton = new QPushButton("C&lear History...", this);
  ClearButton->setObjectName("ClearButton");
  CloseButton = new QPushButton("&Close", this);
  CloseButton->setObjectName("CloseButton");

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(UndoRunButton, QDialogButtonBox::ActionRole);
  buttons->addButton(ClearButton, QDialogButtonBox::ResetRole);
  buttons->addButton(CloseButton, QDialogButtonBox::RejectRole);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel("Runs made with backups, newest first. Undo Run takes one run "
                 "back; files changed since the run are left alone.",
                 this));
  layout->addWidget(RunsList, 1);
  layout->addWidget(StatusLabel);
  layout->addWidget(buttons);
  resize(860, 420);

  connect(UndoRunButton, &QPushButton::clicked, this, &THistoryDlg::undoSelected);
  connect(ClearButton, &QPushButton::clicked, this, &THistoryDlg::clearHistory);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(RunsList, &QTreeWidget::itemSelectionChanged, this, &THistoryDlg::applyButtons);
}

void THistoryDlg::refresh() {
  const std::optional<std::size_t> selected = selectedIndex();
  const std::string keep = selected ? runs_[*selected].id : std::string();
  RunsList->clear();
  const std::string folder = hooks_.historyFolder();
  runs_ = folder.empty() ? std::vector<modify::RunInfo>{} : modify::listRuns(folder);
  std::reverse(runs_.begin(), runs_.end());
  for (const modify::RunInfo& run : runs_) RunsList->addTopLevelItem(itemOf(run));
  const auto kept = std::find_if(runs_.begin(), runs_.end(),
                                 [&keep](const modify::RunInfo& run) { return run.id == keep; });
  const int row = kept != runs_.end() ? static_cast<int>(kept - runs_.begin()) : 0;
  if (!runs_.empty()) RunsList->setCurrentItem(RunsList->topLevelItem(row));
  for (int column : {TimeColumn, FolderColumn, FilesColumn, StateColumn})
    RunsList->resizeColumnToContents(column);
  if (runs_.empty()) StatusLabel->setText("The history holds no runs.");
  applyButtons();
}

void THistoryDlg::showHistory() {
  StatusLabel->clear();
  refresh();
  CloseButton->setFocus();
  exec();
}

std::optional<std::size_t> THistoryDlg::selectedIndex() const {
  const QList<QTreeWidgetItem*> items = RunsList->selectedItems();
  if (items.isEmpty()) return std::nullopt;
  const int row = RunsList->indexOfTopLevelItem(items.front());
  if (row < 0 || static_cast<std::size_t>(row) >= runs_.size()) return std::nullopt;
  return static_cast<std::size_t>(row);
}

void THistoryDlg::applyButtons() {
  const std::optional<std::size_t> selected = selectedIndex();
  UndoRunButton->setEnabled(selected && modify::runUndoable(runs_[*selected].state));
  ClearButton->setEnabled(!runs_.empty());
}

void THistoryDlg::undoSelected() {
  const std::optional<std::size_t> selected = selectedIndex();
  if (!selected) return;
  const std::optional<modify::UndoSummary> summary = hooks_.undoRun(runs_[*selected].id);
  if (summary) reportUndo(*summary);
  if (hooks_.changed) hooks_.changed();
  refresh();
}

// Names each file that could not be restored with its reason.
void THistoryDlg::reportUndo(const modify::UndoSummary& summary) {
  const std::string text = modify::restoredSummary(summary);
  StatusLabel->setText(QString::fromStdString(text + "."));
  const std::vector<modify::FailedFile> failures = modify::undoFailures(summary);
  if (failures.empty()) return;
  showWarning(
      this, kCaption,
      QString::fromStdString(text + ":\n" + modify::listedFailures(failures, kFailuresShown)));
}

void THistoryDlg::clearHistory() {
  const std::string folder = hooks_.historyFolder();
  if (folder.empty() || runs_.empty()) return;
  const QString question = QString::fromStdString(modify::clearHistoryQuestion(runs_.size()));
  if (!askQuestion(this, kCaption, question)) return;
  const std::size_t removed = modify::clearHistory(folder);
  if (hooks_.changed) hooks_.changed();
  refresh();
  StatusLabel->setText(QString::fromStdString(modify::removedRuns(removed)));
}

}  // namespace kestrix::ui
