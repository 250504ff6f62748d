// The changes of a reviewed modification as a tree: each file with its changes beneath it,
// each change with its line number, its line(s) before and after and a check box that
// decides whether it is written. Files check and uncheck all their changes at once.
#pragma once

#include <QAbstractItemModel>
#include <vector>

#include "modify/Review.h"
#include "modify/ReviewChecks.h"

namespace kestrix::ui {

class ChangeTreeModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  enum Column { LineColumn, BeforeColumn, AfterColumn, ColumnCount };
  // The changed text inside the Before and After cells: its start and length in the
  // displayed text.
  enum Role { MarkStartRole = Qt::UserRole + 1, MarkLengthRole };
  static constexpr std::size_t kNoChange = static_cast<std::size_t>(-1);

  explicit ChangeTreeModel(QObject* parent = nullptr);

  // Shows `review`, every change checked.
  void setReview(modify::Review review);
  const modify::Review& review() const { return review_; }
  // Which changes are checked, with their counts.
  const modify::ReviewChecks& checks() const { return checks_; }
  const std::vector<modify::Accepted>& accepted() const { return checks_.accepted(); }
  void setAllChecked(bool checked);

  std::size_t checkedChanges() const { return checks_.checkedChanges(); }
  std::size_t totalChanges() const { return checks_.totalChanges(); }

  // The file (review index) and change of a row; change is kNoChange for a file's row.
  std::size_t fileOf(const QModelIndex& index) const;
  std::size_t changeOf(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 signals:
  // The checked counts changed.
  void countsChanged();

 private:
  QVariant fileData(std::size_t file, int column, int role) const;
  QVariant changeData(std::size_t file, std::size_t change, int column, int role) const;
  void setFileChecked(std::size_t file, bool checked);
  void setChangeChecked(std::size_t file, std::size_t change, bool checked);

  modify::Review review_;
  modify::ReviewChecks checks_;
};

}  // namespace kestrix::ui
