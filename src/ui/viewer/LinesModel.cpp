// Decoding FoundLines entries and mapping their hits for the lines viewer.
#include "ui/viewer/LinesModel.h"

#include <algorithm>

#include "ui/fileops/EditorCommand.h"
#include "ui/viewer/TextDecoding.h"

namespace kestrix::ui {
namespace {

DisplayHits mapHits(const search::HitLine& hitLine, const DecodedText& decoded) {
  DisplayHits out;
  const int textLength = static_cast<int>(decoded.text.size());
  for (const search::Hit& hit : hitLine.hits) {
    const auto [column, length] = decoded.columnRange(hit.start, hit.length);
    const int clipped = std::min(length, textLength - column);
    if (clipped > 0) out.append(DisplayHit{column, clipped});
  }
  return out;
}

}  // namespace

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
      return k == Kind::Line ? lineNumberOfEntry(line.text) : 0;
    default:
      return {};
  }
}

void LinesModel::setFoundLines(const search::FoundLines& lines) {
  beginResetModel();
  lines_.clear();
  lines_.reserve(lines.entries.size());
  for (std::size_t i = 0; i < lines.entries.size(); ++i) {
    DecodedText decoded = decodeForDisplay(lines.entries[i]);
    Line line;
    const int map = i < lines.viewerMap.size() ? lines.viewerMap[i] : -1;
    if (i > 0 && map >= 0 && static_cast<std::size_t>(map) < lines.hitLines.size()) {
      line.hits = mapHits(lines.hitLines[static_cast<size_t>(map)], decoded);
    }
    line.text = std::move(decoded.text);
    lines_.push_back(std::move(line));
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
