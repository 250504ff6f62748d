// Keeps the lines viewer on the current row: 35 ms after the current row settles, the
// found lines of that file are computed with the last run's request and shown. A file
// that vanished gives its "not found" message and the row's Result "Not Found". The row's
// Found cell keeps the counts of the run that listed it, so that the window shows the
// same counts as `ksr find`.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace kestrix::ui {

class LinesViewer;
class ResultsModel;
class ResultsView;
class ViewerHost;
struct WindowState;

class ViewerRefresh : public QObject {
  Q_OBJECT
 public:
  // The wait after the current row changed before the viewer is refilled.
  static constexpr int kSettleMs = 35;

  // None of the references is owned; all outlive the refresh (a child of `parent`).
  ViewerRefresh(QObject* parent, ViewerHost& host, const WindowState& state, ResultsModel& results,
                const ResultsView& view, LinesViewer& viewer);

  // The current row changed (or was clicked): restarts the 35 ms wait.
  void scheduleRefresh();
  // Fills the viewer for the current row now, if it is selected and not shown already.
  // Returns true when the viewer was refilled.
  bool refreshNow();
  // Empties the viewer and forgets the browsed file.
  void clearViewer();
  // Rows moved (Delete Items): the browsed row number is no longer valid, its lines stay.
  void forgetBrowsedRow() { browsedRow_ = -1; }
  // The browsed file changed on disk: fills its lines again when it is the current row.
  void rescanBrowsedFile();
  bool viewerHasLines() const;
  // The row whose lines the viewer shows, or -1.
  int browsedRow() const { return browsedRow_; }
  QString browsedFullName() const { return browsedFullName_; }

 private:
  int currentRow() const;
  void showError(int row, const QString& caption, const QString& text, bool missingFile);

  ViewerHost& host_;
  const WindowState& state_;
  ResultsModel& results_;
  const ResultsView& view_;
  LinesViewer& viewer_;
  QTimer timer_;
  int browsedRow_ = -1;
  QString browsedFullName_;
};

}  // namespace kestrix::ui
