// The grid model of the "Batch Replace" dialog: a modify::BatchTable shown as the columns
// "To Search" and "To Replace or Insert", one row per pair (the heading row is the view's
// header). Typed cells are cut at the first CR/LF and to 1000 characters.
#pragma once

#include <QAbstractTableModel>

#include "modify/BatchTable.h"

namespace kestrix::ui {

class BatchTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit BatchTableModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  const modify::BatchTable& table() const { return table_; }
  void setTable(modify::BatchTable table);
  // Sets the row count (clamped to 1..100000): empty rows added or rows dropped at the end.
  void setRowCountClamped(long long rows);
  // Inserts an empty row at `row`; removes `row` (empties it when it is the only one).
  void insertEmptyRow(int row);
  void removeOneRow(int row);
  // Leaves a single empty row.
  void removeAll();

 signals:
  // A typed cell was longer than a cell may be and was cut (the dialog beeps).
  void cellCut();
  // The row count changed (the spin box follows).
  void rowsChanged(int rows);

 private:
  modify::BatchTable table_;
};

}  // namespace kestrix::ui
