// Paints one line of the lines viewer: the bold header and Etc lines, hit lines with their
// hits in the hit colour (blue, yellow on the selected line), Multiline entries fully in
// the hit colour, and the red "+" of lines inside the browsed file's modification interval.
#pragma once

#include <QColor>
#include <QFont>
#include <QStyledItemDelegate>
#include <cstdint>

#include "results/IntervalMarker.h"

namespace kestrix::ui {

class LinesDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit LinesDelegate(QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  // Every line is as wide as the widest one (contentWidth) and one line high.
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // Width of `text` drawn in `font` (bold for the header and Etc lines).
  static int textWidth(const QString& text, const QFont& font, bool bold);
  // Height of one line in `font`: the font's line height, one pixel more above 96 dpi.
  static int lineHeight(const QFont& font, qreal logicalDpi);

  void setContentWidth(int width) { contentWidth_ = width; }
  int contentWidth() const { return contentWidth_; }

  // The interval marker: when enabled, lines whose number n lies inside [from, to] (0 on
  // either end means top or bottom) get a red bold "+".
  void setIntervalMarker(bool enabled, std::int64_t from, std::int64_t to);
  bool intervalMarkerEnabled() const { return marker_.enabled; }
  // True when the marker would be drawn for a line of file line number n.
  bool marksLine(std::int64_t n) const { return marker_.marks(n); }

  static QColor hitColor(bool selected) { return selected ? QColor(Qt::yellow) : QColor(Qt::blue); }

 private:
  int contentWidth_ = 0;
  results::IntervalMarker marker_;
};

}  // namespace kestrix::ui
