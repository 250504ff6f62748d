// results/: the results list: model, view, sorting, icons, mask prompt and reports.
// The results list's model: one row per listed file (search::ResultItem), columns Name,
// Path, Found, Attributes, Time, Size, Type and Result, of which Found and Result come and
// go. Rows are appended in batches and sorted by the header-click rule.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <string>
#include <vector>

#include "results/ResultColumns.h"
#include "results/SortState.h"
#include "search/ResultItem.h"
#include "ui/results/IconCache.h"
#include "ui/results/TypeNameCache.h"

namespace kestrix::ui {

class ResultsModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // What a column shows; its caption is what rules look columns up by.
  using Column = results::ResultColumn;

  // Roles beyond the standard ones; values are QStrings unless noted.
  enum Role {
    FullNameRole = Qt::UserRole + 1,  // path + "/" + name
    PathRole,
    NameRole,
  };

  static const QString kResultCaption;          // "Result"
  static const QString kResultIntervalCaption;  // "Result    |  Modification Interval"

  explicit ResultsModel(QObject* parent = nullptr);

  // QAbstractTableModel.
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Rows. appendItems adds a whole batch with one insertion; clear() empties the list.
  void appendItems(std::vector<search::ResultItem> batch);
  // The legacy code page named in the Type column's tooltip for files in neither UTF-8
  // nor UTF-16.
  void setLegacyCodePage(std::string name) { legacyCodePage_ = std::move(name); }
  void appendItem(const search::ResultItem& item);
  void clear();
  // The row's item; throws std::out_of_range for a row outside 0..rowCount()-1.
  const search::ResultItem& item(int row) const { return items_.at(static_cast<size_t>(row)); }
  const std::vector<search::ResultItem>& items() const { return items_; }
  // Replaces row `row` (its hits, outcome, interval ...) and repaints it.
  void setItem(int row, search::ResultItem item);
  // The row's outcome (its Result cell).
  void setOutcome(int row, search::RowOutcome outcome);
  // Removes the given rows (any order, duplicates ignored) with their intervals.
  void removeRowsList(std::vector<int> rows);

  // Columns. The Found column is re-inserted at position 2; Result is always last.
  void setFoundColumnShown(bool shown);
  bool foundColumnShown() const;
  void setResultColumn(bool shown, const QString& caption = kResultCaption);
  bool resultColumnShown() const;
  // True while the Result column is captioned with the interval heading: its cells show
  // each row's modification interval.
  bool intervalFormat() const { return resultCaption_ == kResultIntervalCaption; }
  // Position of the column with this caption, or -1. "Result" also finds the interval
  // form of the Result caption.
  int columnOf(const QString& caption) const;
  int columnOf(Column column) const;
  Column columnKind(int position) const { return columns_.at(static_cast<size_t>(position)); }
  QString caption(int position) const;

  // Display text of a cell (the Type column shows the desktop's type name when the core
  // had none).
  QString cellText(int row, int position) const;
  // The Type cell of `item`: the desktop's type name where the core had none.
  QString typeText(const search::ResultItem& item) const;
  // The list as shown (results::shownTable).
  results::ResultTable shownTable(bool fullFound) const;

  // Sorting: a header click on `position`. Does nothing while a search runs. Returns true
  // when the rows were sorted.
  bool sortByColumn(int position);
  results::SortState& sortState() { return sortState_; }
  void setSearchRunning(bool running) { searchRunning_ = running; }
  bool searchRunning() const { return searchRunning_; }

  IconCache& iconCache() { return icons_; }
  TypeNameCache& typeNames() { return typeNames_; }

 private:
  QVariant typeToolTip(int row, int position) const;
  void applyOrder(const std::vector<std::size_t>& order);
  std::string typeString(const search::ResultItem& item) const;

  std::vector<search::ResultItem> items_;
  std::vector<Column> columns_;
  QString resultCaption_;
  results::SortState sortState_;
  bool searchRunning_ = false;
  mutable IconCache icons_;
  mutable TypeNameCache typeNames_;
  std::string legacyCodePage_ = "Windows-1252";
};

}  // namespace kestrix::ui
