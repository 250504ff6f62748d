// The History dialog: list, undo and clear of the undo history's runs.
#include "ui/history/THistoryDlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/history/EraseMessages.h"
#include "ui/window/MessageBoxes.h"

namespace kestrix::ui {

namespace {

constexpr const char* kCaption = "History";
// Failed files named in one message at most; the rest are counted.
constexpr int kFailuresShown = 20;

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString runTime(std::int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds).toString("yyyy-MM-dd HH:mm:ss");
}

bool undoable(modify::RunState state) {
  return state == modify::RunState::Done || state == modify::RunState::UndoInterrupted ||
         state == modify::RunState::Undone;
}

QTreeWidgetItem* itemOf(const modify::RunInfo& run) {
  auto* item = new QTreeWidgetItem;
  item->setText(THistoryDlg::TimeColumn, runTime(run.header.timeSec));
  item->setText(THistoryDlg::FolderColumn, fromUtf8(run.header.folder));
  const bool damaged = run.state == modify::RunState::Damaged;
  item->setText(THistoryDlg::WhatColumn, fromUtf8(damaged ? run.problem : run.header.summary));
  item->setText(THistoryDlg::FilesColumn, QString::number(run.files));
  item->setTextAlignment(THistoryDlg::FilesColumn, Qt::AlignRight | Qt::AlignVCenter);
  item->setText(THistoryDlg::StateColumn, runStateText(run.state));
  for (int column = 0; column <= THistoryDlg::StateColumn; ++column)
    item->setToolTip(column, item->text(column));
  return item;
}

}  // namespace

QString runStateText(modify::RunState state) {
  switch (state) {
    case modify::RunState::Done:
      return "Not undone";
    case modify::RunState::Undone:
      return "Undone";
    case modify::RunState::UndoInterrupted:
      return "Undo interrupted";
    case modify::RunState::Running:
      return "Running";
    case modify::RunState::Damaged:
      return "Damaged";
  }
  return {};
}

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
  const std::string keep = selected ? ids_[*selected] : std::string();
  const std::string folder = hooks_.historyFolder();
  runs_ = folder.empty() ? std::vector<modify::RunInfo>{} : modify::listRuns(folder);
  std::reverse(runs_.begin(), runs_.end());
  ids_.clear();
  RunsList->clear();
  for (const modify::RunInfo& run : runs_) {
    ids_.push_back(run.id);
    RunsList->addTopLevelItem(itemOf(run));
  }
  const auto kept = std::find(ids_.begin(), ids_.end(), keep);
  const int row = kept != ids_.end() ? static_cast<int>(kept - ids_.begin()) : 0;
  if (!ids_.empty()) RunsList->setCurrentItem(RunsList->topLevelItem(row));
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
  if (row < 0 || static_cast<std::size_t>(row) >= ids_.size()) return std::nullopt;
  return static_cast<std::size_t>(row);
}

void THistoryDlg::applyButtons() {
  const std::optional<std::size_t> selected = selectedIndex();
  UndoRunButton->setEnabled(selected && undoable(runs_[*selected].state));
  ClearButton->setEnabled(!runs_.empty());
}

void THistoryDlg::undoSelected() {
  const std::optional<std::size_t> selected = selectedIndex();
  if (!selected) return;
  const std::optional<modify::UndoSummary> summary = hooks_.undoRun(ids_[*selected]);
  if (summary) reportUndo(*summary);
  if (hooks_.changed) hooks_.changed();
  refresh();
}

// Names each file that could not be restored with its reason.
void THistoryDlg::reportUndo(const modify::UndoSummary& summary) {
  int undone = 0;
  QStringList failures;
  for (const modify::UndoOutcome& outcome : summary.outcomes) {
    if (outcome.undone) {
      ++undone;
    } else {
      failures.append(fromUtf8(outcome.fullName) + ": " + fromUtf8(outcome.reason));
    }
  }
  QString text = QString("%1 restored, %2 failed").arg(undone).arg(failures.size());
  if (summary.stopped) text += " (stopped)";
  StatusLabel->setText(text + ".");
  if (failures.isEmpty()) return;
  const qsizetype total = failures.size();
  if (total > kFailuresShown) {
    failures = failures.mid(0, kFailuresShown);
    failures.append(QString("... and %1 more").arg(total - kFailuresShown));
  }
  showWarning(this, kCaption, text + ":\n" + failures.join('\n'));
}

void THistoryDlg::clearHistory() {
  const std::string folder = hooks_.historyFolder();
  if (folder.empty() || runs_.empty()) return;
  const QString question = QString(
                               "Remove all %1 from the undo history? They can no longer be "
                               "undone; the \".bak\" files beside your files stay.")
                               .arg(runs(runs_.size()));
  if (!askQuestion(this, kCaption, question)) return;
  const std::size_t removed = modify::clearHistory(folder);
  if (hooks_.changed) hooks_.changed();
  refresh();
  StatusLabel->setText(removedRuns(removed));
}

}  // namespace kestrix::ui
