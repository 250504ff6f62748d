// The tree of a reviewed modification's changes and their check boxes.
#include "ui/modify/ChangeTreeModel.h"

#include "modify/ReviewTexts.h"

namespace kestrix::ui {
namespace {

// File rows carry 0 as their internal id, change rows their file's index + 1.
constexpr quintptr kFileRow = 0;

// The text of a Before or After cell and where the changed text lies in it.
struct MarkedText {
  QString text;
  int start = 0;
  int length = 0;
};

MarkedText marked(std::string_view line, std::size_t from, std::size_t length) {
  const modify::ChangeExcerpt excerpt = modify::changeExcerpt(line, from, length);
  const QString head = QString::fromStdString(excerpt.head);
  const QString mark = QString::fromStdString(excerpt.mark);
  return {head + mark + QString::fromStdString(excerpt.tail), static_cast<int>(head.size()),
          static_cast<int>(mark.size())};
}

Qt::CheckState stateOf(modify::FileCheck check) {
  switch (check) {
    case modify::FileCheck::None:
      return Qt::Unchecked;
    case modify::FileCheck::Some:
      return Qt::PartiallyChecked;
    case modify::FileCheck::All:
      break;
  }
  return Qt::Checked;
}

}  // namespace

ChangeTreeModel::ChangeTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void ChangeTreeModel::setReview(modify::Review review) {
  beginResetModel();
  review_ = std::move(review);
  checks_.reset(review_);
  endResetModel();
  emit countsChanged();
}

void ChangeTreeModel::setAllChecked(bool checked) {
  checks_.setAll(checked);
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
    return QString::fromStdString(
        modify::fileCaption(changes.fullName, checks_.checkedIn(file), changes.changes.size()));
  }
  if (role == Qt::CheckStateRole) return stateOf(checks_.fileCheck(file));
  return {};
}

QVariant ChangeTreeModel::changeData(std::size_t file, std::size_t change, int column,
                                     int role) const {
  const modify::FileChanges& changes = review_.files[file];
  const modify::Change& c = changes.changes[change];
  if (column == LineColumn) {
    if (role == Qt::DisplayRole) return QString::fromStdString(modify::changeLineLabel(c));
    if (role == Qt::CheckStateRole)
      return checks_.isChecked(file, change) ? Qt::Checked : Qt::Unchecked;
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
  checks_.setFile(file, checked);
  const QModelIndex row = index(static_cast<int>(file), 0);
  emit dataChanged(row, row, {Qt::CheckStateRole, Qt::DisplayRole});
  if (const int changes = rowCount(row); changes > 0)
    emit dataChanged(index(0, 0, row), index(changes - 1, 0, row), {Qt::CheckStateRole});
}

void ChangeTreeModel::setChangeChecked(std::size_t file, std::size_t change, bool checked) {
  if (!checks_.setChange(file, change, checked)) return;
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
