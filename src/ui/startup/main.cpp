// Starts the window `kestrix`: --help and --version print and exit; the window reads the
// rest of its command line when it is shown. A "-com" run works without a graphical display
// on the offscreen platform and ends with status 1 when it reported an error and 2 when a
// file could not be modified; any other
// start without a display says so and points to the console front end.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/CommandLog.h"
#include "app/StartAction.h"
#include "ui/startup/CommandLineController.h"
#include "ui/window/TFind.h"

// The icon lives in the kestrix_ui library's resources; a static library needs them
// registered explicitly (outside any namespace).
static void registerResources() {
  Q_INIT_RESOURCE(kestrix);
}

namespace {

namespace app = kestrix::app;

// The application's identity for the desktop: name, icon, and the menu entry it belongs
// to (taskbars find the icon through it).
void setIdentity() {
  QApplication::setApplicationName("Kestrix Search & Replace");
  QGuiApplication::setDesktopFileName("org.kestrix.Kestrix");
  registerResources();
  QApplication::setWindowIcon(QIcon(":/icons/kestrix.svg"));
}

// Without a screen, Qt's own notes (no runtime folder, no size hints on this platform)
// would fill a scheduled job's output; only its critical messages are kept.
void keepCriticalQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  switch (app::startActionOf(args)) {
    case app::StartAction::PrintHelp:
      std::fputs(app::startHelpText(), stdout);
      return 0;
    case app::StartAction::PrintVersion:
      std::fputs(app::startVersionText().c_str(), stdout);
      return 0;
    case app::StartAction::OpenWindow:
      break;
  }
  // "-com" counts only after a first "-path" argument.
  const bool commandRun = app::parseStartArguments(args).commandLineRun;
  if (!app::hasDisplay() && commandRun) {
    // A scheduled run needs no screen: the window works unseen, its messages go to stderr.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepCriticalQtMessages);
  } else if (!app::hasDisplay()) {
    std::fputs(app::noDisplayText(), stderr);
    return 1;
  }
  const std::vector<std::string> words(argv, argv + argc);
  QApplication application(argc, argv);
  setIdentity();
  kestrix::ui::TFind window;
  window.commandLine().setArguments(args, app::shellCommandLine(words));
  window.show();
  const int status = QApplication::exec();
  return commandRun ? window.commandLine().exitStatus() : status;
}
