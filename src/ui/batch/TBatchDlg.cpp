// Builds the batch dialog and handles its grid, buttons and files.
#include "ui/batch/TBatchDlg.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include "modify/BatchStateFile.h"
#include "modify/ModifyMessages.h"
#include "ui/batch/BatchTableModel.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/ScreenScale.h"

namespace kestrix::ui {

namespace {
const QString kHelpTopic = QStringLiteral("Manual/BatchReplace.htm");
// Minimum column widths at 96 dots per inch.
constexpr int kMinSearchColumn = 78;
constexpr int kMinReplaceColumn = 165;
}  // namespace

const QString TBatchDlg::kTableFilter = QStringLiteral("Batch tables (*.tbl)");
const QString TBatchDlg::kTableSuffix = QStringLiteral("tbl");

TBatchDlg::TBatchDlg(QWidget* parent) : QDialog(parent), model_(new BatchTableModel(this)) {
  setObjectName("TBatchDlg");
  setDialogFlags(*this);
  setWindowTitle("Batch Replace");
  createControls();
  buildLayout();
  wireButtons();
  resize(scaled(560), scaled(420));
}

void TBatchDlg::createControls() {
  StringGrid = new QTableView(this);
  StringGrid->setObjectName("StringGrid");
  StringGrid->setModel(model_);
  StringGrid->setFont(linesViewerFont());
  StringGrid->setWordWrap(false);
  StringGrid->verticalHeader()->setDefaultSectionSize(StringGrid->fontMetrics().height() + 4);
  StringGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  StringGrid->horizontalHeader()->setStretchLastSection(true);
  StringGrid->setColumnWidth(0, scaled(220));
  StringGrid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                              QAbstractItemView::EditKeyPressed);
  StringGrid->installEventFilter(this);
  RowsSpinEdit = new QSpinBox(this);
  RowsSpinEdit->setObjectName("RowsSpinEdit");
  RowsSpinEdit->setRange(1, static_cast<int>(modify::kMaxBatchRows));
  RowsSpinEdit->setValue(1);
  const auto button = [this](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };
  ModifyFilesButton = button("ModifyFilesButton", "Modify Files");
  ModifyFilesButton->setDefault(true);
  ExitButton = button("ExitButton", "Exit");
  InsertRowButton = button("InsertRowButton", "Insert Row");
  RemoveRowButton = button("RemoveRowButton", "Remove Row");
  RemoveAllButton = button("RemoveAllButton", "Remove All");
  SaveButton = button("SaveButton", "Save");
  OpenButton = button("OpenButton", "Open");
  HelpButton = button("HelpButton", "Help");
}

void TBatchDlg::buildLayout() {
  auto* side = new QVBoxLayout;
  for (QPushButton* b : {ModifyFilesButton, ExitButton}) side->addWidget(b);
  side->addSpacing(scaled(8));
  for (QPushButton* b : {InsertRowButton, RemoveRowButton, RemoveAllButton}) side->addWidget(b);
  side->addSpacing(scaled(8));
  for (QPushButton* b : {SaveButton, OpenButton}) side->addWidget(b);
  side->addStretch();
  side->addWidget(HelpButton);
  auto* rows = new QHBoxLayout;
  rows->addWidget(new QLabel("Number of Rows:", this));
  rows->addWidget(RowsSpinEdit);
  rows->addStretch();
  auto* layout = new QGridLayout(this);
  layout->addWidget(StringGrid, 0, 0);
  layout->addLayout(side, 0, 1);
  layout->addLayout(rows, 1, 0, 1, 2);
  layout->setColumnStretch(0, 1);
  layout->setRowStretch(0, 1);
}

