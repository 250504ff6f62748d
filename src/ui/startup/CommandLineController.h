// startup/: main(), the start arguments and the command-line run.
// The window's command line: read when the window is shown (the folder of "-path", or a
// project file to open), run once on the first idle pass when "-com" is given (Search and
// Replace tab, Find, Modify All, Save List to "-fs="), errors shown with "-shr" and logged
// with "-fr=", the log written when the window closes after an error. While a run is on,
// every warning the window would show is reported as a run error instead. Without a
// display (offscreen platform) what would be shown in a box goes to standard error.
#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/CommandRunReport.h"
#include "ui/window/MessageBoxes.h"

class QWidget;

namespace kestrix::ui {

class CommandLineHost;
class FindRunController;
class ReportController;
class ResultsModel;
class ResultsView;
struct WindowState;

// The parts of the window the command-line run drives; none is owned.
struct CommandLineParts {
  QWidget& window;  // parent of the messages; closed when the run ends
  CommandLineHost& host;
  WindowState& state;
  const ResultsModel& results;
  ResultsView& view;
  FindRunController& findRun;
  ReportController& reports;
};

class CommandLineController : public QObject {
  Q_OBJECT
 public:
  // A child of parts.window; every part outlives it.
  explicit CommandLineController(const CommandLineParts& parts);

  // The process's arguments without the program name, as the system passed them, and the
  // whole command line as the log's and the list file's first line shows it.
  void setArguments(std::vector<std::string> args, std::string commandLine);

  // The window is shown: reads the first argument and the reporting switches, sets the
  // folder or opens the project, and schedules the run for the first idle pass.
  void windowShown();
  // The window closes: the log is written when a run reported an error and "-fr=" names it.
  void windowClosing();

  // Reports a failure of the run: the run ends, the window closes, and the message is shown
  // (with "-shr") and logged (with "-fr=").
  void reportError(const QString& message);

  const app::StartArguments& start() const { return start_; }
  // A command-line run reported an error.
  bool errorReported() const { return report_.errorReported(); }
  // The process's exit status after a run (see app::CommandRunReport::exitStatus).
  int exitStatus() const { return report_.exitStatus(); }

  // True on a platform without a screen, where boxes cannot be answered.
  static bool headless();

 private:
  void firstIdlePass();
  void run();
  void runCommands();
  void countFailedFiles();
  void reportWarning(const QString& caption, const QString& text);
  void show(const QString& caption, const QString& text);

  CommandLineParts parts_;
  std::vector<std::string> args_;
  std::string commandLine_;
  app::StartArguments start_;
  app::CommandRunReport report_;
  bool pending_ = false;
  bool shownOnce_ = false;
  std::string listFileName_;
  // The warning handler that was installed before the run (tests install one).
  WarningHandler outerHandler_;
};

}  // namespace kestrix::ui
