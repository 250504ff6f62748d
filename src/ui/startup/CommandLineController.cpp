// The command line of the window: show handler, first idle pass, run and close handler.
#include "ui/startup/CommandLineController.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/CommandRunReport.h"
#include "modify/ModifyMessages.h"
#include "platform/AtomicWrite.h"
#include "ui/find/FindRunController.h"
#include "ui/results/ReportController.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/startup/CommandLineHost.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

namespace {

std::string toText(const QString& text) {
  return text.toStdString();
}

QString toQString(const std::string& text) {
  return QString::fromStdString(text);
}

// Writes `line`, the window's own (UTF-8) text, to standard error in the locale's encoding.
void printLocal(const std::string& line) {
  std::fputs(toQString(line).toLocal8Bit().constData(), stderr);
  std::fflush(stderr);
}

}  // namespace

CommandLineController::CommandLineController(const CommandLineParts& parts)
    : QObject(&parts.window), parts_(parts) {}

bool CommandLineController::headless() {
  const QString platform = QGuiApplication::platformName();
  return platform == "offscreen" || platform == "minimal";
}

void CommandLineController::setArguments(std::vector<std::string> args, std::string commandLine) {
  // The switches are compared and the texts set as the window's own (UTF-8) text.
  args_.clear();
  for (const std::string& arg : args)
    args_.push_back(toText(QString::fromLocal8Bit(arg.data(), static_cast<qsizetype>(arg.size()))));
  commandLine_ = std::move(commandLine);
}

void CommandLineController::windowShown() {
  if (shownOnce_) return;
  shownOnce_ = true;
  listFileName_.clear();
  pending_ = true;
  start_ = app::parseStartArguments(args_);
  report_.begin(start_.logErrors, commandLine_);
  switch (start_.kind) {
    case app::StartKind::Plain:
      break;
    case app::StartKind::Project:
      parts_.host.openProject(toQString(start_.projectFile));
      break;
    case app::StartKind::CommandLine:
      if (const std::optional<std::string> folder = app::startFolderOf(start_))
        parts_.host.setFolderText(toQString(*folder));
      break;
  }
  if (start_.commandLineRun) QTimer::singleShot(0, this, &CommandLineController::firstIdlePass);
}

void CommandLineController::firstIdlePass() {
  if (!start_.commandLineRun || !pending_) return;
  pending_ = false;
  outerHandler_ = setWarningHandler(
      [this](const QString& caption, const QString& text) { reportWarning(caption, text); });
  run();
  setWarningHandler(outerHandler_);
  // Without a screen nobody could go on with the window: it always closes.
  if (report_.errorReported() || headless()) parts_.window.close();
}

void CommandLineController::run() {
  WindowState& state = parts_.state;
  if (report_.errorReported()) {
    state.stop.abortRequested = true;
    return;
  }
  parts_.host.showSearchReplaceTab();
  const app::CommandRunPlan plan = app::planCommandRun(args_, parts_.host.commandRunFields());
  parts_.host.applyCommandRunFields(plan.fields);
  listFileName_ = plan.listFile;
  for (const std::string& message : plan.messages) reportError(toQString(message));
  if (report_.errorReported()) {
    parts_.view.clearSelection();
    state.stop.abortRequested = true;
    return;
  }
  runCommands();
}

void CommandLineController::runCommands() {
  WindowState& state = parts_.state;
  parts_.findRun.run(search::Origin::SearchAndReplace);
  if (state.stop.abortRequested) {
    parts_.view.clearSelection();
    return;
  }
  if (!state.stop.viewer) {
    parts_.host.runModifyAll();
    countFailedFiles();
  }
  if (!listFileName_.empty()) {
    // A list that cannot be written is no error of the run, but the job learns of it
    // through the exit status (and, with "-shr" and no display, standard error).
    if (!parts_.reports.saveListTo(toQString(listFileName_), toQString(commandLine_))) {
      report_.listNotWritten();
      if (start_.showErrors && headless()) printLocal(app::listNotWrittenLine(listFileName_));
    }
    listFileName_.clear();
  }
  if (state.stop.run) {
    // Stop was pressed: the window stays open for the user.
    parts_.view.clearSelection();
    state.stop.abortRequested = true;
    return;
  }
  parts_.window.close();
}

// A file the pass could not change is no error of the run (the run goes on and the list
// says so), but a job must learn of it: it is counted for the exit status and, with
// "-shr" and no display, named on standard error.
void CommandLineController::countFailedFiles() {
  const std::vector<std::string> failed = report_.countFailedFiles(parts_.results.items());
  if (!start_.showErrors || !headless()) return;
  // File names go out byte for byte, as the lists write them.
  for (const std::string& name : failed) std::fputs(app::failedFileLine(name).c_str(), stderr);
}

void CommandLineController::reportError(const QString& message) {
  reportWarning(programCaption(), message);
}

// A warning of another command during the run: shown in its own box with "-shr"; a
// regular-expression error is logged as "Error: " and its text.
void CommandLineController::reportWarning(const QString& caption, const QString& text) {
  parts_.state.stop.abortRequested = true;
  report_.error(toText(caption), toText(text));
  if (start_.showErrors) show(caption, text);
}

void CommandLineController::show(const QString& caption, const QString& text) {
  if (outerHandler_) {
    outerHandler_(caption, text);
  } else if (headless()) {
    printLocal(app::errorLine(toText(text)));
  } else {
    showWarningBox(&parts_.window, caption, text);
  }
}

void CommandLineController::windowClosing() {
  if (!start_.commandLineRun || !report_.takeLogDue()) return;
  try {
    report_.log().writeTo(QString::fromStdString(start_.logFileName).toLocal8Bit().toStdString());
  } catch (const platform::AtomicWriteError& error) {
    // The run ends either way; without a display the reason still reaches the job's output.
    if (headless()) std::fputs(app::errorLine(error.what()).c_str(), stderr);
  }
}

}  // namespace kestrix::ui
