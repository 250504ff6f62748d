// What a listed file's row says about it: found by the search, modified, failed, undone.
// Rows keep the outcome as a value; its Result and Found texts are made only where a cell
// is shown or a list, report or console line is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrix::search {

struct ResultItem;

enum class RowResult {
  None,                // listed without a Result column: the cell stays empty
  Found,               // listed by the search (or left as it was by a modification)
  NotFound,            // the file was gone when its row was browsed
  Modified,            // the last run changed the file
  FailedModification,  // the last run could not change it
  Undid,               // an undo restored it
  FailedUndo,          // an undo could not restore it
};

struct RowOutcome {
  RowResult result = RowResult::None;
  std::string reason;  // why the file failed; empty otherwise
  bool operator==(const RowOutcome&) const = default;
};

// The result word: "", "Found", "Not Found", "Modified", "Failed Modification", "Undid",
// "Failed Undo".
std::string_view resultWord(RowResult result);

// "All file" (0/0), "Top - 7", "12 - Bottom", "12 - 30", or "Nil" when either end is
// negative: the text of a row's modification interval (1-based lines).
std::string intervalText(std::int64_t from, std::int64_t to);

// True when the outcome is shown with the row's interval in the interval format of the
// Result column (every outcome but None and NotFound).
bool takesInterval(RowResult result);

// The Result cell of `row`. Plain: the result word. In the interval format: "Found" + 7
// blanks + interval; a failure + 3 blanks + interval (a failure never reads as found);
// "Modified" + 4 blanks + "\" + interval; "Undid" + 8 blanks + "\" + interval; None and
// NotFound as plain.
std::string resultCellText(const ResultItem& row, bool intervalFormat);

// True when the row's cell reads "Nil" in the interval format: the file lies outside every
// interval and a run passes it by.
bool excludedByInterval(const ResultItem& row, bool intervalFormat);

// The Found cell of `row`: its hits joined by ", "; with `cut`, cut after 240 characters
// with ",..." (see foundText).
std::string foundCellText(const ResultItem& row, bool cut = true);

}  // namespace kestrix::search
