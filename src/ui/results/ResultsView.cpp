// The results list's view and its commands on rows.
#include "ui/results/ResultsView.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "results/ListRows.h"
#include "ui/fileops/FileLauncher.h"
#include "ui/results/ResultsDelegate.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/TMaskForm.h"
#include "ui/window/MessageBoxes.h"

namespace kestrix::ui {

ResultsView::ResultsView(QWidget* parent) : QTableView(parent) {
  setObjectName(QStringLiteral("ListView1"));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setShowGrid(false);
  setTabKeyNavigation(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Rows have one fixed height, so 200 000 rows cost nothing to lay out.
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  keepSelectionVisible();
  // The view paints every pixel of its viewport itself, so a skipped repaint (see
  // paintEvent) leaves the rows on screen instead of an erased background.
  viewport()->setAutoFillBackground(false);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &ResultsView::onHeaderClicked);
  setItemDelegate(new ResultsDelegate(this));
  // A width set while a mouse button is down on the header is the user's.
  horizontalHeader()->viewport()->installEventFilter(this);
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
    if (headerPressed_) userSizedColumns_ = true;
  });
}

void ResultsView::keepSelectionVisible() {
  // The selection stays visible while the list does not have the focus; the colours are
  // the desktop's, taken again whenever its palette changes (light / dark).
  QPalette p = QApplication::palette(this);
  p.setColor(QPalette::Inactive, QPalette::Highlight,
             p.color(QPalette::Active, QPalette::Highlight));
  p.setColor(QPalette::Inactive, QPalette::HighlightedText,
             p.color(QPalette::Active, QPalette::HighlightedText));
  setPalette(p);
}

void ResultsView::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  // A palette set on the application reaches the view as a palette change of its own.
  const bool paletteChanged =
      event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange;
  if (paletteChanged && !keepingSelectionVisible_) {
    keepingSelectionVisible_ = true;
    keepSelectionVisible();
    keepingSelectionVisible_ = false;
  }
}

bool ResultsView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == horizontalHeader()->viewport()) {
    if (event->type() == QEvent::MouseButtonPress) headerPressed_ = true;
    if (event->type() == QEvent::MouseButtonRelease) headerPressed_ = false;
  }
  return QTableView::eventFilter(watched, event);
}

int ResultsView::contentWidth(int column) const {
  // The widest of the first rows (the view's own measure) and the caption.
  return std::max(sizeHintForColumn(column), horizontalHeader()->sectionSizeHint(column));
}

int ResultsView::widthToFill() const {
  // The vertical scroll bar the rows need may not be laid out yet when the search ends.
  int width = maximumViewportSize().width();
  if (model()->rowCount() * verticalHeader()->defaultSectionSize() > viewport()->height())
    width -=
        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar()) +
        std::max(style()->pixelMetric(QStyle::PM_ScrollView_ScrollBarSpacing, nullptr, this), 0);
  return width;
}

void ResultsView::fitColumnsToContents() {
  ResultsModel* m = resultsModel();
  if (m == nullptr) return;
  const int cap = std::max(widthToFill() / 3, 1);
  for (int c = 0; c < m->columnCount(); ++c)
    if (m->columnKind(c) != ResultsModel::Column::Path)
      setColumnWidth(c, std::max(columnWidth(c), std::min(contentWidth(c), cap)));
  fillWithPath();
}

void ResultsView::fillWithPath() {
  ResultsModel* m = resultsModel();
  const int path = m != nullptr ? m->columnOf(ResultsModel::Column::Path) : -1;
  if (path < 0) return;
  // Path's text is cut in the middle, so it narrows too (down to a sixth of the list) for the
  // columns right of it to show rather than sit past the edge.
  const int width = widthToFill();
  const int others = horizontalHeader()->length() - columnWidth(path);
  const int least = std::max(width / 6, horizontalHeader()->sectionSizeHint(path));
  setColumnWidth(path, std::max(least, width - others));
}

void ResultsView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  if (fitted_ && !userSizedColumns_) fillWithPath();
}

void ResultsView::widenResultColumn() {
  resultWidenPending_ = false;
  ResultsModel* m = resultsModel();
  const int column = m != nullptr ? m->columnOf(ResultsModel::Column::Result) : -1;
  if (column < 0 || userSizedColumns_) return;
  setColumnWidth(column, std::max(columnWidth(column), contentWidth(column)));
  if (fitted_) fillWithPath();  // Path makes room for it
}

