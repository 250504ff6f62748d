// Custom painting of the lines viewer's lines.
#include "ui/viewer/LinesDelegate.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QPainter>

#include "ui/viewer/LinesModel.h"

namespace kestrix::ui {
namespace {

constexpr int kTextMargin = 2;

QFont boldOf(QFont font) {
  font.setBold(true);
  return font;
}

// Right edge of the visible area in the painter's coordinates.
int visibleRight(const QStyleOptionViewItem& option) {
  if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget)) {
    return view->viewport()->width();
  }
  return option.rect.right();
}

}  // namespace

LinesDelegate::LinesDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

int LinesDelegate::textWidth(const QString& text, const QFont& font, bool bold) {
  return QFontMetrics(bold ? boldOf(font) : font).horizontalAdvance(text) + 2 * kTextMargin;
}

int LinesDelegate::lineHeight(const QFont& font, qreal logicalDpi) {
  return QFontMetrics(font).height() + (logicalDpi > 96 ? 1 : 0);
}

QSize LinesDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  const qreal dpi = option.widget ? option.widget->logicalDpiY() : 96;
  return {contentWidth_, lineHeight(option.font, dpi)};
}

void LinesDelegate::setIntervalMarker(bool enabled, std::int64_t from, std::int64_t to) {
  marker_ = {enabled, from, to};
}

void LinesDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette& palette = option.palette;
  const QString text = index.data(Qt::DisplayRole).toString();
  const auto kind = static_cast<LinesModel::Kind>(index.data(LinesModel::KindRole).toInt());
  const QRect& rect = option.rect;

  painter->save();
  painter->fillRect(rect, selected ? palette.highlight() : palette.base());
  const QColor normal = selected ? palette.highlightedText().color() : palette.text().color();
  const QFontMetrics metrics(option.font);
  const int left = rect.left() + kTextMargin;
  const int baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();

  if (kind != LinesModel::Kind::Line) {
    painter->setFont(boldOf(option.font));
    painter->setPen(normal);
    painter->drawText(QPoint(left, baseline), text);
    painter->restore();
    return;
  }
  painter->setFont(option.font);
  if (index.data(LinesModel::WholeLineHitRole).toBool()) {
    painter->setPen(hitColor(selected));
    painter->drawText(QPoint(left, baseline), text);
  } else {
    painter->setPen(normal);
    painter->drawText(QPoint(left, baseline), text);
    painter->setPen(hitColor(selected));
    const int right = visibleRight(option);
    int previousX = left;
    for (const DisplayHit& hit : index.data(LinesModel::HitsRole).value<DisplayHits>()) {
      if (previousX > right) break;  // the rest lies beyond the visible area
      const int x = left + metrics.horizontalAdvance(text.left(hit.column));
      const QString hitText = text.mid(hit.column, hit.length);
      // Blank the plain glyphs first so the hit is not drawn on top of them.
      painter->fillRect(QRect(x, rect.top(), metrics.horizontalAdvance(hitText), rect.height()),
                        selected ? palette.highlight() : palette.base());
      painter->drawText(QPoint(x, baseline), hitText);
      previousX = x;
    }
  }
  const int number = index.data(LinesModel::LineNumberRole).toInt();
  if (marksLine(number)) {
    painter->setFont(boldOf(option.font));
    painter->setPen(Qt::red);
    painter->drawText(QPoint(rect.left(), baseline), QStringLiteral("+"));
  }
  painter->restore();
}

}  // namespace kestrix::ui
