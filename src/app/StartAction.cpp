// The start arguments of `kestrix` read before its window exists, and its texts.
#include "app/StartAction.h"

#include <cstdlib>

namespace kestrix::app {

StartAction startActionOf(const std::vector<std::string>& args) {
  if (args.size() != 1) return StartAction::OpenWindow;
  if (args[0] == "--help" || args[0] == "-h") return StartAction::PrintHelp;
  if (args[0] == "--version") return StartAction::PrintVersion;
  return StartAction::OpenWindow;
}

const char* startHelpText() {
  return R"(Usage: kestrix [-path=FOLDER [SWITCH...]]
  or:  kestrix PROJECT.ksr
  or:  kestrix --help | --version
Opens the Kestrix Search & Replace window: find files by their contents in a folder tree,
browse the hits, and replace, clear, delete or insert text in the listed files, with
backups and undo. F1 in the window opens the built-in help.

A first argument that does not begin with "-path" is a project file to open.

Options:
  -path=FOLDER  open the window with FOLDER as the search folder ("-path" in any
                letter case; the application menu's entry passes a folder this way)
  --help        show this help and exit
  --version     show the version and exit

Switches after -path=FOLDER (the first four characters in any letter case):
  -com          search FOLDER and run Modify All on the Search and Replace tab with
                the saved search type, modification type and options, then exit
  -s1=TEXT      one-line search text
  -r1=TEXT      one-line replacement or insertion text
  -s2=LINES     multi-line search text ("|" separates lines, "||" is a literal "|")
  -r2=LINES     multi-line replacement text, written the same way
  -pt=FOLDER    search folder (overrides -path)
  -ms=MASKS     file masks, for example "*.txt; *.htm"
  -fs=FILE      save the list of found files to FILE
  -shr          show each error in a message box (on standard error without a display)
  -fr=FILE      write the errors to FILE (only when an error was reported)

A -com run needs no graphical display: without one it runs unseen. Its exit status is 0
on success, 1 when an error was reported and 2 when some listed file could not be
modified or the -fs list not written. Without -com the window needs a display;
the console front end ksr(1) runs the same searches and modifications without one.

Example:
  kestrix -path=$HOME/notes -com -s1=colour -r1=color "-ms=*.txt" -fs=/tmp/changed.lst
)";
}

std::string startVersionText() {
  return std::string("kestrix (Kestrix Search & Replace) ") + KESTRIX_VERSION + "\n";
}

bool hasDisplay() {
  auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

const char* noDisplayText() {
  return "kestrix: the window needs a graphical display (no DISPLAY or WAYLAND_DISPLAY is set).\n"
         "The console front end ksr does the same searches, for example:\n"
         "  ksr find --help        (in the build tree: build/release/src/cli/ksr)\n";
}

}  // namespace kestrix::app
