// Paints the cells of the results list: a long path is cut in the middle (its start and
// its file's folder stay readable), other texts at the end; a cut cell shows its whole
// text in a tooltip, and a cell with a tooltip of its own (type, result reason) shows that.
#pragma once

#include <QStyledItemDelegate>

namespace kestrix::ui {

class ResultsDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // True when the cell's text does not fit the width `option` gives it.
  bool isCut(const QStyleOptionViewItem& option, const QModelIndex& index) const;

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace kestrix::ui
