// Create Report, Browse Context, Save List and Save Lines.
#include "ui/results/ReportController.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QUrl>

#include "modify/DataFolder.h"
#include "platform/AtomicWrite.h"
#include "platform/Platform.h"
#include "results/Pages.h"
#include "results/Report.h"
#include "search/Cells.h"
#include "search/Find.h"
#include "text/Lines.h"
#include "ui/find/FindRunController.h"
#include "ui/find/FindTab.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/settings/OptionsTab.h"
#include "ui/settings/SettingsController.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/viewer/ViewerRefresh.h"
#include "ui/window/BusyState.h"
#include "ui/window/MainMenus.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/TFind.h"

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

std::vector<std::string> fileLines(const std::string& path) {
  const std::string bytes = platform::readFile(path);
  std::vector<std::string> lines;
  text::forEachLine(text::textUntilNul(bytes),
                    [&](const text::Line& line) { lines.emplace_back(line.text); });
  return lines;
}

search::Origin activeOrigin(const TFind& window) {
  return window.PageControl1->currentIndex() == TFind::SearchReplacePage
             ? search::Origin::SearchAndReplace
             : search::Origin::Find;
}

}  // namespace

ReportController::ReportController(TFind& window) : QObject(&window), window_(window) {
  connect(&window.findRun(), &FindRunController::finished, this, [this] { ++runsFinished_; });
  savePicker_ = [this](const QString& title, const QString& folder, const QString& filter,
                       const QString& suffix) {
    return defaultSavePicker(&window_, title, folder, filter, suffix);
  };
  pageOpener_ = [](const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  };
  connectCommand(window.menus->createReport, this, &ReportController::createReport);
  connectCommand(window.menus->browseContext, this, &ReportController::browseContext);
  connectCommand(window.menus->saveList, this, &ReportController::saveList);
  connectCommand(window.menus->saveLines, this, &ReportController::saveLines);
}

