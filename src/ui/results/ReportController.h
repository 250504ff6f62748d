// The Report menu's commands: Create Report and Browse Context write their pages to the
// data folder and open them in the browser; Save List and Save Lines write the list and
// the viewer's lines where the user chooses.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace kestrix::ui {

class FindRunController;
class LinesViewer;
class ReportHost;
class ResultsModel;
class ResultsView;
class ViewerRefresh;
struct WindowState;

// The parts of the window the report commands read and change; none is owned.
struct ReportParts {
  QWidget& window;  // parent of the dialogs and messages
  ReportHost& host;
  WindowState& state;
  ResultsModel& results;
  ResultsView& view;
  LinesViewer& viewer;
  ViewerRefresh& viewerRefresh;
  FindRunController& findRun;
};

class ReportController : public QObject {
  Q_OBJECT
 public:
  // Shows a save dialog (title, initial folder, filter, default suffix); returns the chosen
  // file or an empty text for Cancel.
  using SavePicker = std::function<QString(const QString& title, const QString& folder,
                                           const QString& filter, const QString& suffix)>;
  // Shows the page at `path` in the browser; false when none could be started.
  using PageOpener = std::function<bool(const QString& path)>;

  // A child of parts.window; every part outlives it.
  explicit ReportController(const ReportParts& parts);

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
  void writeReport(bool searchInResults);
  bool writePage(const QString& fileName, const std::string& text, const QString& caption,
                 QString& path);
  void restoreAfterReport();
  // The browsed file changed after it was listed: its viewer lines are filled again.
  void refillWhenChanged();

  ReportParts parts_;
  ReportHost& host_;
  SavePicker savePicker_;
  PageOpener pageOpener_;
  void openPage(const QString& path, const QString& caption);
  int runsFinished_ = 0;
};

}  // namespace kestrix::ui
