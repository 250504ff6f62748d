// The lines viewer's model over the display lines of the browsed file's entries.
#include "ui/viewer/LinesModel.h"

namespace kestrix::ui {

LinesModel::LinesModel(QObject* parent) : QAbstractListModel(parent) {}

int LinesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

LinesModel::Kind LinesModel::kind(int row) const {
  if (row == 0) return Kind::Header;
  if (row == kEtcIndex) return Kind::Etc;
  return Kind::Line;
}

QVariant LinesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Line& line = lines_[static_cast<size_t>(index.row())];
  const Kind k = kind(index.row());
  switch (role) {
    case Qt::DisplayRole:
      return line.text;
    case KindRole:
      return static_cast<int>(k);
    case HitsRole:
      return QVariant::fromValue(line.hits);
    case WholeLineHitRole:
      return k == Kind::Line && lineMode_ == LineMode::Ranges;
    case LineNumberRole:
      return k == Kind::Line ? line.lineNumber : 0;
    default:
      return {};
  }
}

void LinesModel::setFoundLines(const search::FoundLines& lines) {
  beginResetModel();
  lines_.clear();
  lines_.reserve(lines.entries.size());
  for (results::DisplayLine& line : results::displayLines(lines)) {
    lines_.push_back({QString::fromStdU16String(line.text),
                      DisplayHits(line.hits.begin(), line.hits.end()),
                      static_cast<int>(line.lineNumber)});
  }
  endResetModel();
}

void LinesModel::clear() {
  if (lines_.empty()) return;
  beginResetModel();
  lines_.clear();
  endResetModel();
}

void LinesModel::setLineMode(LineMode mode) {
  if (mode == lineMode_) return;
  lineMode_ = mode;
  if (!lines_.empty()) emit dataChanged(index(0), index(rowCount() - 1), {WholeLineHitRole});
}

}  // namespace kestrix::ui
