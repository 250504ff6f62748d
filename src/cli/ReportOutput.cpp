// The console's list table and report page, made by the results writers.
#include "cli/ReportOutput.h"

#include "platform/AtomicWrite.h"
#include "results/Pages.h"
#include "results/Report.h"

namespace kestrix::cli {

void printListFile(const std::vector<search::ResultItem>& items, bool withFound, std::FILE* out) {
  const std::string text = results::listFileText(results::tableOfItems(items, withFound, false));
  std::fwrite(text.data(), 1, text.size(), out);
}

bool writeReportFile(const std::string& path, const search::SearchRequest& request,
                     const search::FindOutcome& outcome,
                     const std::vector<search::ResultItem>& items) {
  search::SearchRequest parsed = request;
  parsed.termTable = outcome.termTable;
  results::ReportInput input;
  input.conditions = results::conditionsOf(request, results::nowStamp());
  input.table = results::tableOfItems(items, !outcome.nameOnlyListing, false, true);
  input.words = results::queryWords(request);
  results::ReportSections sections;
  sections.foundLines = [&](std::size_t r) {
    try {
      return search::fillFoundLines(parsed, items[r].path, items[r].name).lines;
    } catch (const search::SearchError&) {
      return search::FoundLines{};  // a file gone meanwhile gets an empty section
    }
  };
  try {
    results::writePageFile(path, results::reportPage(input, sections));
  } catch (const platform::AtomicWriteError&) {
    std::fflush(stdout);
    std::fprintf(stderr, "Create Report: Cannot open file %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace kestrix::cli
