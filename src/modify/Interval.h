// Modification intervals: the range of lines a row's file may be changed in, how it is
// shown in the Result cell, the marking commands and the Result column heading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "modify/ModifyCommandState.h"
#include "modify/ModifyRequest.h"
#include "search/ResultItem.h"

namespace kestrix::modify {

inline constexpr const char* kResultHeading = "Result";
inline constexpr const char* kIntervalHeading = "Result    |  Modification Interval";

// A row's interval: 1-based lines; 0 as From means Top, 0 as To means Bottom; -1 on both
// ends means no line ("Nil").
struct Interval {
  std::int64_t from = 0;
  std::int64_t to = 0;
  bool isNil() const { return from < 0 || to < 0; }
};

inline Interval intervalOf(const search::ResultItem& row) {
  return {row.intervalFrom, row.intervalTo};
}

// The 1-based lines [first, last] an interval covers in a file of `lineCount` lines (Top is
// line 1, Bottom is the last line). `last` may exceed lineCount when the interval reaches
// past the end; a Nil interval gives an empty span (first > last).
struct LineSpan {
  std::int64_t first = 1;
  std::int64_t last = 0;
};
LineSpan resolveInterval(Interval interval, std::int64_t lineCount);

// "All file", "Top - 7", "12 - Bottom", "12 - 30" or "Nil" (search::intervalText).
inline std::string intervalText(Interval interval) {
  return search::intervalText(interval.from, interval.to);
}

// The line number of a lines-viewer entry " line 12: text" or " line 12 - line 15": the
// text after the first six characters up to the first ":" or blank. Nothing when there is
// no number there.
std::optional<std::int64_t> viewerLineNumber(std::string_view entry);

// True when viewer row `index` (0 = heading row) can be marked: at least 1 and not the
// overflow row 5001, within a non-empty viewer of `rowCount` rows.
bool viewerRowMarkable(std::size_t index, std::size_t rowCount);

// Mark From / Mark To on the browsed row, compared with the row's own other end: a From
// past the To resets To to Bottom, a To before the From resets From to Top, and a Nil
// other end becomes Bottom or Top.
void markFrom(search::ResultItem& row, std::int64_t line);
void markTo(search::ResultItem& row, std::int64_t line);
// Mark All (0/0) and Unmark All (-1/-1) for the rows at `indexes`.
void markAll(std::vector<search::ResultItem>& rows, const std::vector<std::size_t>& indexes);
void unmarkAll(std::vector<search::ResultItem>& rows, const std::vector<std::size_t>& indexes);

// The Result column heading after a change of search type, search text or bulk marks (the
// cells follow it: the interval heading shows them in the interval format).
// Mode 1 (a search starts): "Result". Mode 2: the interval heading when intervals are in
// force and the commands are usable; nothing (the heading stays) while the commands are
// parked after a valid search and intervals could still apply; otherwise "Result".
std::optional<std::string> refreshResultHeading(int mode, const ModifyRequest& request,
                                                const ModifyCommandState& state);

}  // namespace kestrix::modify
