// Rows, columns and sorting of the results list.
#include "ui/results/ResultsModel.h"

#include <algorithm>

#include "results/ListRows.h"
#include "results/ResultTable.h"
#include "search/FileEncoding.h"

namespace kestrix::ui {
namespace {

const std::vector<ResultsModel::Column> kInitialColumns = {
    ResultsModel::Column::Name,       ResultsModel::Column::Path, ResultsModel::Column::Found,
    ResultsModel::Column::Attributes, ResultsModel::Column::Time, ResultsModel::Column::Size,
    ResultsModel::Column::Type};

// Above this many separate runs of removed rows one reset is cheaper than many removals.
constexpr std::size_t kMaxRemovalRuns = 64;

}  // namespace

const QString ResultsModel::kResultCaption = QString::fromLatin1(results::kResultCaption);
const QString ResultsModel::kResultIntervalCaption =
    QString::fromLatin1(results::kResultIntervalCaption);

ResultsModel::ResultsModel(QObject* parent)
    : QAbstractTableModel(parent), columns_(kInitialColumns), resultCaption_(kResultCaption) {}

int ResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QString ResultsModel::cellText(int row, int position) const {
  const search::ResultItem& it = items_[static_cast<size_t>(row)];
  const Column kind = columns_[static_cast<size_t>(position)];
  if (kind == Column::Type) return typeText(it);
  return QString::fromStdString(results::cellText(it, kind, intervalFormat()));
}

QString ResultsModel::typeText(const search::ResultItem& item) const {
  return typeNames_.displayText(item.name, item.type);
}

std::string ResultsModel::typeString(const search::ResultItem& item) const {
  return typeText(item).toStdString();
}

results::ResultTable ResultsModel::shownTable(bool fullFound) const {
  return results::shownTable(items_, foundColumnShown(), resultColumnShown(), fullFound,
                             intervalFormat(),
                             [this](const search::ResultItem& item) { return typeString(item); });
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
    return {};
  }
  const search::ResultItem& it = items_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return cellText(index.row(), index.column());
    case Qt::DecorationRole:
      if (index.column() == 0) return icons_.icon(it.name);
      return {};
    case Qt::ToolTipRole:
      if (columns_[static_cast<size_t>(index.column())] == Column::Result)
        return QString::fromStdString(it.outcome.reason);  // why it failed, if it did
      return typeToolTip(index.row(), index.column());
    case FullNameRole:
      return QString::fromStdString(it.fullName());
    case PathRole:
      return QString::fromStdString(it.path);
    case NameRole:
      return QString::fromStdString(it.name);
    default:
      return {};
  }
}

// The Type cell's tooltip: the type and the encoding the file is read in (read from the
// file's first bytes when asked).
QVariant ResultsModel::typeToolTip(int row, int position) const {
  if (columns_[static_cast<size_t>(position)] != Column::Type) return {};
  const search::ResultItem& it = items_[static_cast<size_t>(row)];
  const std::string encoding = search::fileEncodingName(it.fullName(), legacyCodePage_);
  if (encoding.empty()) return {};
  return cellText(row, position) + "\nEncoding: " + QString::fromStdString(encoding);
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= columnCount()) return {};
  return caption(section);
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

QString ResultsModel::caption(int position) const {
  const Column kind = columns_.at(static_cast<size_t>(position));
  return kind == Column::Result ? resultCaption_
                                : QString::fromStdString(results::columnCaption(kind));
}

void ResultsModel::appendItems(std::vector<search::ResultItem> batch) {
  if (batch.empty()) return;
  const int first = rowCount();
  beginInsertRows({}, first, first + static_cast<int>(batch.size()) - 1);
  items_.insert(items_.end(), std::make_move_iterator(batch.begin()),
                std::make_move_iterator(batch.end()));
  endInsertRows();
}

void ResultsModel::appendItem(const search::ResultItem& item) {
  appendItems(std::vector<search::ResultItem>{item});
}

void ResultsModel::clear() {
  beginResetModel();
  items_.clear();
  endResetModel();
}

