// Refills the lines viewer for the current row after it settled.
#include "ui/viewer/ViewerRefresh.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTableView>

#include "search/Find.h"
#include "search/SearchError.h"
#include "ui/find/FindRunController.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/TFind.h"

namespace kestrix::ui {

ViewerRefresh::ViewerRefresh(TFind& window) : QObject(&window), window_(window) {
  timer_.setSingleShot(true);
  timer_.setInterval(kSettleMs);
  connect(&timer_, &QTimer::timeout, this, [this] { refreshNow(); });
}

void ViewerRefresh::scheduleRefresh() {
  timer_.start();
}

int ViewerRefresh::currentRow() const {
  const QModelIndex current = window_.ListView1->selectionModel()->currentIndex();
  if (!current.isValid()) return -1;
  if (!window_.ListView1->selectionModel()->isRowSelected(current.row(), {})) return -1;
  return current.row();
}

bool ViewerRefresh::refreshNow() {
  const WindowState& state = window_.state();
  const int row = currentRow();
  if (row < 0 || state.busy || state.stop.viewer || !window_.findRun().hasRun()) return false;
  const search::ResultItem item = window_.results->item(row);
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
    return currentRow() != row || window_.state().stop.abortRequested;
  };
  try {
    search::FillOutcome outcome =
        search::fillFoundLines(window_.findRun().lastRequest(), item.path, item.name, poll);
    if (!outcome.completed) return false;
    window_.ListBox1->setLineMode(window_.state().lineMode);
    window_.ListBox1->setFoundLines(outcome.lines);
    browsedRow_ = row;
    browsedFullName_ = fullName;
    if (window_.results->foundColumnShown()) window_.results->setHits(row, std::move(outcome.hits));
  } catch (const search::SearchError& error) {
    const bool missing = !QFileInfo::exists(fullName);
    showError(row, QString::fromStdString(error.caption()), QString::fromStdString(error.text()),
              missing);
    return false;
  }
  window_.updateCommands();
  return true;
}

void ViewerRefresh::showError(int row, const QString& caption, const QString& text,
                              bool missingFile) {
  clearViewer();
  if (missingFile) window_.results->setOutcome(row, {search::RowResult::NotFound, {}});
  // Remember the row so the message is not repeated at every idle moment.
  browsedRow_ = row;
  browsedFullName_ = QString::fromStdString(window_.results->item(row).fullName());
  showWarning(&window_, caption, text);
  window_.updateCommands();
}

void ViewerRefresh::rescanBrowsedFile() {
  browsedRow_ = -1;
  browsedFullName_.clear();
  refreshNow();
}

void ViewerRefresh::clearViewer() {
  timer_.stop();
  window_.ListBox1->clear();
  browsedRow_ = -1;
  browsedFullName_.clear();
}

bool ViewerRefresh::viewerHasLines() const {
  return window_.ListBox1->hasLines();
}

}  // namespace kestrix::ui