void ResultsView::setModel(QAbstractItemModel* model) {
  if (this->model()) disconnect(this->model(), nullptr, this, nullptr);
  QTableView::setModel(model);
  if (!model) return;
  connect(model, &QAbstractItemModel::columnsInserted, this, &ResultsView::onColumnsInserted);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { emit currentRowChanged(current.row()); });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { emit rowSelectionChanged(); });
  // "Failed Modification" and the like are not cut: the Result column widens once the
  // texts written into it settle.
  connect(model, &QAbstractItemModel::dataChanged, this, [this] {
    if (resultWidenPending_ || userSizedColumns_) return;
    resultWidenPending_ = true;
    QTimer::singleShot(0, this, &ResultsView::widenResultColumn);
  });
  applyDefaultWidths();
}

ResultsModel* ResultsView::resultsModel() const {
  return qobject_cast<ResultsModel*>(model());
}

void ResultsView::applyDefaultWidths() {
  if (ResultsModel* m = resultsModel()) onColumnsInserted({}, 0, m->columnCount() - 1);
}

void ResultsView::onColumnsInserted(const QModelIndex& parent, int first, int last) {
  ResultsModel* m = resultsModel();
  if (parent.isValid() || !m) return;
  for (int c = first; c <= last; ++c) {
    const ResultsModel::Column kind = m->columnKind(c);
    setColumnWidth(
        c, widthSource_ ? widthSource_(kind) : results::defaultColumnWidth(kind) * dpi_ / 96);
  }
}

void ResultsView::setColumnWidthSource(std::function<int(ResultsModel::Column)> source) {
  widthSource_ = std::move(source);
  applyDefaultWidths();
}

void ResultsView::setSearchRunning(bool running) {
  const bool ended = searchRunning_ && !running;
  searchRunning_ = running;
  if (ended && !fitted_ && !userSizedColumns_ && model() != nullptr && model()->rowCount() > 0) {
    fitted_ = true;
    fitColumnsToContents();
  }
  if (ResultsModel* m = resultsModel()) m->setSearchRunning(running);
  insertedBelowView_ = false;
  viewport()->update();
}

ResultsView::PaintedState ResultsView::paintedState() const {
  const int height = viewport()->height();
  return {viewport()->size(),
          rowAt(0),
          rowAt(height - 1),
          verticalScrollBar()->value(),
          horizontalScrollBar()->value(),
          horizontalHeader()->length()};
}

void ResultsView::rowsInserted(const QModelIndex& parent, int start, int end) {
  QTableView::rowsInserted(parent, start, end);
  const int lastVisible = rowAt(viewport()->height() - 1);
  if (searchRunning_ && lastVisible >= 0 && start > lastVisible) insertedBelowView_ = true;
}

void ResultsView::paintEvent(QPaintEvent* event) {
  // Rows appended below a full viewport change nothing on screen: during a search that
  // appends 50 000 rows, repainting the same rows at every batch is most of the window's
  // cost. Any other change (scroll, resize, column widths) still paints.
  const PaintedState now = paintedState();
  const bool unchanged = insertedBelowView_ && now == lastPainted_;
  insertedBelowView_ = false;
  if (searchRunning_ && unchanged && event->rect() == viewport()->rect()) return;
  lastPainted_ = now;
  QPainter(viewport()).fillRect(event->rect(), palette().brush(QPalette::Base));
  QTableView::paintEvent(event);
}

void ResultsView::onHeaderClicked(int section) {
  if (searchRunning_) return;
  if (ResultsModel* m = resultsModel()) m->sortByColumn(section);
  if (currentIndex().isValid()) scrollTo(currentIndex());
}

void ResultsView::warn(const QString& caption, const QString& text) {
  if (warn_) {
    warn_(caption, text);
  } else {
    showWarning(this, caption, text);
  }
}

bool ResultsView::promptAndApply(bool select) {
  std::optional<QString> typed;
  if (prompt_) {
    typed = prompt_();
  } else {
    if (!maskForm_) maskForm_ = new TMaskForm(this);
    if (maskForm_->exec() == QDialog::Accepted) typed = maskForm_->mask();
  }
  if (!typed) return false;
  return applyMask(*typed, select);
}

bool ResultsView::selectByMask() {
  return promptAndApply(true);
}

bool ResultsView::deselectByMask() {
  return promptAndApply(false);
}

