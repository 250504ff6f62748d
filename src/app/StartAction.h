// What `kestrix` does before its window exists: --help and --version print and exit, and
// a start without a graphical display either runs unseen ("-com") or says that it cannot.
#pragma once

#include <string>
#include <vector>

namespace kestrix::app {

// What the arguments ask for before any window is made.
enum class StartAction { OpenWindow, PrintHelp, PrintVersion };

// --help / -h and --version as the only argument print and exit; anything else opens
// the window (the window's own switches begin with "-path" or name a project file).
StartAction startActionOf(const std::vector<std::string>& args);

// The text of `kestrix --help` and `kestrix --version` (the manual page is made from them).
const char* startHelpText();
std::string startVersionText();

// True when the environment names a display (DISPLAY or WAYLAND_DISPLAY) or a platform of
// its own (QT_QPA_PLATFORM), each set and not empty.
bool hasDisplay();

// Said on standard error by a start that needs a display and has none.
const char* noDisplayText();

}  // namespace kestrix::app
