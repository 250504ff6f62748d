// Painting of the marked text of a change.
#include "ui/modify/ChangeDelegate.h"

#include <QApplication>
#include <QPainter>

#include "ui/modify/ChangeTreeModel.h"

namespace kestrix::ui {

void ChangeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
  const QVariant start = index.data(ChangeTreeModel::MarkStartRole);
  if (!start.isValid()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QString text = opt.text;
  opt.text.clear();
  const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

  const bool after = index.column() == ChangeTreeModel::AfterColumn;
  const int from = std::clamp(start.toInt(), 0, static_cast<int>(text.size()));
  const int length = std::clamp(index.data(ChangeTreeModel::MarkLengthRole).toInt(), 0,
                                static_cast<int>(text.size()) - from);
  const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
  const QFontMetrics metrics(opt.font);
  const bool selected = opt.state & QStyle::State_Selected;
  const QColor ink = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
  painter->save();
  painter->setClipRect(area);
  painter->setFont(opt.font);
  int x = area.left() + 2;
  const int baseline = area.top() + (area.height() + metrics.ascent() - metrics.descent()) / 2;
  auto piece = [&](const QString& s, const QColor* background) {
    const int width = metrics.horizontalAdvance(s);
    if (background)
      painter->fillRect(QRect(x, area.top() + 1, width, area.height() - 2), *background);
    painter->setPen(background ? QColor(0, 0, 0) : ink);
    painter->drawText(x, baseline, s);
    x += width;
  };
  const QColor markColor = after ? QColor(170, 235, 170) : QColor(255, 190, 190);
  piece(text.left(from), nullptr);
  if (length > 0) {
    piece(text.mid(from, length), &markColor);
  } else {
    painter->fillRect(QRect(x - 1, area.top() + 1, 2, area.height() - 2),
                      after ? QColor(0, 140, 0) : QColor(200, 0, 0));
  }
  piece(text.mid(from + length), nullptr);
  painter->restore();
}

}  // namespace kestrix::ui
