// The pairs of the batch grid as a table model.
#include "ui/batch/BatchTableModel.h"

#include <algorithm>

namespace kestrix::ui {

BatchTableModel::BatchTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int BatchTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
}

int BatchTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

QVariant BatchTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  const modify::BatchPair& pair = table_.rows[static_cast<std::size_t>(index.row())];
  QString text = QString::fromStdString(index.column() == 0 ? pair.search : pair.replace);
  if (role == Qt::DisplayRole) text.replace('\t', ' ');  // a tab is drawn as a blank
  return text;
}

bool BatchTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || index.row() >= rowCount()) return false;
  const modify::CellText cell = modify::normalizeBatchCell(value.toString().toStdString());
  if (cell.cut) emit cellCut();
  modify::BatchPair& pair = table_.rows[static_cast<std::size_t>(index.row())];
  (index.column() == 0 ? pair.search : pair.replace) = cell.text;
  emit dataChanged(index, index);
  return true;
}

QVariant BatchTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return section == 0 ? QString("To Search") : QString("To Replace or Insert");
}

Qt::ItemFlags BatchTableModel::flags(const QModelIndex& index) const {
  return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void BatchTableModel::setTable(modify::BatchTable table) {
  beginResetModel();
  table_ = std::move(table);
  if (table_.rows.empty()) table_.rows.emplace_back();
  endResetModel();
  emit rowsChanged(rowCount());
}

void BatchTableModel::setRowCountClamped(long long rows) {
  const int wanted = static_cast<int>(modify::clampBatchRows(rows));
  const int now = rowCount();
  if (wanted == now) return;
  if (wanted > now) {
    beginInsertRows({}, now, wanted - 1);
    modify::resizeBatchTable(table_, wanted);
    endInsertRows();
  } else {
    beginRemoveRows({}, wanted, now - 1);
    modify::resizeBatchTable(table_, wanted);
    endRemoveRows();
  }
  emit rowsChanged(wanted);
}

void BatchTableModel::insertEmptyRow(int row) {
  if (rowCount() >= static_cast<int>(modify::kMaxBatchRows)) return;
  row = std::clamp(row, 0, rowCount());
  beginInsertRows({}, row, row);
  table_.rows.insert(table_.rows.begin() + row, modify::BatchPair{});
  endInsertRows();
  emit rowsChanged(rowCount());
}

void BatchTableModel::removeOneRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  if (rowCount() == 1) {
    table_.rows[0] = {};
    emit dataChanged(index(0, 0), index(0, 1));
    return;
  }
  beginRemoveRows({}, row, row);
  table_.rows.erase(table_.rows.begin() + row);
  endRemoveRows();
  emit rowsChanged(rowCount());
}

void BatchTableModel::removeAll() {
  setTable(modify::BatchTable{});
}

}  // namespace kestrix::ui
