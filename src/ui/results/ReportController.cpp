// Create Report, Browse Context, Save List and Save Lines.
#include "ui/results/ReportController.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

#include "platform/AtomicWrite.h"
#include "platform/Platform.h"
#include "results/Pages.h"
#include "results/Report.h"
#include "results/ReportOutput.h"
#include "search/Cells.h"
#include "search/Find.h"
#include "ui/find/FindRunController.h"
#include "ui/results/ReportHost.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/viewer/ViewerRefresh.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {
namespace {

QString defaultSavePicker(QWidget* parent, const QString& title, const QString& folder,
                          const QString& filter, const QString& suffix) {
  QFileDialog dialog(parent, title, folder, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

std::string local(const QString& s) {
  return s.toStdString();
}

}  // namespace

ReportController::ReportController(const ReportParts& parts)
    : QObject(&parts.window), parts_(parts), host_(parts.host) {
  connect(&parts.findRun, &FindRunController::finished, this, [this] { ++runsFinished_; });
  savePicker_ = [this](const QString& title, const QString& folder, const QString& filter,
                       const QString& suffix) {
    return defaultSavePicker(&parts_.window, title, folder, filter, suffix);
  };
  pageOpener_ = [](const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  };
}

bool ReportController::writePage(const QString& fileName, const std::string& text,
                                 const QString& caption, QString& path) {
  try {
    path = QString::fromStdString(results::writeDataPage(local(fileName), text));
    return true;
  } catch (const results::PageError& error) {
    showWarning(&parts_.window, caption, QString::fromStdString(error.what()));
    return false;
  }
}

// --- Create Report ---

void ReportController::createReport() {
  WindowState& state = parts_.state;
  state.stop.clearAll();
  if (state.busy) return;
  const bool searchInResults = host_.searchInResultsChecked();
  const int before = runsFinished_;
  // The list's context menu stays shut from the re-run until the window is restored.
  const std::vector<bool> listMenuStates = host_.disableListMenu();
  parts_.findRun.run(host_.activeTabOrigin());
  if (runsFinished_ == before) {  // the request was refused; its message was shown
    host_.restoreListMenu(listMenuStates);
    return;
  }
  parts_.view.clearSelection();
  host_.setSearchInResultsEnabled(false);
  host_.disableRowCommands();
  // The end of the run and the deselection updated the commands: shut the menu again for
  // the sections.
  host_.disableListMenu();
  writeReport(searchInResults);
  host_.restoreListMenu(listMenuStates);
  restoreAfterReport();
}

void ReportController::writeReport(bool searchInResults) {
  const search::SearchRequest& request = parts_.findRun.lastRequest();
  results::ReportInput input;
  input.conditions = host_.reportConditions(request, searchInResults);
  input.table = parts_.results.shownTable(true);
  input.words = results::queryWords(request);
  WindowState& state = parts_.state;
  state.busy = true;
  host_.holdInputs(true);
  QElapsedTimer sincePump;
  sincePump.start();
  results::ReportSections sections;
  sections.beforeSection = [&](std::size_t r, std::size_t count) {
    if (host_.statusBarShown())
      host_.setStatusText(0, QString::fromStdString(results::reportProgressText(r, count)));
    if (sincePump.elapsed() > 20) {
      QCoreApplication::processEvents();
      sincePump.restart();
    }
    return state.stop.run;
  };
  sections.foundLines = [&](std::size_t r) {
    const search::ResultItem item = parts_.results.item(static_cast<int>(r));
    search::FoundLines lines;
    try {
      lines = search::fillFoundLines(request, item.path, item.name).lines;
    } catch (const search::SearchError&) {
      // A file gone meanwhile gets an empty section.
    }
    // The viewer follows the report file by file, as a browsed file would show.
    parts_.viewer.setLineMode(state.lineMode);
    parts_.viewer.setFoundLines(lines);
    return lines;
  };
  const std::string page = results::reportPage(input, sections);
  host_.holdInputs(false);
  state.busy = false;
  QString path;
  if (writePage("Report.htm", page, "Create Report", path) && !state.stop.abortRequested)
    openPage(path, "Create Report");
}

void ReportController::openPage(const QString& path, const QString& caption) {
  if (pageOpener_(path)) return;
  showWarningWithPath(&parts_.window, caption,
                      QString::fromStdString(results::noBrowserText(local(path))), path);
}

void ReportController::restoreAfterReport() {
  const bool hasRows = parts_.results.rowCount() > 0;
  parts_.viewerRefresh.clearViewer();
  parts_.view.clearSelection();
  host_.setSearchInResultsEnabled(hasRows);
  const search::Origin origin = parts_.findRun.lastRequest().origin;
  host_.setStatusText(
      0, QString::fromStdString(hasRows ? search::foundStatusText(origin, parts_.results.rowCount())
                                        : search::notFoundStatusText()));
  host_.updateCommands();
}

// --- Browse Context ---

void ReportController::browseContext() {
  if (parts_.state.busy || !parts_.viewer.hasLines()) return;
  const QString fullName = parts_.viewerRefresh.browsedFullName();
  if (fullName.isEmpty()) return;
  if (!QFileInfo::exists(fullName)) {
    showWarning(&parts_.window, "Information", "File " + fullName + " not found");
    return;
  }
  refillWhenChanged();
  std::vector<std::string> lines;
  try {
    lines = results::fileLines(local(fullName));
  } catch (const std::exception&) {
    showWarning(&parts_.window, "Information", "File " + fullName + " not found");
    return;
  }
  const int context = results::contextSize(parts_.state.contextLinesIndex);
  const std::string page = results::contextPage(parts_.viewer.foundLines(), lines, context);
  QString path;
  if (!writePage("Browse.htm", page, "Browse Context", path)) return;
  openPage(path, "Browse Context");
  host_.restoreUndoOffer();
}

void ReportController::refillWhenChanged() {
  const int row = parts_.viewerRefresh.browsedRow();
  if (row < 0 || row >= parts_.results.rowCount()) return;
  const search::ResultItem& item = parts_.results.item(row);
  const auto info = platform::tryStat(item.fullName());
  if (!info || info->lastWriteSec <= item.lastWriteSec) return;
  try {
    const search::FillOutcome fill =
        search::fillFoundLines(parts_.findRun.lastRequest(), item.path, item.name);
    parts_.viewer.setFoundLines(fill.lines);
  } catch (const search::SearchError&) {
    // The lines shown stay; the page is written from them.
  }
}

// --- Save List and Save Lines ---

QString ReportController::listFolder() const {
  return host_.startFolder(ReportHost::SavedFile::List);
}

QString ReportController::linesFolder() const {
  return host_.startFolder(ReportHost::SavedFile::Lines);
}

void ReportController::saveList() {
  if (parts_.state.busy || parts_.results.rowCount() == 0) return;
  const QString path =
      savePicker_("Save List", listFolder(), "File lists (*.lst);;All files (*)", "lst");
  if (path.isEmpty()) return;
  host_.setStartFolder(ReportHost::SavedFile::List, QFileInfo(path).absolutePath());
  try {
    results::writePageFile(local(path), results::listFileText(parts_.results.shownTable(false)));
  } catch (const platform::AtomicWriteError& error) {
    showWarning(&parts_.window, "Save List", QString::fromLocal8Bit(error.what()));
  }
}

bool ReportController::saveListTo(const QString& path, const QString& commandLine) {
  try {
    results::writePageFile(
        local(path), results::listFileText(parts_.results.shownTable(false), local(commandLine)));
    return true;
  } catch (const platform::AtomicWriteError&) {
    return false;
  }
}

void ReportController::saveLines() {
  if (parts_.state.busy || !parts_.viewer.hasLines()) return;
  const QString path = savePicker_("Save Lines", linesFolder(), "HTML files (*.html)", "html");
  if (path.isEmpty()) return;
  host_.setStartFolder(ReportHost::SavedFile::Lines, QFileInfo(path).absolutePath());
  try {
    results::writePageFile(local(path), results::linesPage(parts_.viewer.foundLines()));
  } catch (const platform::AtomicWriteError& error) {
    showWarning(&parts_.window, "Save Lines", QString::fromLocal8Bit(error.what()));
  }
}

}  // namespace kestrix::ui