results::ResultTable ReportController::listTable(bool fullFound) const {
  const ResultsModel& model = *window_.results;
  results::ResultTable table;
  for (int c = 0; c < model.columnCount(); ++c) table.captions.push_back(local(model.caption(c)));
  const int found = model.columnOf(QStringLiteral("Found"));
  const int name = model.columnOf(QStringLiteral("Name"));
  const int path = model.columnOf(QStringLiteral("Path"));
  for (int r = 0; r < model.rowCount(); ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < model.columnCount(); ++c) {
      const search::ResultItem& item = model.item(r);
      // Names go to the list byte for byte, so that the saved name still names the file.
      row.push_back(c == found && fullFound ? search::foundCellText(item, false)
                    : c == name             ? item.name
                    : c == path             ? item.path
                                            : local(model.cellText(r, c)));
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

bool ReportController::writePage(const QString& fileName, const std::string& text,
                                 const QString& caption, QString& path) {
  QString folder;
  try {
    folder = QString::fromStdString(modify::ensureDataFolder());
    path = folder + "/" + fileName;
    results::writePageFile(local(path), text);
    return true;
  } catch (const std::exception&) {
    if (folder.isEmpty()) folder = QString::fromStdString(modify::dataFolder());
    showWarning(&window_, caption, "Cannot open file " + folder + "/" + fileName);
    return false;
  }
}

// --- Create Report ---

void ReportController::createReport() {
  WindowState& state = window_.state();
  state.stop.clearAll();
  if (state.busy) return;
  const bool searchInResults = window_.ListXPCheckBox->isChecked();
  const int before = runsFinished_;
  // The list's context menu stays shut from the re-run until the window is restored.
  const std::vector<bool> listMenuStates = disableListMenu();
  window_.find(activeOrigin(window_));
  if (runsFinished_ == before) {  // the request was refused; its message was shown
    restoreListMenu(listMenuStates);
    return;
  }
  window_.ListView1->clearSelection();
  window_.ListXPCheckBox->setEnabled(false);
  window_.replaceTab->DeleteItemsButton->setEnabled(false);
  window_.replaceTab->ModifySelectedButton->setEnabled(false);
  // The end of the run and the deselection updated the commands: shut the menu again for
  // the sections.
  disableListMenu();
  writeReport(searchInResults);
  restoreListMenu(listMenuStates);
  restoreAfterReport();
}

std::vector<bool> ReportController::disableListMenu() {
  QMenu& menu = *window_.menus->listMenu;
  std::vector<bool> states;
  for (QAction* action : menu.actions()) {
    states.push_back(action->isEnabled());
    action->setEnabled(false);
  }
  states.push_back(menu.isEnabled());
  menu.setEnabled(false);
  return states;
}

void ReportController::restoreListMenu(const std::vector<bool>& states) {
  QMenu& menu = *window_.menus->listMenu;
  const QList<QAction*> actions = menu.actions();
  if (states.size() != static_cast<std::size_t>(actions.size()) + 1) return;
  for (qsizetype i = 0; i < actions.size(); ++i)
    actions[i]->setEnabled(states[static_cast<std::size_t>(i)]);
  menu.setEnabled(states.back());
}

namespace {

// Dates and times as the list's Time column writes them.
std::string shortDate(const QDate& date) {
  platform::LocalTime t;
  t.year = date.year();
  t.month = date.month();
  t.day = date.day();
  return platform::formatShortDate(t);
}

std::string nowStamp() {
  const platform::LocalTime t = platform::toLocalTime(QDateTime::currentSecsSinceEpoch());
  return platform::formatShortDate(t) + " " + platform::formatLongTime(t);
}

// The conditions with the texts the window shows for sizes and dates.
results::ReportConditions windowConditions(const TFind& w, const search::SearchRequest& request,
                                           bool searchInResults) {
  results::ReportConditions c = results::conditionsOf(request, nowStamp());
  c.searchInResults = searchInResults;
  c.folderText = local(w.ComboBoxPath->currentText());
  c.masksText = local(w.MasksComboBox->currentText());
  c.wholeWords = c.wholeWords && !w.WholeWordsCheckBox->isHidden();
  const OptionsTab& o = *w.optionsTab;
  if (c.size) {
    c.size->value = local(o.SizeSpinEdit->text());
    c.size->unit = local(o.KBComboBox->currentText());
  }
  if (c.date) {
    c.date->first = shortDate(o.MinDateTimePicker->date());
    c.date->second = shortDate(o.MaxDateTimePicker->date());
    c.date->days = local(o.DaysAgoSpinEdit->text());
  }
  c.multiLineQuery =
      request.origin == search::Origin::Find ? w.findTab->usesMemo() : w.replaceTab->usesMemo();
  return c;
}

}  // namespace

void ReportController::writeReport(bool searchInResults) {
  const search::SearchRequest& request = window_.findRun().lastRequest();
  results::ReportInput input;
  input.conditions = windowConditions(window_, request, searchInResults);
  input.table = listTable(true);
  input.words = results::queryWords(request);
  WindowState& state = window_.state();
  state.busy = true;
  window_.busyState().begin();
  QElapsedTimer sincePump;
  sincePump.start();
  results::ReportSections sections;
  sections.beforeSection = [&](std::size_t r, std::size_t count) {
    const int percent = static_cast<int>(static_cast<double>(r) / static_cast<double>(count) * 100);
    if (window_.statusBar()->isVisible())
      window_.setStatusText(0, QString("Processed:  %1% files").arg(percent));
    if (sincePump.elapsed() > 20) {
      QCoreApplication::processEvents();
      sincePump.restart();
    }
    return state.stop.run;
  };
  sections.foundLines = [&](std::size_t r) {
    const search::ResultItem item = window_.results->item(static_cast<int>(r));
    search::FoundLines lines;
    try {
      lines = search::fillFoundLines(request, item.path, item.name).lines;
    } catch (const search::SearchError&) {
      // A file gone meanwhile gets an empty section.
    }
    // The viewer follows the report file by file, as a browsed file would show.
    window_.ListBox1->setLineMode(state.lineMode);
    window_.ListBox1->setFoundLines(lines);
    return lines;
  };
  const std::string page = results::reportPage(input, sections);
  window_.busyState().end();
  state.busy = false;
  QString path;
  if (writePage("Report.htm", page, "Create Report", path) && !state.stop.abortRequested)
    openPage(path, "Create Report");
}

void ReportController::openPage(const QString& path, const QString& caption) {
  if (pageOpener_(path)) return;
  showWarningWithPath(&window_, caption,
                      "No web browser could be started to show the page.\nIt was saved as " + path,
                      path);
}

void ReportController::restoreAfterReport() {
  const bool hasRows = window_.results->rowCount() > 0;
  window_.viewerRefresh().clearViewer();
  window_.ListView1->clearSelection();
  window_.ListXPCheckBox->setEnabled(hasRows);
  const search::Origin origin = window_.findRun().lastRequest().origin;
  window_.setStatusText(0, QString::fromStdString(hasRows ? search::foundStatusText(
                                                                origin, window_.results->rowCount())
                                                          : search::notFoundStatusText()));
  window_.updateCommands();
}

// --- Browse Context ---

void ReportController::browseContext() {
  if (window_.state().busy || !window_.ListBox1->hasLines()) return;
  const QString fullName = window_.viewerRefresh().browsedFullName();
  if (fullName.isEmpty()) return;
  if (!QFileInfo::exists(fullName)) {
    showWarning(&window_, "Information", "File " + fullName + " not found");
    return;
  }
  refillWhenChanged();
  std::vector<std::string> lines;
  try {
    lines = fileLines(local(fullName));
  } catch (const std::exception&) {
    showWarning(&window_, "Information", "File " + fullName + " not found");
    return;
  }
  const int context = results::contextSize(window_.state().contextLinesIndex);
  const std::string page = results::contextPage(window_.ListBox1->foundLines(), lines, context);
  QString path;
  if (!writePage("Browse.htm", page, "Browse Context", path)) return;
  openPage(path, "Browse Context");
  reenableUndo();
}

void ReportController::reenableUndo() {
  // Undo stays possible after searches as long as its backups are untouched.
  if (window_.state().undoBeforeSearch && !window_.modifyController().journal().empty())
    window_.modifyController().offerUndo(true);
}

void ReportController::refillWhenChanged() {
  const int row = window_.viewerRefresh().browsedRow();
  if (row < 0 || row >= window_.results->rowCount()) return;
  const search::ResultItem& item = window_.results->item(row);
  const auto info = platform::tryStat(item.fullName());
  if (!info || info->lastWriteSec <= item.lastWriteSec) return;
  try {
    const search::FillOutcome fill =
        search::fillFoundLines(window_.findRun().lastRequest(), item.path, item.name);
    window_.ListBox1->setFoundLines(fill.lines);
  } catch (const search::SearchError&) {
    // The lines shown stay; the page is written from them.
  }
}

// --- Save List and Save Lines ---

QString ReportController::listFolder() const {
  return window_.settings().startFolder(SettingsController::SaveList);
}

QString ReportController::linesFolder() const {
  return window_.settings().startFolder(SettingsController::SaveLines);
}

void ReportController::saveList() {
  if (window_.state().busy || window_.results->rowCount() == 0) return;
  const QString path =
      savePicker_("Save List", listFolder(), "File lists (*.lst);;All files (*)", "lst");
  if (path.isEmpty()) return;
  window_.settings().setStartFolder(SettingsController::SaveList, QFileInfo(path).absolutePath());
  try {
    results::writePageFile(local(path), results::listFileText(listTable(false)));
  } catch (const platform::AtomicWriteError& error) {
    showWarning(&window_, "Save List", QString::fromLocal8Bit(error.what()));
  }
}

bool ReportController::saveListTo(const QString& path, const QString& commandLine) {
  try {
    results::writePageFile(local(path),
                           results::listFileText(listTable(false), local(commandLine)));
    return true;
  } catch (const platform::AtomicWriteError&) {
    return false;
  }
}

void ReportController::saveLines() {
  if (window_.state().busy || !window_.ListBox1->hasLines()) return;
  const QString path = savePicker_("Save Lines", linesFolder(), "HTML files (*.html)", "html");
  if (path.isEmpty()) return;
  window_.settings().setStartFolder(SettingsController::SaveLines, QFileInfo(path).absolutePath());
  try {
    results::writePageFile(local(path), results::linesPage(window_.ListBox1->foundLines()));
  } catch (const platform::AtomicWriteError& error) {
    showWarning(&window_, "Save Lines", QString::fromLocal8Bit(error.what()));
  }
}

}  // namespace kestrix::ui
