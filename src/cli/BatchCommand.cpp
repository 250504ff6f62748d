// `ksr batch TABLE.tbl`: runs the pairs of a table file one after another (a search with
// the pair's texts, then Modify All), printing each pair's file results.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/FolderCheck.h"
#include "cli/ModifyOptions.h"
#include "modify/BatchRunner.h"
#include "search/SearchError.h"

namespace kestrix::cli {
namespace {

int batch(const std::string& tablePath, FindOptions& find, const ModifyArgs& args) {
  const modify::BatchTable table = modify::openTableFile(tablePath);
  const modify::ModifyRequest request = buildModifyRequest(find, args);
  ConsoleModifyObserver observer;
  modify::UndoJournal journal;
  const modify::PassOptions options = consolePassOptions(args, find.request.folder, "ksr batch");
  const auto summary = modify::runBatch(table, find.request, request, journal, observer, options);
  std::vector<search::ResultItem> all;
  for (const auto& pair : summary.pairs) {
    if (!args.dryRun) printResults(pair.rows);
    all.insert(all.end(), pair.rows.begin(), pair.rows.end());
  }
  if (summary.error) {
    printMessage(*summary.error);
    return kExitError;
  }
  if (summary.stopped) return kExitError;
  return exitStatusOf(all);
}

}  // namespace

int runBatchCommand(int argc, char** argv) {
  FindOptions find;
  ModifyArgs args;
  return runGuarded("batch", [&] {
    const auto positional =
        parseModifyArguments(std::vector<std::string>(argv + 1, argv + argc), find, args);
    if (find.help) {
      std::printf(
          "Usage: ksr batch TABLE.tbl [options] [FOLDER]\nRuns every pair of the table file "
          "(a search for the \"To Search\" cell, then the\nmodification with the \"To Replace "
          "or Insert\" cell); with multiline and regex \"|\"\nseparates lines and \"||\" is a "
          "literal \"|\".\n\n%s\n%s",
          modifyOptionsHelp(), findOptionsHelp());
      return 0;
    }
    if (positional.empty()) throw UsageError("missing TABLE.tbl");
    if (positional.size() > 2) throw UsageError("too many arguments");
    if (args.withText || !args.withFile.empty()) {
      throw UsageError("the replacements come from the table; --with is not used");
    }
    if (args.interactive) throw UsageError("--interactive is for ksr replace");
    if (positional.size() == 2) find.request.folder = positional[1];
    requireFolder(find.request.folder);
    return batch(positional[0], find, args);
  });
}

}  // namespace kestrix::cli
