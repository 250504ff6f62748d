// `ksr find`: runs the search core and prints the listed files, their found lines or the
// list as a table.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/FindOptions.h"
#include "cli/ListTable.h"
#include "search/Find.h"
#include "search/QueryParser.h"

namespace kestrix::cli {
namespace {

void printError(const std::string& caption, const std::string& text) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

// Prints each listed file as it comes (or keeps it for the table).
class ConsoleObserver : public search::SearchObserver {
 public:
  ConsoleObserver(const FindOptions& options) : options_(options) {}

  void resultAdded(const search::ResultItem& item) override {
    if (options_.listTable) {
      items_.push_back(item);
    } else {
      std::string line = item.fullName();
      if (!nameOnly_) line += "\t" + item.found;
      line += '\n';
      std::fwrite(line.data(), 1, line.size(), stdout);
      if (options_.showLines) printLines(item);
    }
  }
  void warning(const std::string& caption, const std::string& text) override {
    printError(caption, text);
  }

  void setNameOnly(bool nameOnly) { nameOnly_ = nameOnly; }
  const std::vector<search::ResultItem>& items() const { return items_; }

  void printLines(const search::ResultItem& item) {
    if (nameOnly_ || !termTable_) return;
    search::SearchRequest request = options_.request;
    request.termTable = *termTable_;
    try {
      const search::FillOutcome fill = search::fillFoundLines(request, item.path, item.name);
      for (const std::string& entry : fill.lines.entries) std::printf("%s\n", entry.c_str());
    } catch (const search::SearchError& error) {
      printError(error.caption(), error.text());
    }
  }
  void setTermTable(const search::TermTable* table) { termTable_ = table; }

 private:
  const FindOptions& options_;
  bool nameOnly_ = false;
  const search::TermTable* termTable_ = nullptr;
  std::vector<search::ResultItem> items_;
};

// The term table of the run, parsed up front so the found lines can be printed while the
// run goes on; nothing when the query does not parse (the run reports that error).
std::optional<search::TermTable> termTableOf(const search::SearchRequest& request) {
  search::SearchRequest copy = request;
  try {
    search::buildTermTable(copy);
  } catch (const search::SearchError&) {
    return std::nullopt;
  }
  return copy.termTable;
}

}  // namespace

int runFindCommand(int argc, char** argv) {
  FindOptions options;
  try {
    options = parseFindArguments(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& error) {
    std::fprintf(stderr, "ksr: %s (see ksr --help)\n", error.what());
    return kExitError;
  }
  if (options.help) {
    std::printf("%s", findOptionsHelp());
    return 0;
  }
  if (options.version) {
    printVersion();
    return 0;
  }
  ConsoleObserver observer(options);
  observer.setNameOnly(search::hasEmptyQuery(options.request));
  const std::optional<search::TermTable> table = termTableOf(options.request);
  observer.setTermTable(table ? &*table : nullptr);
  search::FindOutcome outcome;
  try {
    outcome = search::runFind(options.request, observer, nullptr, options.threads);
  } catch (const search::SearchError& error) {
    printError(error.caption(), error.text());
    return kExitError;
  }
  if (options.listTable) printListTable(observer.items(), !outcome.nameOnlyListing, stdout);
  std::fflush(stdout);
  if (outcome.error) {
    printError(outcome.error->caption(), outcome.error->text());
    return kExitError;
  }
  return outcome.foundCount > 0 ? kExitListed : kExitNone;
}

}  // namespace kestrix::cli
