// The Result and Found texts of a row, made from its outcome, interval and hits.
#include "search/RowOutcome.h"

#include "search/Cells.h"
#include "search/ResultItem.h"

namespace kestrix::search {

std::string_view resultWord(RowResult result) {
  switch (result) {
    case RowResult::None:
      return "";
    case RowResult::Found:
      return "Found";
    case RowResult::NotFound:
      return "Not Found";
    case RowResult::Modified:
      return "Modified";
    case RowResult::FailedModification:
      return "Failed Modification";
    case RowResult::Undid:
      return "Undid";
    case RowResult::FailedUndo:
      return "Failed Undo";
  }
  return "";
}

std::string intervalText(std::int64_t from, std::int64_t to) {
  if (from < 0 || to < 0) return "Nil";
  if (from == 0 && to == 0) return "All file";
  const std::string first = from == 0 ? "Top" : std::to_string(from);
  const std::string last = to == 0 ? "Bottom" : std::to_string(to);
  return first + " - " + last;
}

bool takesInterval(RowResult result) {
  return result != RowResult::None && result != RowResult::NotFound;
}

std::string resultCellText(const ResultItem& row, bool intervalFormat) {
  const std::string word(resultWord(row.outcome.result));
  if (!intervalFormat || !takesInterval(row.outcome.result)) return word;
  const std::string interval = intervalText(row.intervalFrom, row.intervalTo);
  switch (row.outcome.result) {
    case RowResult::Modified:
      return word + "    \\" + interval;
    case RowResult::Undid:
      return word + "        \\" + interval;
    case RowResult::FailedModification:
    case RowResult::FailedUndo:
      return word + "   " + interval;
    case RowResult::Found:
    case RowResult::None:
    case RowResult::NotFound:
      break;
  }
  return word + "       " + interval;
}

bool excludedByInterval(const ResultItem& row, bool intervalFormat) {
  return intervalFormat && takesInterval(row.outcome.result) &&
         (row.intervalFrom < 0 || row.intervalTo < 0);
}

std::string foundCellText(const ResultItem& row, bool cut) {
  return foundText(row.hits, cut);
}

}  // namespace kestrix::search
