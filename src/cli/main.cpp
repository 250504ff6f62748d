// Entry point of `ksr`: selects the user's locale (dates, decimal separator) and dispatches
// on the first argument through the command table.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "cli/Commands.h"

namespace {

using kestrix::cli::Command;

const Command kCommands[] = {
    {"find", kestrix::cli::runFindCommand, "list the files whose contents match a query"},
    {"replace", kestrix::cli::runReplaceCommand, "search, then change the listed files"},
    {"undo", kestrix::cli::runUndoCommand, "undo the latest run of the undo history, or RUN"},
    {"history", kestrix::cli::runHistoryCommand, "list the undoable runs; --clear empties"},
    {"batch", kestrix::cli::runBatchCommand, "run the search/replace pairs of a .tbl table file"},
    {"erase-backups", kestrix::cli::runEraseBackupsCommand, "remove the .bak backups of a folder"},
};

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  const int count = static_cast<int>(std::size(kCommands));
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    kestrix::cli::printHelp(kCommands, count);
    return argc < 2 ? kestrix::cli::kExitError : 0;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    kestrix::cli::printVersion();
    return 0;
  }
  for (const Command& command : kCommands) {
    if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "ksr: unknown command \"%s\" (see ksr --help)\n", argv[1]);
  return kestrix::cli::kExitError;
}
