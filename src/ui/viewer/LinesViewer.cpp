// The lines viewer: a list view over LinesModel painted by LinesDelegate.
#include "ui/viewer/LinesViewer.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "ui/viewer/LinesDelegate.h"

namespace kestrix::ui {

QFont linesViewerFont() {
  if (QFontDatabase::hasFamily(QStringLiteral("Courier New"))) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    return font;
  }
  return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

LinesViewer::LinesViewer(QWidget* parent)
    : QListView(parent), model_(new LinesModel(this)), delegate_(new LinesDelegate(this)) {
  setObjectName(QStringLiteral("ListBox1"));
  setModel(model_);
  setItemDelegate(delegate_);
  setFont(linesViewerFont());
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformItemSizes(true);  // every line is contentWidth wide and one line high
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
}

void LinesViewer::setFoundLines(const search::FoundLines& lines) {
  foundLines_ = lines;
  model_->setFoundLines(lines);
  updateContentWidth();
  scrollToTop();
  horizontalScrollBar()->setValue(0);
}

void LinesViewer::clear() {
  foundLines_ = {};
  model_->clear();
  updateContentWidth();
}

void LinesViewer::setLineMode(LineMode mode) {
  model_->setLineMode(mode);
}

void LinesViewer::updateContentWidth() {
  int widest = 0;
  const QFont& f = font();
  // In a monospaced font a Latin-1 text is as wide as its length in one character's
  // width; only the other lines need measuring.
  const int cell = QFontMetrics(f).horizontalAdvance(QLatin1Char('M'));
  const bool fixedPitch = QFontInfo(f).fixedPitch();
  for (int row = 0; row < model_->rowCount(); ++row) {
    const QString text = model_->text(row);
    const bool bold = model_->kind(row) != LinesModel::Kind::Line;
    bool latin1 = fixedPitch && !bold;
    for (qsizetype i = 0; latin1 && i < text.size(); ++i) latin1 = text[i].unicode() < 0x100;
    const int width =
        latin1 ? static_cast<int>(text.size()) * cell + 4 : LinesDelegate::textWidth(text, f, bold);
    widest = std::max(widest, width);
  }
  delegate_->setContentWidth(widest);
  scheduleDelayedItemsLayout();
}

int LinesViewer::contentWidth() const {
  return delegate_->contentWidth();
}

int LinesViewer::selectedLine() const {
  const QModelIndexList rows = selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.first().row();
}

int LinesViewer::selectedLineNumber() const {
  const int row = selectedLine();
  if (row < 0 || model_->kind(row) != LinesModel::Kind::Line) return 1;
  const int number = model_->index(row).data(LinesModel::LineNumberRole).toInt();
  return number > 0 ? number : 1;
}

void LinesViewer::selectLine(int row) {
  if (row < 0 || row >= lineCount()) return;
  setCurrentIndex(model_->index(row));
}

void LinesViewer::setIntervalMarker(bool enabled, std::int64_t from, std::int64_t to) {
  delegate_->setIntervalMarker(enabled, from, to);
  viewport()->update();
}

void LinesViewer::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) {
    QListView::mousePressEvent(event);
    return;
  }
  // A right click selects the line under the pointer for the context menu; outside all
  // lines nothing changes.
  const QPoint pos = event->position().toPoint();
  const QModelIndex index = indexAt(pos);
  if (index.isValid() && visualRect(index).contains(pos, true)) setCurrentIndex(index);
  event->accept();
}

void LinesViewer::mouseDoubleClickEvent(QMouseEvent* event) {
  QListView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid()) {
    emit editRequested();
  }
}

void LinesViewer::changeEvent(QEvent* event) {
  QListView::changeEvent(event);
  if (event->type() == QEvent::FontChange) updateContentWidth();
}

}  // namespace kestrix::ui