void TBatchDlg::wireButtons() {
  connect(ModifyFilesButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(ExitButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(InsertRowButton, &QPushButton::clicked, this,
          [this] { model_->insertEmptyRow(std::max(currentRow(), 0)); });
  connect(RemoveRowButton, &QPushButton::clicked, this,
          [this] { model_->removeOneRow(std::max(currentRow(), 0)); });
  connect(RemoveAllButton, &QPushButton::clicked, model_, &BatchTableModel::removeAll);
  connect(SaveButton, &QPushButton::clicked, this, &TBatchDlg::saveWithDialog);
  connect(OpenButton, &QPushButton::clicked, this, &TBatchDlg::openWithDialog);
  connect(HelpButton, &QPushButton::clicked, this, [this] { emit helpRequested(kHelpTopic); });
  connect(RowsSpinEdit, &QSpinBox::valueChanged, model_,
          [this](int rows) { model_->setRowCountClamped(rows); });
  connect(model_, &BatchTableModel::rowsChanged, RowsSpinEdit, &QSpinBox::setValue);
  connect(model_, &BatchTableModel::cellCut, this, [] { QApplication::beep(); });
  connect(StringGrid->horizontalHeader(), &QHeaderView::sectionResized, this,
          &TBatchDlg::keepMinimumColumnWidths);
}

const modify::BatchTable& TBatchDlg::table() const {
  return model_->table();
}

int TBatchDlg::currentRow() const {
  return StringGrid->currentIndex().isValid() ? StringGrid->currentIndex().row() : -1;
}

void TBatchDlg::keepMinimumColumnWidths() {
  const int minimum[] = {scaled(kMinSearchColumn), scaled(kMinReplaceColumn)};
  for (int column = 0; column < 2; ++column)
    if (StringGrid->columnWidth(column) < minimum[column])
      StringGrid->setColumnWidth(column, minimum[column]);
}

bool TBatchDlg::saveTable(const QString& path) {
  try {
    modify::saveTableFile(path.toStdString(), table());
    return true;
  } catch (const std::exception&) {
    return false;  // a failed save leaves the table as it is
  }
}

bool TBatchDlg::openTable(const QString& path) {
  try {
    modify::BatchTable table = modify::openTableFile(path.toStdString());
    model_->setTable(std::move(table));
    return true;
  } catch (const modify::ModifyError& error) {
    showWarning(this, QString::fromStdString(error.caption()), error.what());
    return false;
  }
}

void TBatchDlg::saveWithDialog() {
  QFileDialog dialog(this, "Save", saveFolder_, kTableFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // A name typed without extension gets the one the filter shows, so the file stays visible.
  dialog.setDefaultSuffix(kTableSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().front();
  if (saveTable(path)) saveFolder_ = QFileInfo(path).absolutePath();
}

void TBatchDlg::openWithDialog() {
  QFileDialog dialog(this, "Open", openFolder_, kTableFilter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(kTableSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().front();
  openTable(path);
  openFolder_ = saveFolder_ = QFileInfo(path).absolutePath();
}

modify::BatchState TBatchDlg::state() const {
  modify::BatchState state;
  state.width = width();
  state.height = height();
  state.rowsSpin = RowsSpinEdit->value();
  state.searchColumnWidth = StringGrid->columnWidth(0);
  state.replaceColumnWidth = StringGrid->columnWidth(1);
  state.table = table();
  return state;
}

void TBatchDlg::setState(const modify::BatchState& state) {
  if (state.width > 0 && state.height > 0) resize(state.width, state.height);
  model_->setTable(state.table);
  if (state.searchColumnWidth > 0) StringGrid->setColumnWidth(0, state.searchColumnWidth);
  if (state.replaceColumnWidth > 0) StringGrid->setColumnWidth(1, state.replaceColumnWidth);
  keepMinimumColumnWidths();
}

void TBatchDlg::readState() {
  if (stateFile_.isEmpty()) return;
  const std::optional<modify::BatchState> state = modify::readBatchState(stateFile_.toStdString());
  if (state) setState(*state);
}

void TBatchDlg::writeState() const {
  if (stateFile_.isEmpty()) return;
  try {
    modify::storeBatchState(stateFile_.toStdString(), state());
  } catch (const std::exception&) {
    // The state is a convenience; the table itself is kept until the program ends.
  }
}

void TBatchDlg::showEvent(QShowEvent* event) {
  readState();
  QDialog::showEvent(event);
}

void TBatchDlg::done(int result) {
  // A cell still being edited keeps its text.
  QWidget* editor = QApplication::focusWidget();
  if (editor != nullptr && editor != StringGrid && StringGrid->isAncestorOf(editor))
    emit StringGrid->itemDelegate()->commitData(editor);
  writeState();
  QDialog::done(result);
}

bool TBatchDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == StringGrid && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // Key presses reach the grid itself only while no cell editor is open.
    if (enter) {
      model_->setRowCountClamped(model_->rowCount() + 1);  // Enter appends a row
      StringGrid->setCurrentIndex(model_->index(model_->rowCount() - 1, 0));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TBatchDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    emit helpRequested(kHelpTopic);
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace kestrix::ui
