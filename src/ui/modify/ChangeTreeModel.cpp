// The tree of a reviewed modification's changes and their check boxes.
#include "ui/modify/ChangeTreeModel.h"

#include <algorithm>

namespace kestrix::ui {
namespace {

// File rows carry 0 as their internal id, change rows their file's index + 1.
constexpr quintptr kFileRow = 0;

// At most this many bytes of a line are shown on each side of a change.
constexpr std::size_t kContext = 240;
constexpr std::size_t kLongestMark = 4000;

bool continuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// A piece of UTF-8 text as shown in one row: every break a "↵", tabs kept.
QString shown(std::string_view text) {
  QString out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  out.replace(QLatin1String("\r\n"), QString(QChar(0x21B5)));
  out.replace(QChar('\r'), QChar(0x21B5));
  out.replace(QChar('\n'), QChar(0x21B5));
  return out;
}

// The text of a Before or After cell: the line(s) with the changed text at `from`, cut to
// some context around it on long lines.
struct MarkedText {
  QString text;
  int start = 0;
  int length = 0;
};

MarkedText marked(std::string_view line, std::size_t from, std::size_t length) {
  std::size_t head = from > kContext ? from - kContext : 0;
  while (head > 0 && head < from && continuationByte(line[head])) --head;
  std::size_t tailEnd = std::min(line.size(), from + length + kContext);
  while (tailEnd < line.size() && continuationByte(line[tailEnd])) ++tailEnd;
  std::size_t markEnd = from + std::min(length, kLongestMark);
  while (markEnd < from + length && continuationByte(line[markEnd])) ++markEnd;
  MarkedText out;
  out.text =
      (head > 0 ? QString(QChar(0x2026)) : QString()) + shown(line.substr(head, from - head));
  out.start = static_cast<int>(out.text.size());
  const QString mark = shown(line.substr(from, markEnd - from));
  out.length = static_cast<int>(mark.size());
  out.text += mark;
  if (markEnd < from + length) out.text += QChar(0x2026);
  out.text += shown(line.substr(from + length, tailEnd - from - length));
  if (tailEnd < line.size()) out.text += QChar(0x2026);
  return out;
}

QString lineLabel(const modify::Change& change) {
  if (change.lastLine == change.firstLine) return QString::number(change.firstLine);
  return QString("%1-%2").arg(change.firstLine).arg(change.lastLine);
}

Qt::CheckState stateOf(std::size_t checked, std::size_t total) {
  if (checked == 0) return Qt::Unchecked;
  return checked == total ? Qt::Checked : Qt::PartiallyChecked;
}

}  // namespace

ChangeTreeModel::ChangeTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void ChangeTreeModel::setReview(modify::Review review) {
  beginResetModel();
  review_ = std::move(review);
  accepted_.clear();
  checked_.clear();
  total_ = 0;
  for (const modify::FileChanges& file : review_.files) {
    accepted_.emplace_back(file.changes.size(), true);
    checked_.push_back(file.changes.size());
    total_ += file.changes.size();
  }
  checkedTotal_ = total_;
  endResetModel();
  emit countsChanged();
}

void ChangeTreeModel::setAllChecked(bool checked) {
  for (std::size_t f = 0; f < review_.files.size(); ++f) {
    std::fill(accepted_[f].begin(), accepted_[f].end(), checked);
    checked_[f] = checked ? accepted_[f].size() : 0;
  }
  checkedTotal_ = checked ? total_ : 0;
  if (!review_.files.empty()) {
    // Every row's check box, the files' and their changes'.
    emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
    for (int f = 0; f < rowCount(); ++f) {
      const QModelIndex file = index(f, 0);
      if (rowCount(file) > 0) {
        emit dataChanged(index(0, 0, file), index(rowCount(file) - 1, 0, file),
                         {Qt::CheckStateRole});
      }
    }
  }
  emit countsChanged();
}

std::size_t ChangeTreeModel::checkedFiles() const {
  return static_cast<std::size_t>(
      std::count_if(checked_.begin(), checked_.end(), [](std::size_t n) { return n > 0; }));
}

std::size_t ChangeTreeModel::fileOf(const QModelIndex& index) const {
  return index.internalId() == kFileRow ? static_cast<std::size_t>(index.row())
                                        : static_cast<std::size_t>(index.internalId() - 1);
}

std::size_t ChangeTreeModel::changeOf(const QModelIndex& index) const {
  return index.internalId() == kFileRow ? kNoChange : static_cast<std::size_t>(index.row());
}

QModelIndex ChangeTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= ColumnCount || row >= rowCount(parent)) return {};
  if (!parent.isValid()) return createIndex(row, column, kFileRow);
  return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex ChangeTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kFileRow) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, kFileRow);
}

int ChangeTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(review_.files.size());
  if (parent.internalId() != kFileRow || parent.column() != 0) return 0;
  return static_cast<int>(review_.files[static_cast<std::size_t>(parent.row())].changes.size());
}

int ChangeTreeModel::columnCount(const QModelIndex&) const {
  return ColumnCount;
}

QVariant ChangeTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const std::size_t file = fileOf(index);
  const std::size_t change = changeOf(index);
  if (change == kNoChange) return fileData(file, index.column(), role);
  return changeData(file, change, index.column(), role);
}

QVariant ChangeTreeModel::fileData(std::size_t file, int column, int role) const {
  if (column != LineColumn) return {};
  const modify::FileChanges& changes = review_.files[file];
  if (role == Qt::DisplayRole) {
    return QString("%1  (%2 of %3)")
        .arg(QString::fromStdString(changes.fullName))
        .arg(checked_[file])
        .arg(changes.changes.size());
  }
  if (role == Qt::CheckStateRole) return stateOf(checked_[file], changes.changes.size());
  return {};
}

QVariant ChangeTreeModel::changeData(std::size_t file, std::size_t change, int column,
                                     int role) const {
  const modify::FileChanges& changes = review_.files[file];
  const modify::Change& c = changes.changes[change];
  if (column == LineColumn) {
    if (role == Qt::DisplayRole) return lineLabel(c);
    if (role == Qt::CheckStateRole) return accepted_[file][change] ? Qt::Checked : Qt::Unchecked;
    return {};
  }
  if (role != Qt::DisplayRole && role != MarkStartRole && role != MarkLengthRole &&
      role != Qt::ToolTipRole) {
    return {};
  }
  const modify::ChangeLines lines = modify::linesOfChange(changes, c);
  const bool before = column == BeforeColumn;
  const MarkedText text = before ? marked(lines.before, lines.markFrom, lines.beforeLength)
                                 : marked(lines.after, lines.markFrom, lines.afterLength);
  if (role == MarkStartRole) return text.start;
  if (role == MarkLengthRole) return text.length;
  return text.text;
}

bool ChangeTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::CheckStateRole || index.column() != LineColumn) return false;
  const bool checked = value.toInt() != Qt::Unchecked;
  const std::size_t file = fileOf(index);
  const std::size_t change = changeOf(index);
  if (change == kNoChange) {
    setFileChecked(file, checked);
  } else {
    setChangeChecked(file, change, checked);
  }
  emit countsChanged();
  return true;
}

void ChangeTreeModel::setFileChecked(std::size_t file, bool checked) {
  modify::Accepted& flags = accepted_[file];
  checkedTotal_ = checkedTotal_ - checked_[file] + (checked ? flags.size() : 0);
  std::fill(flags.begin(), flags.end(), checked);
  checked_[file] = checked ? flags.size() : 0;
  const QModelIndex row = index(static_cast<int>(file), 0);
  emit dataChanged(row, row, {Qt::CheckStateRole, Qt::DisplayRole});
  if (!flags.empty()) {
    emit dataChanged(index(0, 0, row), index(static_cast<int>(flags.size()) - 1, 0, row),
                     {Qt::CheckStateRole});
  }
}

void ChangeTreeModel::setChangeChecked(std::size_t file, std::size_t change, bool checked) {
  if (accepted_[file][change] == checked) return;
  accepted_[file][change] = checked;
  if (checked) {
    ++checked_[file];
    ++checkedTotal_;
  } else {
    --checked_[file];
    --checkedTotal_;
  }
  const QModelIndex row = index(static_cast<int>(file), 0);
  const QModelIndex child = index(static_cast<int>(change), 0, row);
  emit dataChanged(row, row, {Qt::CheckStateRole, Qt::DisplayRole});
  emit dataChanged(child, child, {Qt::CheckStateRole});
}

Qt::ItemFlags ChangeTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == LineColumn) flags |= Qt::ItemIsUserCheckable;
  // A view that expands all its rows then keeps a persistent index for each file only, not
  // for each of (perhaps) a hundred thousand changes: those indexes hash poorly and made
  // opening a large preview take minutes.
  if (changeOf(index) != kNoChange) flags |= Qt::ItemNeverHasChildren;
  return flags;
}

QVariant ChangeTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case LineColumn:
      return QString("Line");
    case BeforeColumn:
      return QString("Before");
    case AfterColumn:
      return QString("After");
    default:
      return {};
  }
}

}  // namespace kestrix::ui
