// Starts the window `kestrix`: --help and --version print and exit; the window reads the
// rest of its command line when it is shown. A "-com" run works without a graphical display
// on the offscreen platform and ends with status 1 when it reported an error and 2 when a
// file could not be modified; any other
// start without a display says so and points to the console front end.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/CommandLog.h"
#include "ui/startup/CommandLineController.h"
#include "ui/startup/StartArguments.h"
#include "ui/window/TFind.h"

// The icon lives in the kestrix_ui library's resources; a static library needs them
// registered explicitly (outside any namespace).
static void registerResources() {
  Q_INIT_RESOURCE(kestrix);
}

namespace {

using kestrix::ui::StartAction;

bool hasDisplay() {
  auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

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
  switch (kestrix::ui::startActionOf(args)) {
    case StartAction::PrintHelp:
      std::fputs(kestrix::ui::startHelpText(), stdout);
      return 0;
    case StartAction::PrintVersion:
      std::fputs(kestrix::ui::startVersionText().c_str(), stdout);
      return 0;
    case StartAction::OpenWindow:
      break;
  }
  const kestrix::app::StartArguments start = kestrix::app::parseStartArguments(args);
  const bool commandRun =
      start.kind == kestrix::app::StartKind::CommandLine && start.commandLineRun;
  if (!hasDisplay() && commandRun) {
    // A scheduled run needs no screen: the window works unseen, its messages go to stderr.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepCriticalQtMessages);
  } else if (!hasDisplay()) {
    std::fputs(
        "kestrix: the window needs a graphical display (no DISPLAY or WAYLAND_DISPLAY is set).\n"
        "The console front end ksr does the same searches, for example:\n"
        "  ksr find --help        (in the build tree: build/release/src/cli/ksr)\n",
        stderr);
    return 1;
  }
  const std::vector<std::string> words(argv, argv + argc);
  QApplication app(argc, argv);
  setIdentity();
  kestrix::ui::TFind window;
  window.commandLine().setArguments(args, kestrix::app::shellCommandLine(words));
  window.show();
  const int status = QApplication::exec();
  return commandRun ? window.commandLine().exitStatus() : status;
}
