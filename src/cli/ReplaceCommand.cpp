// `ksr replace`: the search of `ksr find` with the Search and Replace settings, then
// Modify All over the listed files; prints each file's result (or, with --dry-run, a
// unified diff of what would change).
#include <cstdio>

#include "cli/Commands.h"
#include "cli/FolderCheck.h"
#include "cli/InteractiveReplace.h"
#include "cli/ModifyOptions.h"
#include "modify/ModifyPass.h"
#include "search/Find.h"

namespace kestrix::cli {
namespace {

class CollectingObserver : public search::SearchObserver {
 public:
  explicit CollectingObserver(modify::ModifyObserver& modify) : modify_(modify) {}
  void resultAdded(const search::ResultItem& item) override { rows.push_back(item); }
  void warning(const std::string& caption, const std::string& text) override {
    printMessage({caption, text});
  }
  bool poll() override { return modify_.poll(); }
  std::vector<search::ResultItem> rows;

 private:
  modify::ModifyObserver& modify_;
};

int replace(FindOptions& find, const ModifyArgs& args) {
  const modify::ModifyRequest request = buildModifyRequest(find, args);
  ConsoleModifyObserver observer;
  CollectingObserver collector(observer);
  const search::FindOutcome found = search::runFind(find.request, collector);
  if (found.error) {
    printMessage({found.error->caption(), found.error->text()});
    return kExitError;
  }
  if (collector.rows.empty()) return kExitNone;
  if (args.interactive) return replaceInteractively(request, collector.rows, args, find, observer);
  modify::UndoJournal journal;
  const modify::PassOptions options = consolePassOptions(args, find.request.folder, "ksr replace");
  const auto summary =
      modify::runModifyPass(request, collector.rows, {}, journal, observer, options);
  if (!args.dryRun) printResults(collector.rows);
  if (summary.stopped) return kExitError;
  return exitStatusOf(collector.rows);
}

}  // namespace

int runReplaceCommand(int argc, char** argv) {
  FindOptions find;
  ModifyArgs args;
  return runGuarded("replace", [&] {
    const auto positional =
        parseModifyArguments(std::vector<std::string>(argv + 1, argv + argc), find, args);
    if (find.help) {
      std::printf("%s\n%s", modifyOptionsHelp(), findOptionsHelp());
      return 0;
    }
    const std::size_t queries = find.queryFile.empty() ? 1 : 0;
    if (positional.size() < queries) throw UsageError("missing QUERY");
    if (positional.size() > queries + 1) throw UsageError("too many arguments");
    const bool blanksOrDeletes = args.mode == modify::ModificationType::Delete ||
                                 args.mode == modify::ModificationType::Clear;
    if (!args.withText && args.withFile.empty() && !blanksOrDeletes) {
      // An empty replacement deletes every match: that must be asked for (--with '').
      throw UsageError("missing --with TEXT or --with-file FILE");
    }
    setQuery(find, queries ? positional[0] : std::string());
    if (positional.size() > queries) find.request.folder = positional[queries];
    if (args.interactive && args.dryRun) {
      throw UsageError("--interactive and --dry-run cannot be used together");
    }
    requireFolder(find.request.folder);
    return replace(find, args);
  });
}

}  // namespace kestrix::cli
