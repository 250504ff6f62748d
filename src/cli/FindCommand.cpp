// `ksr find`: runs the search core and prints the listed files, their found lines or the
// list as a table.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/FindOptions.h"
#include "cli/FolderCheck.h"
#include "cli/JsonOutput.h"
#include "cli/ReportOutput.h"
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
  ConsoleObserver(const FindOptions& options)
      : options_(options), color_(colorWanted(options.color, stdout)) {}

  void resultAdded(const search::ResultItem& item) override {
    if (!options_.listTable && !options_.reportFile.empty()) items_.push_back(item);  // report
    if (options_.listTable) {
      items_.push_back(item);
    } else {
      printListed(item);
    }
  }
  void warning(const std::string& caption, const std::string& text) override {
    printError(caption, text);
  }

  void setNameOnly(bool nameOnly) { nameOnly_ = nameOnly; }
  const std::vector<search::ResultItem>& items() const { return items_; }

  // The file as a line "FULLPATH<TAB>FOUND", a NUL-ended name or a JSON object, then its
  // found lines with --lines.
  void printListed(const search::ResultItem& item) {
    const std::optional<search::FoundLines> lines = foundLines(item);
    std::string record;
    if (options_.json) {
      record = jsonRecord(item, !nameOnly_, lines ? &lines->entries : nullptr);
    } else if (options_.nullEnded) {
      record = item.fullName() + '\0';
    } else {
      record = item.fullName() + (nameOnly_ ? "" : "\t" + search::foundCellText(item)) + '\n';
    }
    std::fwrite(record.data(), 1, record.size(), stdout);
    if (lines && !options_.json) printEntries(*lines);
  }

  std::optional<search::FoundLines> foundLines(const search::ResultItem& item) {
    if (!options_.showLines || nameOnly_ || !termTable_) return std::nullopt;
    search::SearchRequest request = options_.request;
    request.termTable = *termTable_;
    try {
      return search::fillFoundLines(request, item.path, item.name).lines;
    } catch (const search::SearchError& error) {
      printError(error.caption(), error.text());
      return std::nullopt;
    }
  }

  void printEntries(const search::FoundLines& lines) {
    for (std::size_t i = 0; i < lines.entries.size(); ++i) {
      const std::string entry = color_ ? coloredEntry(lines, i) : lines.entries[i];
      std::printf("%s\n", entry.c_str());
    }
  }
  void setTermTable(const search::TermTable* table) { termTable_ = table; }

 private:
  const FindOptions& options_;
  const bool color_;
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
    requireFolder(options.request.folder);
    outcome = search::runFind(options.request, observer, nullptr, options.threads);
  } catch (const search::SearchError& error) {
    printError(error.caption(), error.text());
    return kExitError;
  }
  if (options.listTable) printListFile(observer.items(), !outcome.nameOnlyListing, stdout);
  if (!options.reportFile.empty() &&
      !writeReportFile(options.reportFile, options.request, outcome, observer.items())) {
    return kExitError;
  }
  std::fflush(stdout);
  if (outcome.error) {
    printError(outcome.error->caption(), outcome.error->text());
    return kExitError;
  }
  return outcome.foundCount > 0 ? kExitListed : kExitNone;
}

}  // namespace kestrix::cli
