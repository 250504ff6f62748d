// The results list (ListView1): whole-row, multi-selection, read-only table over
// ResultsModel with header-click sorting, Select / Deselect by mask, Select All, Delete
// Items with its re-selection rule, double-click to open, and the list's keys.
#pragma once

#include <QString>
#include <QTableView>
#include <functional>
#include <optional>

#include "ui/results/ResultsModel.h"

namespace kestrix::ui {

class FileLauncher;
class ResultsModel;
class TMaskForm;

class ResultsView : public QTableView {
  Q_OBJECT
 public:
  using WarningHook = std::function<void(const QString& caption, const QString& text)>;
  using MaskPrompt = std::function<std::optional<QString>()>;

  explicit ResultsView(QWidget* parent = nullptr);

  // Takes a ResultsModel (other models are shown but the commands ignore them). The view
  // does not own the model.
  void setModel(QAbstractItemModel* model) override;
  ResultsModel* resultsModel() const;

  // Messages go to showWarning(this, ...) unless a hook is set (tests, the window).
  void setWarningHook(WarningHook hook) { warn_ = std::move(hook); }
  // Asks for the mask of Select / Deselect; returns nothing on Cancel. Default: the
  // TMaskForm set with setMaskForm (created on first use when none is set).
  void setMaskPrompt(MaskPrompt prompt) { prompt_ = std::move(prompt); }
  void setMaskForm(TMaskForm* form) { maskForm_ = form; }
  // Double-click opens the row's file through this launcher (not owned).
  void setFileLauncher(FileLauncher* launcher) { launcher_ = launcher; }

  // Select / Deselect by mask: prompts, then applies the mask. Returns false on Cancel or
  // an invalid mask.
  bool selectByMask();
  bool deselectByMask();
  // Applies `typed` as Select (select = true) or Deselect: "." appended when missing, a
  // trailing "?" takes exactly one character; matched against each name ("." appended
  // when it has none). An unparsable mask shows "Invalid mask" (caption "Error") and
  // returns false.
  bool applyMask(const QString& typed, bool select);
  void selectAllRows();

  // Delete Items: removes the selected rows (files are not touched). With none selected
  // shows "Please select some items" (caption "List: Delete Items") and returns false.
  // Emits statusTextChanged with "File in List:   1" / "Files in List:   n", then either
  // listEmptied() or selects the row that followed the last removed one (else the last
  // row) and scrolls to it.
  bool deleteSelectedItems();

  // Selected rows in ascending order.
  std::vector<int> selectedRows() const;
  // Makes `row` the only selected row, current and scrolled into view.
  void selectOnlyRow(int row);

  // While a search runs, header clicks and double-clicks are ignored.
  void setSearchRunning(bool running);
  bool searchRunning() const { return searchRunning_; }

  // Widths of new columns at 96 dots per inch are multiplied by this (screen dpi / 96).
  void setScale(int dpi) { dpi_ = dpi; }
  // Widths (in pixels) that columns take when they are inserted, instead of the scaled
  // defaults; applied at once to the present columns.
  void setColumnWidthSource(std::function<int(ResultsModel::Column)> source);
  // Widens each column whose contents are cut (up to a third of the list's width) and
  // gives Path the width the others leave. Done once, when the first search of the
  // session ends with rows, unless the user has set a width by then; a column the user
  // made wider stays as wide.
  void fitColumnsToContents();
  // True once the user dragged a column border in this session.
  bool userSizedColumns() const { return userSizedColumns_; }

 signals:
  // The row last clicked or selected (CurrentItem); -1 when the list emptied.
  void currentRowChanged(int row);
  // The set of selected rows changed.
  void rowSelectionChanged();
  // Status panel 0 text after Delete Items.
  void statusTextChanged(const QString& text);
  // Delete Items removed the last row: the window collapses.
  void listEmptied();
  // The Delete key was pressed with rows selected; the window decides whether Delete
  // Items runs.
  void deleteKeyPressed();
  // Home was pressed: row 0 becomes CurrentItem at the next idle moment.
  void homePressed();
  // A row was double-clicked (after the launcher, if any, opened its file).
  void rowActivated(int row);
  // A mouse button went down on the list, over `row` (-1 outside the rows): the left
  // button clears the third stop flag, the right one raises the second and third.
  void mousePressed(Qt::MouseButton button, int row);
  // A mask command or Select All ran (the window raises its stop flags and updates the
  // command state).
  void maskCommandDone();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void rowsInserted(const QModelIndex& parent, int start, int end) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  // After the first fill, Path takes the width the list gains or gives back (until the
  // user sets widths himself).
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The width the columns fill: the viewport's, less the vertical scroll bar the rows need.
  int widthToFill() const;
  int contentWidth(int column) const;
  // Path takes the width the other columns leave, down to a sixth of the list.
  void fillWithPath();
  void keepSelectionVisible();
  void widenResultColumn();
  void onHeaderClicked(int section);
  void onColumnsInserted(const QModelIndex& parent, int first, int last);
  void applyDefaultWidths();
  bool promptAndApply(bool select);
  void warn(const QString& caption, const QString& text);

  WarningHook warn_;
  std::function<int(ResultsModel::Column)> widthSource_;
  MaskPrompt prompt_;
  TMaskForm* maskForm_ = nullptr;
  FileLauncher* launcher_ = nullptr;
  bool searchRunning_ = false;
  bool fitted_ = false;            // the first fill has sized the columns
  bool userSizedColumns_ = false;  // the user dragged a column border
  bool headerPressed_ = false;     // a mouse button is down on the header
  bool resultWidenPending_ = false;
  bool keepingSelectionVisible_ = false;  // its own palette change does not call it again
  bool refocusArmed_ = false;
  int dpi_ = 96;
  // What the last paint showed; while a search appends rows below a full viewport, a
  // repaint that would show the same thing is skipped.
  struct PaintedState {
    QSize viewport;
    int firstRow = -1, lastRow = -1, vertical = 0, horizontal = 0, width = 0;
    bool operator==(const PaintedState&) const = default;
  };
  PaintedState paintedState() const;
  PaintedState lastPainted_;
  bool insertedBelowView_ = false;
};

}  // namespace kestrix::ui
