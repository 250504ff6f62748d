// Refills the lines viewer for the current row after it settled.
#include "ui/viewer/ViewerRefresh.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTableView>

#include "search/Find.h"
#include "search/SearchError.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/viewer/ViewerHost.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

ViewerRefresh::ViewerRefresh(QObject* parent, ViewerHost& host, const WindowState& state,
                             ResultsModel& results, const ResultsView& view, LinesViewer& viewer)
    : QObject(parent), host_(host), state_(state), results_(results), view_(view), viewer_(viewer) {
  timer_.setSingleShot(true);
  timer_.setInterval(kSettleMs);
  connect(&timer_, &QTimer::timeout, this, [this] { refreshNow(); });
}

void ViewerRefresh::scheduleRefresh() {
  timer_.start();
}

int ViewerRefresh::currentRow() const {
  const QModelIndex current = view_.selectionModel()->currentIndex();
  if (!current.isValid()) return -1;
  if (!view_.selectionModel()->isRowSelected(current.row(), {})) return -1;
  return current.row();
}

bool ViewerRefresh::refreshNow() {
  const int row = currentRow();
  const search::SearchRequest* request = host_.lastRunRequest();
  if (row < 0 || state_.busy || state_.stop.viewer || request == nullptr) return false;
  const search::ResultItem item = results_.item(row);
  const QString fullName = QString::fromStdString(item.fullName());
  if (fullName == browsedFullName_ && (row == browsedRow_ || browsedRow_ < 0)) {
    browsedRow_ = row;
    return false;
  }
  QElapsedTimer sincePump;
  sincePump.start();
  // The fill is abandoned when the user moves to another row meanwhile.
  auto poll = [&]() {
    if (sincePump.elapsed() > 20) {
      QCoreApplication::processEvents();
      sincePump.restart();
    }
    return currentRow() != row || state_.stop.abortRequested;
  };
  try {
    const search::FillOutcome outcome =
        search::fillFoundLines(*request, item.path, item.name, poll);
    if (!outcome.completed) return false;
    viewer_.setLineMode(state_.lineMode);
    viewer_.setFoundLines(outcome.lines);
    browsedRow_ = row;
    browsedFullName_ = fullName;
  } catch (const search::SearchError& error) {
    const bool missing = !QFileInfo::exists(fullName);
    showError(row, QString::fromStdString(error.caption()), QString::fromStdString(error.text()),
              missing);
    return false;
  }
  host_.updateCommands();
  return true;
}

void ViewerRefresh::showError(int row, const QString& caption, const QString& text,
                              bool missingFile) {
  clearViewer();
  if (missingFile) results_.setOutcome(row, {search::RowResult::NotFound, {}});
  // Remember the row so the message is not repeated at every idle moment.
  browsedRow_ = row;
  browsedFullName_ = QString::fromStdString(results_.item(row).fullName());
  host_.warnUser(caption, text);
  host_.updateCommands();
}

void ViewerRefresh::rescanBrowsedFile() {
  browsedRow_ = -1;
  browsedFullName_.clear();
  refreshNow();
}

void ViewerRefresh::clearViewer() {
  timer_.stop();
  viewer_.clear();
  browsedRow_ = -1;
  browsedFullName_.clear();
}

bool ViewerRefresh::viewerHasLines() const {
  return viewer_.hasLines();
}

}  // namespace kestrix::ui
