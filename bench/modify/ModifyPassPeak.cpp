// Runs the modify pass alone over one file, as a replace would after its search, so that
// peak_memory.sh can measure the change without the search's own peak:
//   modify_pass_peak FILE EXPRESSION [SEPARATOR]
// replaces every match of the Reg Expr EXPRESSION (case-sensitive) by "NEW", without a
// backup and without recounting the file's hits; SEPARATOR is keep (default), unix,
// windows or mac. Prints the outcome; exit status 0 when the file was modified.
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "modify/ModifyPass.h"
#include "modify/UndoJournal.h"

namespace {

using kestrix::modify::LineSeparator;

LineSeparator separatorNamed(std::string_view name) {
  if (name == "unix") return LineSeparator::Unix;
  if (name == "windows") return LineSeparator::Windows;
  if (name == "mac") return LineSeparator::Macintosh;
  return LineSeparator::Keep;
}

}  // namespace

int main(int argc, char** argv) {
  namespace modify = kestrix::modify;
  namespace search = kestrix::search;
  if (argc < 3) {
    std::fprintf(stderr, "usage: modify_pass_peak FILE EXPRESSION [SEPARATOR]\n");
    return 2;
  }
  const std::filesystem::path file = std::filesystem::absolute(argv[1]);
  modify::ModifyRequest request;
  request.searchType = search::QueryType::RegExpr;
  request.searchLines = {argv[2]};
  request.replacementLines = {"NEW"};
  request.caseSensitive = true;
  request.createBackups = false;
  request.lineSeparator = separatorNamed(argc > 3 ? argv[3] : "keep");
  search::ResultItem row;
  row.name = file.filename().string();
  row.path = file.parent_path().string();
  row.hits = {1};
  row.outcome.result = search::RowResult::Found;
  std::vector<search::ResultItem> rows{row};
  modify::UndoJournal journal;
  modify::ModifyObserver observer;
  modify::PassOptions options;
  options.searchedFolder = row.path;
  options.refreshHits = false;
  const modify::PassSummary summary =
      modify::runModifyPass(request, rows, {}, journal, observer, options);
  std::printf("modified %zu, failed %zu\n", summary.modified, summary.failed);
  return summary.modified == 1 ? 0 : 1;
}
