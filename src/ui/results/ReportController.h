// The Report menu's commands: Create Report and Browse Context write their pages to the
// data folder and open them in the browser; Save List and Save Lines write the list and
// the viewer's lines where the user chooses.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "results/ResultTable.h"

namespace kestrix::ui {

class TFind;

class ReportController : public QObject {
  Q_OBJECT
 public:
  // Shows a save dialog (title, initial folder, filter, default suffix); returns the chosen
  // file or an empty text for Cancel.
  using SavePicker = std::function<QString(const QString& title, const QString& folder,
                                           const QString& filter, const QString& suffix)>;
  // Opens a written page in the user's browser.
  // Shows the page at `path` in the browser; false when none could be started.
  using PageOpener = std::function<bool(const QString& path)>;

  explicit ReportController(TFind& window);

  void createReport();
  void browseContext();
  void saveList();
  void saveLines();
  // Save List without the dialog, for a command-line run: the file starts with "Command
  // Line: " + commandLine. Returns false when it could not be written.
  bool saveListTo(const QString& path, const QString& commandLine);

  void setSavePicker(SavePicker picker) { savePicker_ = std::move(picker); }
  void setPageOpener(PageOpener opener) { pageOpener_ = std::move(opener); }
  // The folders the save dialogs start in (the folder of the last file saved), kept with
  // the settings.
  QString listFolder() const;
  QString linesFolder() const;

 private:
  results::ResultTable listTable(bool fullFound) const;
  void writeReport(bool searchInResults);
  bool writePage(const QString& fileName, const std::string& text, const QString& caption,
                 QString& path);
  void restoreAfterReport();
  // Disables the list's context menu and its items; returns their enabled states.
  std::vector<bool> disableListMenu();
  void restoreListMenu(const std::vector<bool>& states);
  // The browsed file changed after it was listed: its viewer lines are filled again.
  void refillWhenChanged();
  // Undo comes back when it was enabled before the last search.
  void reenableUndo();

  TFind& window_;
  SavePicker savePicker_;
  PageOpener pageOpener_;
  void openPage(const QString& path, const QString& caption);
  int runsFinished_ = 0;
};

}  // namespace kestrix::ui
