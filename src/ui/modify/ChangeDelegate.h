// Paints the Before and After cells of the preview's changes: the line(s) with the changed
// text marked inside them (removed text red, put-in text green, an insertion point as a
// thin bar).
#pragma once

#include <QStyledItemDelegate>

namespace kestrix::ui {

class ChangeDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

}  // namespace kestrix::ui
