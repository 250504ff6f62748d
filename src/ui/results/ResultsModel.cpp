// Rows, columns and sorting of the results list.
#include "ui/results/ResultsModel.h"

#include <algorithm>
#include <numeric>

#include "results/ResultTable.h"
#include "results/RowOrder.h"
#include "search/FileEncoding.h"
#include "text/DisplayWidth.h"

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
  switch (columns_[static_cast<size_t>(position)]) {
    case Column::Name:
      return QString::fromStdString(text::escapeForDisplay(it.name));
    case Column::Path:
      return QString::fromStdString(text::escapeForDisplay(it.path));
    case Column::Found:
      return QString::fromStdString(search::foundCellText(it));
    case Column::Attributes:
      return QString::fromStdString(it.attributes);
    case Column::Time:
      return QString::fromStdString(it.time);
    case Column::Size:
      return QString::fromStdString(it.size);
    case Column::Type:
      return typeNames_.displayText(it.name, it.type);
    case Column::Result:
      return QString::fromStdString(search::resultCellText(it, intervalFormat()));
  }
  return QString();
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
  switch (columns_.at(static_cast<size_t>(position))) {
    case Column::Name:
      return QStringLiteral("Name");
    case Column::Path:
      return QStringLiteral("Path");
    case Column::Found:
      return QStringLiteral("Found");
    case Column::Attributes:
      return QStringLiteral("Attributes");
    case Column::Time:
      return QStringLiteral("Time");
    case Column::Size:
      return QStringLiteral("Size");
    case Column::Type:
      return QStringLiteral("Type");
    case Column::Result:
      return resultCaption_;
  }
  return QString();
}

int ResultsModel::defaultWidth(Column column) {
  switch (column) {
    case Column::Name:
      return 122;
    case Column::Path:
      return 212;
    case Column::Found:
      return 52;
    case Column::Attributes:
      return 55;
    case Column::Time:
      return 103;
    case Column::Size:
      return 69;
    case Column::Type:
      return 75;
    case Column::Result:
      return 100;
  }
  return 80;
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
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::erase_if(rows, [this](int r) { return r < 0 || r >= rowCount(); });
  if (rows.empty()) return;
  // Runs of consecutive rows, removed from the last so earlier indexes stay valid.
  std::vector<std::pair<int, int>> runs;
  for (int r : rows) {
    if (!runs.empty() && runs.back().second + 1 == r) {
      runs.back().second = r;
    } else {
      runs.emplace_back(r, r);
    }
  }
  if (runs.size() > kMaxRemovalRuns) {
    beginResetModel();
    std::vector<bool> removed(items_.size(), false);
    for (int r : rows) removed[static_cast<size_t>(r)] = true;
    std::size_t i = 0;
    std::erase_if(items_, [&](const search::ResultItem&) { return removed[i++]; });
    endResetModel();
    return;
  }
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    beginRemoveRows({}, run->first, run->second);
    items_.erase(items_.begin() + run->first, items_.begin() + run->second + 1);
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

std::vector<double> ResultsModel::numericKeys(Column kind) const {
  std::vector<double> keys(items_.size());
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const search::ResultItem& it = items_[i];
    if (kind == Column::Found) keys[i] = it.hits.empty() ? 0 : static_cast<double>(it.hits[0]);
    if (kind == Column::Size) keys[i] = static_cast<double>(it.sizeBytes);
    if (kind == Column::Time) keys[i] = static_cast<double>(it.lastWriteSec);
  }
  return keys;
}

std::vector<std::string> ResultsModel::textKeys(Column kind) const {
  std::vector<std::string> keys(items_.size());
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const search::ResultItem& it = items_[i];
    switch (kind) {
      case Column::Name:
        keys[i] = it.name;
        break;
      case Column::Path:
        keys[i] = it.path;
        break;
      case Column::Attributes:
        keys[i] = it.attributes;
        break;
      case Column::Type:
        keys[i] = typeNames_.displayText(it.name, it.type).toStdString();
        break;
      case Column::Result:
        keys[i] = search::resultCellText(it, intervalFormat());
        break;
      default:
        keys[i] = search::foundCellText(it);
        break;
    }
  }
  return keys;
}

bool ResultsModel::sortByColumn(int position) {
  if (searchRunning_ || position < 0 || position >= columnCount()) return false;
  const bool descending = sortState_.beginSort(position);
  const Column kind = columns_[static_cast<size_t>(position)];
  const std::vector<std::size_t> order =
      kind == Column::Found || kind == Column::Size || kind == Column::Time
          ? results::orderByNumbers(numericKeys(kind), descending)
          : results::orderByTexts(textKeys(kind), descending);
  applyOrder(order);
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
