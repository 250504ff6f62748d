// Starts the window `kestrix`; without a graphical display it says so and
// points to the console front end.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/TFind.h"

namespace {

bool hasDisplay() {
  auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
  if (!hasDisplay()) {
    std::fputs(
        "kestrix: the window needs a graphical display (no DISPLAY or WAYLAND_DISPLAY is set).\n"
        "The console front end ksr does the same searches, for example:\n"
        "  build/release/src/cli/ksr find --help\n",
        stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Kestrix Search & Replace");
  kestrix::ui::TFind window;
  window.show();
  return QApplication::exec();
}
