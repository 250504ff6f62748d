// Reading of the start arguments of `kestrix`.
#include "ui/StartArguments.h"

#include <cctype>

namespace kestrix::ui {
namespace {

std::string withoutLeadingBlanks(const std::string& arg) {
  std::size_t i = 0;
  while (i < arg.size() && static_cast<unsigned char>(arg[i]) <= ' ') ++i;
  return arg.substr(i);
}

bool isPathSwitch(const std::string& arg) {
  static const char kPath[] = "-path";
  if (arg.size() < 5) return false;
  for (std::size_t i = 0; i < 5; ++i) {
    if (std::tolower(static_cast<unsigned char>(arg[i])) != kPath[i]) return false;
  }
  return true;
}

}  // namespace

StartAction startActionOf(const std::vector<std::string>& args) {
  if (args.size() != 1) return StartAction::OpenWindow;
  if (args[0] == "--help" || args[0] == "-h") return StartAction::PrintHelp;
  if (args[0] == "--version") return StartAction::PrintVersion;
  return StartAction::OpenWindow;
}

std::optional<std::string> startFolderOf(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  const std::string first = withoutLeadingBlanks(args[0]);
  if (!isPathSwitch(first) || first.size() <= 6) return std::nullopt;
  return first.substr(6);
}

const char* startHelpText() {
  return R"(Usage: kestrix [-path=FOLDER]
  or:  kestrix --help | --version
Opens the Kestrix Search & Replace window: find files by their contents in a folder tree,
browse the hits, and replace, clear, delete or insert text in the listed files, with
backups and undo. F1 in the window opens the built-in help.

Options:
  -path=FOLDER  open the window with FOLDER as the search folder ("-path" in any
                letter case; the application menu's entry passes a folder this way)
  --help        show this help and exit
  --version     show the version and exit

The window needs a graphical display. The console front end ksr(1) runs the same
searches and modifications without one.
)";
}

std::string startVersionText() {
  return std::string("kestrix (Kestrix Search & Replace) ") + KESTRIX_VERSION + "\n";
}

}  // namespace kestrix::ui
