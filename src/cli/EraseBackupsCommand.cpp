// `ksr erase-backups`: moves the "*.bak" backups of a folder tree to the trash, the console
// front end of Erase Backups.
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/FindOptions.h"
#include "cli/FolderCheck.h"
#include "cli/ModifyOptions.h"
#include "fileops/DesktopTrash.h"
#include "modify/EraseBackups.h"
#include "modify/History.h"

namespace kestrix::cli {
namespace {

const char* const kHelp = R"(Erase backups (ksr erase-backups [options] FOLDER):
Moves every file whose name ends in ".bak" in FOLDER and its subfolders, whichever
program made it, to the desktop's trash (a file system without a trash folder: the file
is left, or deleted after a yes on a terminal); links to folders are not followed. On a
terminal it first asks with the count, and afterwards offers to clear the undo history of
FOLDER; otherwise it asks nothing and never touches the history. The counts go to
standard error.
  --delete              delete the files for good instead of moving them to the trash
  --yes                 do not ask before erasing
  --no-subfolders       only the files directly in FOLDER
  --ignore-dirs FILE    never remove files in the folders listed in FILE (one pattern a line)
  --ignore-subfolders-too  with --ignore-dirs: do not enter their subfolders either
Exit status: 0 done (or declined), 2 error (FOLDER missing or not a folder, or interrupted).
)";

// The switches of erase-backups itself.
struct EraseSwitches {
  bool deleteForGood = false;
  bool yes = false;
};

// The find options that erase-backups shares; every other option is refused.
const std::set<std::string> kOptions = {"--no-subfolders", "--ignore-dirs",
                                        "--ignore-subfolders-too", "--help"};

// Reads the options into the search request's folder fields and `switches`; returns FOLDER.
std::string parseArguments(const std::vector<std::string>& args, FindOptions& options,
                           EraseSwitches& switches) {
  std::vector<std::string> positional;
  bool onlyPositional = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!onlyPositional && args[i] == "--") {
      onlyPositional = true;
    } else if (onlyPositional || args[i].size() < 2 || args[i][0] != '-') {
      positional.push_back(args[i]);
    } else if (args[i] == "--delete") {
      switches.deleteForGood = true;
    } else if (args[i] == "--yes") {
      switches.yes = true;
    } else if (!kOptions.count(args[i]) || !consumeFindOption(args, i, options)) {
      throw UsageError("unknown option " + args[i]);
    }
  }
  if (options.help) return {};
  if (positional.empty()) throw UsageError("missing FOLDER");
  if (positional.size() > 1) throw UsageError("too many arguments");
  return positional[0];
}

// Asks `question` on standard error when standard input is a terminal; true for an answer
// starting with "y". Without a terminal: `otherwise`.
bool ask(const std::string& question, bool otherwise) {
  if (::isatty(STDIN_FILENO) != 1) return otherwise;
  std::fprintf(stderr, "%s [y/N] ", question.c_str());
  std::fflush(stderr);
  std::string answer;
  for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) answer += char(c);
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

std::string backupFiles(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " backup file" : " backup files");
}

// Offers to clear the undo history of `folder` (on a terminal only).
void offerHistoryClear(const std::string& folder) {
  const std::string history = historyFolder();
  const std::size_t runs = modify::countFolderRuns(history, folder);
  if (runs == 0 || !ask("Also clear the undo history of " + folder + " (" + std::to_string(runs) +
                            (runs == 1 ? " run" : " runs") + ")?",
                        false))
    return;
  const std::size_t removed = modify::clearHistory(history, folder);
  std::fprintf(stderr, "%zu run%s removed from the undo history\n", removed,
               removed == 1 ? "" : "s");
}

int eraseIn(const std::string& folder, const search::SearchRequest& request,
            const EraseSwitches& switches) {
  requireFolder(folder);
  modify::EraseOptions erase;
  erase.includeSubfolders = request.includeSubfolders;
  erase.ignoredFolders = request.ignoredFolders;
  ConsoleModifyObserver observer;
  const modify::EraseSummary found = modify::countBackups(folder, erase, observer);
  if (found.found > 0 && !switches.yes &&
      !ask("Erase " + backupFiles(found.found) + " in " + folder + "?", true)) {
    std::fprintf(stderr, "nothing erased\n");
    return 0;
  }
  if (!switches.deleteForGood) {
    const std::string trash = fileops::homeTrashFolder();
    erase.trash = [trash](const std::string& name) { return fileops::moveToTrash(name, trash); };
    erase.deleteUntrashable = [](const std::string& name) {
      return ask("The trash cannot take " + name + ". Delete the files it cannot take for good?",
                 false);
    };
  }
  const modify::EraseSummary summary =
      found.found > 0 ? modify::eraseBackups(folder, erase, observer) : found;
  const std::size_t left = summary.found - summary.removed;
  std::string report = backupFiles(summary.removed - summary.deleted) + " moved to the trash";
  if (switches.deleteForGood) report = backupFiles(summary.removed) + " removed";
  if (!switches.deleteForGood && summary.deleted > 0)
    report += ", " + std::to_string(summary.deleted) + " deleted";
  if (left > 0) report += ", " + std::to_string(left) + " left in place";
  std::fprintf(stderr, "%s%s\n", report.c_str(), summary.stopped ? " (interrupted)" : "");
  if (!summary.stopped) offerHistoryClear(folder);
  return summary.stopped ? kExitError : 0;
}

}  // namespace

const char* eraseBackupsHelp() {
  return kHelp;
}

int runEraseBackupsCommand(int argc, char** argv) {
  return runGuarded("erase-backups", [&] {
    FindOptions options;
    EraseSwitches switches;
    const std::string folder =
        parseArguments(std::vector<std::string>(argv + 1, argv + argc), options, switches);
    if (options.help) {
      std::printf("%s", eraseBackupsHelp());
      return 0;
    }
    return eraseIn(folder, options.request, switches);
  });
}

}  // namespace kestrix::cli