void ResultsModel::setItem(int row, search::ResultItem item) {
  if (row < 0 || row >= rowCount()) return;
  items_[static_cast<size_t>(row)] = std::move(item);
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ResultsModel::setOutcome(int row, search::RowOutcome outcome) {
  if (row < 0 || row >= rowCount()) return;
  items_[static_cast<size_t>(row)].outcome = std::move(outcome);
  const int column = columnOf(Column::Result);
  if (column >= 0) emit dataChanged(index(row, column), index(row, column));
}

void ResultsModel::removeRowsList(std::vector<int> rows) {
  rows = results::validRows(std::move(rows), rowCount());
  if (rows.empty()) return;
  const std::vector<results::RowRun> runs = results::rowRuns(rows);
  if (runs.size() > kMaxRemovalRuns) {
    beginResetModel();
    std::vector<bool> removed(items_.size(), false);
    for (int r : rows) removed[static_cast<size_t>(r)] = true;
    std::size_t i = 0;
    std::erase_if(items_, [&](const search::ResultItem&) { return removed[i++]; });
    endResetModel();
    return;
  }
  // Removed from the last run so earlier indexes stay valid.
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    beginRemoveRows({}, run->first, run->last);
    items_.erase(items_.begin() + run->first, items_.begin() + run->last + 1);
    endRemoveRows();
  }
}

void ResultsModel::setFoundColumnShown(bool shown) {
  if (shown == foundColumnShown()) return;
  if (shown) {
    const int at = std::min(2, columnCount());
    beginInsertColumns({}, at, at);
    columns_.insert(columns_.begin() + at, Column::Found);
    endInsertColumns();
  } else {
    const int at = columnOf(Column::Found);
    beginRemoveColumns({}, at, at);
    columns_.erase(columns_.begin() + at);
    endRemoveColumns();
  }
}

bool ResultsModel::foundColumnShown() const {
  return columnOf(Column::Found) >= 0;
}

void ResultsModel::setResultColumn(bool shown, const QString& caption) {
  const int at = columnOf(Column::Result);
  if (shown && at >= 0) {
    resultCaption_ = caption;
    emit headerDataChanged(Qt::Horizontal, at, at);
    // The cells follow the heading: the interval caption shows each row's interval.
    if (rowCount() > 0) emit dataChanged(index(0, at), index(rowCount() - 1, at));
  } else if (shown) {
    resultCaption_ = caption;
    beginInsertColumns({}, columnCount(), columnCount());
    columns_.push_back(Column::Result);
    endInsertColumns();
  } else if (at >= 0) {
    beginRemoveColumns({}, at, at);
    columns_.erase(columns_.begin() + at);
    endRemoveColumns();
  }
}

bool ResultsModel::resultColumnShown() const {
  return columnOf(Column::Result) >= 0;
}

int ResultsModel::columnOf(const QString& caption) const {
  for (int i = 0; i < columnCount(); ++i) {
    const QString c = this->caption(i);
    if (c == caption) return i;
    if (caption == kResultCaption && columns_[static_cast<size_t>(i)] == Column::Result) return i;
  }
  return -1;
}

int ResultsModel::columnOf(Column column) const {
  const auto it = std::find(columns_.begin(), columns_.end(), column);
  return it == columns_.end() ? -1 : static_cast<int>(it - columns_.begin());
}

bool ResultsModel::sortByColumn(int position) {
  if (searchRunning_ || position < 0 || position >= columnCount()) return false;
  const bool descending = sortState_.beginSort(position);
  applyOrder(results::columnOrder(
      items_, columns_[static_cast<size_t>(position)], descending, intervalFormat(),
      [this](const search::ResultItem& item) { return typeString(item); }));
  sortState_.finishSort();
  return true;
}

void ResultsModel::applyOrder(const std::vector<std::size_t>& order) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> newRowOf(order.size());
  std::vector<search::ResultItem> sorted;
  sorted.reserve(items_.size());
  for (std::size_t pos = 0; pos < order.size(); ++pos) {
    newRowOf[static_cast<size_t>(order[pos])] = static_cast<int>(pos);
    sorted.push_back(std::move(items_[static_cast<size_t>(order[pos])]));
  }
  items_ = std::move(sorted);
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before) {
    after.append(this->index(newRowOf[static_cast<size_t>(index.row())], index.column()));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace kestrix::ui
