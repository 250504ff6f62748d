// `ksr erase-backups`: removes the "*.bak" backups of a folder tree, the console front end
// of Erase Backups.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/FindOptions.h"
#include "cli/FolderCheck.h"
#include "cli/ModifyOptions.h"
#include "modify/Undo.h"

namespace kestrix::cli {
namespace {

const char* const kHelp = R"(Erase backups (ksr erase-backups [options] FOLDER):
Removes every file whose name ends in ".bak" in FOLDER and its subfolders, whichever
program made it; links to folders are not followed. The number of removed files goes to
standard error.
  --no-subfolders       only the files directly in FOLDER
  --ignore-dirs FILE    never remove files in the folders listed in FILE (one pattern a line)
  --ignore-subfolders-too  with --ignore-dirs: do not enter their subfolders either
Exit status: 0 done, 2 error (FOLDER missing or not a folder, or interrupted).
)";

// The find options that erase-backups shares; every other option is refused.
const std::set<std::string> kOptions = {"--no-subfolders", "--ignore-dirs",
                                        "--ignore-subfolders-too", "--help"};

// Reads the options into the search request's folder fields and returns FOLDER.
std::string parseArguments(const std::vector<std::string>& args, FindOptions& options) {
  std::vector<std::string> positional;
  bool onlyPositional = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!onlyPositional && args[i] == "--") {
      onlyPositional = true;
    } else if (onlyPositional || args[i].size() < 2 || args[i][0] != '-') {
      positional.push_back(args[i]);
    } else if (!kOptions.count(args[i]) || !consumeFindOption(args, i, options)) {
      throw UsageError("unknown option " + args[i]);
    }
  }
  if (options.help) return {};
  if (positional.empty()) throw UsageError("missing FOLDER");
  if (positional.size() > 1) throw UsageError("too many arguments");
  return positional[0];
}

int eraseIn(const std::string& folder, const search::SearchRequest& request) {
  requireFolder(folder);
  modify::EraseOptions erase;
  erase.includeSubfolders = request.includeSubfolders;
  erase.ignoredFolders = request.ignoredFolders;
  ConsoleModifyObserver observer;
  const modify::EraseSummary summary = modify::eraseBackups(folder, erase, observer);
  std::fprintf(stderr, "%zu backup file%s removed%s\n", summary.removed,
               summary.removed == 1 ? "" : "s", summary.stopped ? " (interrupted)" : "");
  return summary.stopped ? kExitError : 0;
}

}  // namespace

const char* eraseBackupsHelp() {
  return kHelp;
}

int runEraseBackupsCommand(int argc, char** argv) {
  return runGuarded("erase-backups", [&] {
    FindOptions options;
    const std::string folder =
        parseArguments(std::vector<std::string>(argv + 1, argv + argc), options);
    if (options.help) {
      std::printf("%s", eraseBackupsHelp());
      return 0;
    }
    return eraseIn(folder, options.request);
  });
}

}  // namespace kestrix::cli
