// Lays out the preview dialog and wires its check boxes, keys and buttons.
#include "ui/modify/PreviewDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "modify/ReviewTexts.h"
#include "ui/modify/ChangeDelegate.h"
#include "ui/modify/ChangeTreeModel.h"
#include "ui/viewer/LinesViewer.h"

namespace kestrix::ui {

PreviewDialog::PreviewDialog(QWidget* parent) : QDialog(parent), model_(new ChangeTreeModel(this)) {
  setObjectName("PreviewDialog");
  setWindowTitle("Preview Changes");
  SummaryLabel = new QLabel(this);
  SummaryLabel->setObjectName("SummaryLabel");
  FailuresView = new QPlainTextEdit(this);
  FailuresView->setObjectName("FailuresView");
  FailuresView->setReadOnly(true);
  FailuresView->setMaximumHeight(90);
  FailuresView->hide();
  ChangeView = new QTreeView(this);
  ChangeView->setObjectName("ChangeView");
  ChangeView->setModel(model_);
  ChangeView->setItemDelegate(new ChangeDelegate(ChangeView));
  ChangeView->setUniformRowHeights(true);
  ChangeView->setFont(linesViewerFont());
  ChangeView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ChangeView->setSelectionBehavior(QAbstractItemView::SelectRows);
  ChangeView->setAllColumnsShowFocus(true);
  ChangeView->setExpandsOnDoubleClick(false);
  // The line number keeps its width; Before and After share the rest.
  ChangeView->header()->setSectionResizeMode(QHeaderView::Stretch);
  ChangeView->header()->setSectionResizeMode(ChangeTreeModel::LineColumn, QHeaderView::Interactive);
  ChangeView->installEventFilter(this);
  CheckAllButton = new QPushButton("Check All", this);
  CheckAllButton->setObjectName("CheckAllButton");
  UncheckAllButton = new QPushButton("Uncheck All", this);
  UncheckAllButton->setObjectName("UncheckAllButton");
  ApplyButton = new QPushButton("Apply", this);
  ApplyButton->setObjectName("PreviewApplyButton");
  CloseButton = new QPushButton("Close", this);
  CloseButton->setObjectName("PreviewCloseButton");
  CloseButton->setDefault(true);
  connect(CheckAllButton, &QPushButton::clicked, this, [this] { model_->setAllChecked(true); });
  connect(UncheckAllButton, &QPushButton::clicked, this, [this] { model_->setAllChecked(false); });
  connect(ApplyButton, &QPushButton::clicked, this, [this] { done(ApplyChoice); });
  connect(CloseButton, &QPushButton::clicked, this, [this] { done(CloseChoice); });
  connect(model_, &ChangeTreeModel::countsChanged, this, &PreviewDialog::updateCounts);
  connect(ChangeView, &QTreeView::doubleClicked, this, &PreviewDialog::open);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CheckAllButton);
  buttons->addWidget(UncheckAllButton);
  buttons->addStretch();
  buttons->addWidget(ApplyButton);
  buttons->addWidget(CloseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(SummaryLabel);
  layout->addWidget(FailuresView);
  layout->addWidget(ChangeView, 1);
  layout->addLayout(buttons);
  resize(900, 600);
}

void PreviewDialog::setReview(modify::Review review) {
  stopped_ = review.stopped;
  FailuresView->setPlainText(QString::fromStdString(modify::reviewFailures(review.failures)));
  FailuresView->setVisible(!review.failures.empty());
  model_->setReview(std::move(review));
  ChangeView->expandAll();
  ChangeView->setFirstColumnSpanned(0, {}, false);
  for (int f = 0; f < model_->rowCount(); ++f) ChangeView->setFirstColumnSpanned(f, {}, true);
  ChangeView->setColumnWidth(ChangeTreeModel::LineColumn, 110);
  if (model_->rowCount() > 0) ChangeView->setCurrentIndex(model_->index(0, 0));
  ChangeView->setFocus();
}

QString PreviewDialog::failuresText() const {
  return FailuresView->toPlainText();
}

QString PreviewDialog::countsText() const {
  return QString::fromStdString(modify::reviewCounts(model_->checks()));
}

void PreviewDialog::updateCounts() {
  SummaryLabel->setText(QString::fromStdString(modify::reviewSummary(model_->checks(), stopped_)));
  ApplyButton->setEnabled(model_->checkedChanges() > 0);
  CheckAllButton->setEnabled(model_->checkedChanges() < model_->totalChanges());
  UncheckAllButton->setEnabled(model_->checkedChanges() > 0);
}

// Space checks or unchecks the selected rows (the current one's state decides which);
// Enter opens the current change.
bool PreviewDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ChangeView && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Space) {
      toggleSelected();
      return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      open(ChangeView->currentIndex());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void PreviewDialog::toggleSelected() {
  const QModelIndex current = ChangeView->currentIndex().siblingAtColumn(0);
  if (!current.isValid()) return;
  const bool check = current.data(Qt::CheckStateRole).toInt() != Qt::Checked;
  QModelIndexList rows = ChangeView->selectionModel()->selectedRows(0);
  if (!rows.contains(current)) rows = {current};
  for (const QModelIndex& row : rows) {
    model_->setData(row, check ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
  }
}

void PreviewDialog::open(const QModelIndex& index) {
  if (!index.isValid()) return;
  const std::size_t change = model_->changeOf(index);
  if (change == ChangeTreeModel::kNoChange) return;
  const modify::FileChanges& file = model_->review().files[model_->fileOf(index)];
  emit changeOpened(QString::fromStdString(file.fullName),
                    static_cast<int>(file.changes[change].firstLine));
}

}  // namespace kestrix::ui
