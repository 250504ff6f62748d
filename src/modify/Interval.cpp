// Interval spans, the interval format of Result cells, marking and the Result heading.
#include "modify/Interval.h"

#include <algorithm>
#include <charconv>

namespace kestrix::modify {

LineSpan resolveInterval(Interval interval, std::int64_t lineCount) {
  if (interval.isNil()) return {1, 0};
  return {interval.from == 0 ? 1 : interval.from, interval.to == 0 ? lineCount : interval.to};
}

std::string intervalText(Interval interval) {
  if (interval.isNil()) return "Nil";
  if (interval.from == 0 && interval.to == 0) return "All file";
  std::string from = interval.from == 0 ? "Top" : std::to_string(interval.from);
  std::string to = interval.to == 0 ? "Bottom" : std::to_string(interval.to);
  return from + " - " + to;
}

std::string formatIntervalCell(std::string_view cell, Interval interval) {
  const std::string text = intervalText(interval);
  if (cell.starts_with(kFound)) return std::string(kFound) + "       " + text;
  // A failure keeps its word whatever the interval display: it never reads as found.
  for (std::string_view failed : {kFailedModification, kFailedUndo}) {
    if (cell.starts_with(failed)) return std::string(failed) + "   " + text;
  }
  if (cell.find(kModified) != std::string_view::npos) {
    return std::string(kModified) + "    \\" + text;
  }
  if (cell.find(kUndid) != std::string_view::npos) return std::string(kUndid) + "        \\" + text;
  return std::string(cell);
}

std::string stripIntervalCell(std::string_view cell) {
  if (cell.starts_with(kFound)) return kFound;
  for (std::string_view failed : {kFailedModification, kFailedUndo}) {
    if (cell.starts_with(failed)) return std::string(failed);
  }
  if (cell.find(kModified) != std::string_view::npos) return kModified;
  if (cell.find(kUndid) != std::string_view::npos) return kUndid;
  return std::string(cell);
}

bool cellIsNil(std::string_view cell) {
  return cell.find("Nil") != std::string_view::npos;
}

std::optional<std::int64_t> viewerLineNumber(std::string_view entry) {
  if (entry.size() <= 6) return std::nullopt;
  std::string_view rest = entry.substr(6);
  rest = rest.substr(0, rest.find_first_of(": "));
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
  if (ec != std::errc() || end != rest.data() + rest.size() || value < 1) return std::nullopt;
  return value;
}

bool viewerRowMarkable(std::size_t index, std::size_t rowCount) {
  return rowCount > 0 && index >= 1 && index < rowCount && index != 5001;
}

void markFrom(search::ResultItem& row, std::int64_t line) {
  if (row.intervalTo < 0 || (row.intervalTo != 0 && row.intervalTo < line)) row.intervalTo = 0;
  row.intervalFrom = line;
}

void markTo(search::ResultItem& row, std::int64_t line) {
  if (row.intervalFrom < 0 || (row.intervalFrom != 0 && row.intervalFrom > line)) {
    row.intervalFrom = 0;
  }
  row.intervalTo = line;
}

namespace {

void setBoth(std::vector<search::ResultItem>& rows, const std::vector<std::size_t>& indexes,
             std::int64_t value) {
  for (std::size_t i : indexes) {
    if (i >= rows.size()) continue;
    rows[i].intervalFrom = value;
    rows[i].intervalTo = value;
  }
}

// Intervals could apply to the search type once a type is chosen again: Phrase with its
// option, Multiline, or Reg Expr with both of its options.
bool intervalsCouldApply(const ModifyRequest& request) {
  switch (request.searchType) {
    case QueryType::Phrase:
      return request.useIntervalsPhrase;
    case QueryType::Multiline:
      return true;
    case QueryType::RegExpr:
      return request.searchEachLine && request.useIntervalsRegex;
    case QueryType::WordsOr:
    case QueryType::WordsAnd:
    case QueryType::SearchEngine:
      return false;
  }
  return false;
}

}  // namespace

void markAll(std::vector<search::ResultItem>& rows, const std::vector<std::size_t>& indexes) {
  setBoth(rows, indexes, 0);
}

void unmarkAll(std::vector<search::ResultItem>& rows, const std::vector<std::size_t>& indexes) {
  setBoth(rows, indexes, -1);
}

void applyHeading(std::vector<search::ResultItem>& rows, std::string_view heading) {
  const bool intervals = heading == kIntervalHeading;
  for (auto& row : rows) {
    row.result =
        intervals ? formatIntervalCell(row.result, intervalOf(row)) : stripIntervalCell(row.result);
  }
}

std::optional<std::string> refreshResultHeading(int mode, std::vector<search::ResultItem>& rows,
                                                const ModifyRequest& request,
                                                const ModifyCommandState& state) {
  std::string heading = kResultHeading;
  if (mode == 2) {
    const bool parkedValid = state.commandsParked() && !state.searchOutdated();
    if (intervalsInForce(request) && state.commandsUsable()) {
      heading = kIntervalHeading;
    } else if (parkedValid && intervalsCouldApply(request)) {
      return std::nullopt;
    }
  }
  applyHeading(rows, heading);
  return heading;
}

}  // namespace kestrix::modify