bool ResultsView::applyMask(const QString& typed, bool select) {
  ResultsModel* m = resultsModel();
  if (!m) return false;
  const auto runs = results::rowsMatchingMask(m->items(), typed.toStdString());
  if (!runs) {
    warn(QStringLiteral("Error"), QStringLiteral("Invalid mask"));
    emit maskCommandDone();
    return false;
  }
  QItemSelection matching;
  for (const results::RowRun& run : *runs)
    matching.select(m->index(run.first, 0), m->index(run.last, m->columnCount() - 1));
  selectionModel()->select(matching,
                           (select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                               QItemSelectionModel::Rows);
  // Keyboard movement goes on from a selected row.
  const std::vector<int> selected = selectedRows();
  if (!selected.empty() && !selectionModel()->isRowSelected(currentIndex().row(), {})) {
    selectionModel()->setCurrentIndex(m->index(selected.front(), 0), QItemSelectionModel::NoUpdate);
  }
  emit maskCommandDone();
  return true;
}

void ResultsView::selectAllRows() {
  ResultsModel* m = resultsModel();
  if (!m || m->rowCount() == 0) return;
  selectAll();
  if (!currentIndex().isValid()) {
    selectionModel()->setCurrentIndex(m->index(0, 0), QItemSelectionModel::NoUpdate);
  }
  emit maskCommandDone();
}

std::vector<int> ResultsView::selectedRows() const {
  std::vector<int> rows;
  if (!selectionModel()) return rows;
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    for (int r = range.top(); r <= range.bottom(); ++r) rows.push_back(r);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void ResultsView::selectOnlyRow(int row) {
  ResultsModel* m = resultsModel();
  if (!m || row < 0 || row >= m->rowCount()) return;
  const QModelIndex index = m->index(row, 0);
  selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(index);
}

bool ResultsView::deleteSelectedItems() {
  refocusArmed_ = true;
  ResultsModel* m = resultsModel();
  if (!m) return false;
  const std::vector<int> rows = selectedRows();
  if (rows.empty()) {
    warn(QStringLiteral("List: Delete Items"), QStringLiteral("Please select some items"));
    return false;
  }
  m->removeRowsList(rows);
  const int remaining = m->rowCount();
  if (remaining == 0) {
    emit statusTextChanged(QString());
    emit currentRowChanged(-1);
    emit listEmptied();
    return true;
  }
  emit statusTextChanged(QString::fromStdString(results::filesInListText(remaining)));
  selectOnlyRow(results::rowAfterRemoval(rows, remaining));
  return true;
}

void ResultsView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Delete:
      if (!selectedRows().empty()) emit deleteKeyPressed();
      event->accept();
      return;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (refocusArmed_) {
        const std::vector<int> selected = selectedRows();
        if (selected.size() == 1 && currentIndex().row() != selected.front()) {
          refocusArmed_ = false;
          selectionModel()->setCurrentIndex(model()->index(selected.front(), 0),
                                            QItemSelectionModel::NoUpdate);
        }
      }
      break;
    case Qt::Key_Home:
    case Qt::Key_End:
      // As in a list, Home and End go to the first and last row (a table would only move
      // to the first or last column).
      if (event->modifiers() == Qt::NoModifier && model() && model()->rowCount() > 0) {
        selectOnlyRow(event->key() == Qt::Key_Home ? 0 : model()->rowCount() - 1);
        if (event->key() == Qt::Key_Home) emit homePressed();
        event->accept();
        return;
      }
      break;
    default:
      break;
  }
  QTableView::keyPressEvent(event);
}

void ResultsView::mousePressEvent(QMouseEvent* event) {
  emit mousePressed(event->button(), rowAt(event->position().toPoint().y()));
  QTableView::mousePressEvent(event);
}

void ResultsView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (searchRunning_) {
    event->accept();  // a double-click during a search is dropped
    return;
  }
  QTableView::mouseDoubleClickEvent(event);
  const QModelIndex index = indexAt(event->position().toPoint());
  ResultsModel* m = resultsModel();
  if (!index.isValid() || !m || event->button() != Qt::LeftButton) return;
  const search::ResultItem& item = m->item(index.row());
  if (launcher_) {
    launcher_->openFile(QString::fromStdString(item.path), QString::fromStdString(item.name));
  }
  emit rowActivated(index.row());
}

}  // namespace kestrix::ui
