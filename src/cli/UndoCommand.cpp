// `ksr undo`: restores the files of the last `ksr replace` (or `ksr batch`) run from their
// backups, using the undo journal in the data folder.
#include <cstdio>
#include <cstring>

#include "cli/Commands.h"
#include "cli/ModifyOptions.h"
#include "modify/DataFolder.h"
#include "modify/TemporaryLog.h"
#include "modify/Undo.h"
#include "platform/Platform.h"

namespace kestrix::cli {

int runUndoCommand(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    std::printf(
        "Usage: ksr undo\nRestores the files of the last replace or batch run made with "
        "backups,\nand prints FULLPATH<TAB>Undid or Failed Undo for each (the reason of a "
        "failure\ngoes to standard error as FULLPATH: reason). A file changed since the run "
        "is left\nas it is, with its backup.\nExit status: 0 all undone, 1 nothing to undo, "
        "2 error, 3 some failed.\n");
    return 0;
  }
  if (argc > 1) {
    std::fprintf(stderr, "ksr: undo takes no arguments (see ksr undo --help)\n");
    return kExitError;
  }
  modify::UndoJournal journal;
  std::string path;
  try {
    path = platform::joinPath(modify::dataFolder(), modify::kUndoJournalFile);
    journal = modify::loadUndoJournal(path);
    modify::removeStaleTemporaries(modify::temporaryLogPath(modify::dataFolder()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ksr: cannot read the undo journal: %s\n", e.what());
    return kExitError;
  }
  if (journal.empty()) {
    std::fprintf(stderr, "ksr: nothing to undo\n");
    return kExitNone;
  }
  ConsoleModifyObserver observer;
  std::vector<search::ResultItem> rows;
  const auto summary = modify::undoLastRun(journal, rows, observer);
  bool allUndone = true;
  std::string out;
  for (const auto& outcome : summary.outcomes) {
    out += outcome.fullName + "\t" + (outcome.undone ? modify::kUndid : modify::kFailedUndo) + "\n";
    allUndone = allUndone && outcome.undone;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (!saveJournal(journal) || summary.stopped) return kExitError;
  return allUndone ? kExitListed : kExitSomeFailed;
}

}  // namespace kestrix::cli
