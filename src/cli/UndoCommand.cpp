// `ksr undo [RUN]`: undoes the latest run of the undo history not yet undone (or the run
// RUN), restoring each file's original with its mode, owner, times and attributes.
#include <cstdio>
#include <cstring>
#include <optional>

#include "cli/Commands.h"
#include "cli/ModifyOptions.h"
#include "modify/DataFolder.h"
#include "modify/HistoryUndo.h"
#include "modify/TemporaryLog.h"
#include "platform/Platform.h"

namespace kestrix::cli {
namespace {

const char* const kHelp =
    "Usage: ksr undo [RUN]\n"
    "Undoes the latest run of the undo history that is not undone yet (a replace or batch\n"
    "run made with backups, from ksr or the window), or the run RUN of `ksr history`.\n"
    "Repeated, it goes back run by run. Each file gets back its content, mode, owner,\n"
    "group, times and extended attributes. Prints FULLPATH<TAB>Undid or Failed Undo for\n"
    "each file (the reason of a failure goes to standard error as FULLPATH: reason). A\n"
    "file changed since the run is left as it is. An undo that was interrupted is finished\n"
    "by the next one.\n"
    "Exit status: 0 all undone, 1 nothing to undo, 2 error, 3 some failed.\n";

int printOutcomes(const modify::UndoSummary& summary) {
  bool allUndone = true;
  std::string out;
  for (const auto& outcome : summary.outcomes) {
    out += outcome.fullName + "\t" +
           std::string(search::resultWord(outcome.undone ? search::RowResult::Undid
                                                         : search::RowResult::FailedUndo)) +
           "\n";
    allUndone = allUndone && outcome.undone;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (summary.stopped) return kExitError;
  return allUndone ? kExitListed : kExitSomeFailed;
}

// The journal an earlier version left in the data folder, undone once and then removed.
int undoEarlierJournal(const std::string& dataFolder) {
  const std::string path = platform::joinPath(dataFolder, modify::kUndoJournalFile);
  modify::UndoJournal journal = modify::loadUndoJournal(path);
  if (journal.empty()) {
    std::fprintf(stderr, "ksr: nothing to undo\n");
    return kExitNone;
  }
  ConsoleModifyObserver observer;
  std::vector<search::ResultItem> rows;
  const auto summary = modify::undoLastRun(journal, rows, observer);
  if (journal.empty()) {
    platform::removeFile(path);
  } else {
    modify::saveUndoJournal(journal, path);
  }
  return printOutcomes(summary);
}

int undo(const std::optional<std::string>& run) {
  const std::string data = modify::dataFolder();
  const std::string history = modify::historyFolderIn(data);
  const std::string log = modify::temporaryLogPath(data);
  if (platform::exists(log)) modify::removeStaleTemporaries(log);
  const std::optional<std::string> id = run ? run : modify::latestUndoableRun(history);
  if (!id) return undoEarlierJournal(data);
  ConsoleModifyObserver observer;
  std::vector<search::ResultItem> rows;
  modify::HistoryUndoOptions options;
  if (platform::exists(data)) options.temporaryLog = log;
  std::fprintf(stderr, "Undoing run %s\n", id->c_str());
  return printOutcomes(modify::undoRun(history, *id, rows, observer, options));
}

}  // namespace

int runUndoCommand(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    std::printf("%s", kHelp);
    return 0;
  }
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::fprintf(stderr, "ksr: undo takes at most one RUN (see ksr undo --help)\n");
    return kExitError;
  }
  try {
    return undo(argc == 2 ? std::optional<std::string>(argv[1]) : std::nullopt);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ksr: %s\n", e.what());
    return kExitError;
  }
}

}  // namespace kestrix::cli
