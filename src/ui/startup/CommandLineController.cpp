// The command line of the window: show handler, first idle pass, run and close handler.
#include "ui/startup/CommandLineController.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "modify/ModifyMessages.h"
#include "platform/AtomicWrite.h"
#include "search/SearchError.h"
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
  closeWhenDone_ = false;
  listFileName_.clear();
  pending_ = true;
  start_ = app::parseStartArguments(args_);
  if (start_.logErrors) log_.begin(commandLine_);
  switch (start_.kind) {
    case app::StartKind::Plain:
      break;
    case app::StartKind::Project:
      parts_.host.openProject(toQString(start_.projectFile));
      break;
    case app::StartKind::CommandLine:
      // A launcher passes "-path=" without a folder: the window keeps the remembered one.
      // A run takes the folder as given, so that an empty one is refused, never replaced.
      if (!start_.folder.empty() || start_.commandLineRun)
        parts_.host.setFolderText(toQString(start_.folder));
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
  if (closeWhenDone_ || headless()) parts_.window.close();
}

void CommandLineController::run() {
  WindowState& state = parts_.state;
  if (closeWhenDone_) {
    state.stop.abortRequested = true;
    return;
  }
  parts_.host.showSearchReplaceTab();
  const app::CommandRunPlan plan = app::planCommandRun(args_, parts_.host.commandRunFields());
  parts_.host.applyCommandRunFields(plan.fields);
  listFileName_ = plan.listFile;
  for (const std::string& message : plan.messages) reportError(toQString(message));
  if (closeWhenDone_) {
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
      listFailed_ = true;
      if (start_.showErrors && headless())
        std::fprintf(stderr, "kestrix: %s: the list could not be written\n",
                     QString::fromStdString(listFileName_).toLocal8Bit().constData());
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
  for (const search::ResultItem& item : parts_.results.items()) {
    if (item.outcome.result != search::RowResult::FailedModification) continue;
    ++failedFiles_;
    if (start_.showErrors && headless())
      std::fprintf(stderr, "kestrix: %s: %s\n", item.fullName().c_str(),
                   std::string(search::resultWord(item.outcome.result)).c_str());
  }
}

void CommandLineController::reportError(const QString& message) {
  parts_.state.stop.abortRequested = true;
  closeWhenDone_ = true;
  if (start_.showErrors) show(programCaption(), message);
  if (start_.logErrors) log_.add(toText(message));
}

// A warning of another command during the run: shown in its own box with "-shr"; a
// regular-expression error is logged as "Error: " and its text.
void CommandLineController::reportWarning(const QString& caption, const QString& text) {
  parts_.state.stop.abortRequested = true;
  closeWhenDone_ = true;
  if (start_.showErrors) show(caption, text);
  if (start_.logErrors)
    log_.add(toText(caption == search::kRegexCaption ? "Error: " + text : text));
}

void CommandLineController::show(const QString& caption, const QString& text) {
  if (outerHandler_) {
    outerHandler_(caption, text);
  } else if (headless()) {
    std::fprintf(stderr, "kestrix: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
  } else {
    showWarningBox(&parts_.window, caption, text);
  }
}

void CommandLineController::windowClosing() {
  if (!start_.commandLineRun || !start_.logErrors || !closeWhenDone_ || logWritten_) return;
  logWritten_ = true;
  try {
    log_.writeTo(QString::fromStdString(start_.logFileName).toLocal8Bit().toStdString());
  } catch (const platform::AtomicWriteError& error) {
    // The run ends either way; without a display the reason still reaches the job's output.
    if (headless()) std::fprintf(stderr, "kestrix: %s\n", error.what());
  }
}

}  // namespace kestrix::ui
