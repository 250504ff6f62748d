// Interval spans, marking and the Result heading.
#include "modify/Interval.h"

#include <algorithm>
#include <charconv>

namespace kestrix::modify {

LineSpan resolveInterval(Interval interval, std::int64_t lineCount) {
  if (interval.isNil()) return {1, 0};
  return {interval.from == 0 ? 1 : interval.from, interval.to == 0 ? lineCount : interval.to};
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

std::optional<std::string> refreshResultHeading(int mode, const ModifyRequest& request,
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
  return heading;
}

}  // namespace kestrix::modify
