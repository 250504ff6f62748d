// Middle elision for paths and tooltips for cut cells of the results list.
#include "ui/results/ResultsDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

#include "ui/results/ResultsModel.h"

namespace kestrix::ui {

namespace {
bool isPathColumn(const QModelIndex& index) {
  const auto* model = qobject_cast<const ResultsModel*>(index.model());
  return model != nullptr && model->columnKind(index.column()) == ResultsModel::Column::Path;
}
}  // namespace

void ResultsDelegate::initStyleOption(QStyleOptionViewItem* option,
                                      const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  option->textElideMode = isPathColumn(index) ? Qt::ElideMiddle : Qt::ElideRight;
}

bool ResultsDelegate::isCut(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem full = option;
  initStyleOption(&full, index);
  if (full.text.isEmpty()) return false;
  const QStyle* style = full.widget != nullptr ? full.widget->style() : QApplication::style();
  const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &full, full.widget);
  // The style keeps a margin on either side of the text.
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, full.widget) + 1;
  return full.fontMetrics.horizontalAdvance(full.text) > textRect.width() - 2 * margin;
}

bool ResultsDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                const QStyleOptionViewItem& option, const QModelIndex& index) {
  if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip)
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  QString tip = index.data(Qt::ToolTipRole).toString();
  if (tip.isEmpty() && isCut(option, index)) tip = index.data(Qt::DisplayRole).toString();
  if (tip.isEmpty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(event->globalPos(), tip, view->viewport(), view->visualRect(index));
  }
  return true;
}

}  // namespace kestrix::ui
