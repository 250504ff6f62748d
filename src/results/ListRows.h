// Row arithmetic of the results list: runs of consecutive rows (for removal and
// selection), the rows a mask picks, the row selected after Delete Items, and the status
// text of the rows left.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/ResultItem.h"

namespace kestrix::results {

// Rows first..last, both included.
struct RowRun {
  int first = 0;
  int last = 0;
  bool operator==(const RowRun&) const = default;
};

// `rows` sorted, without duplicates and without rows outside 0..rowCount-1.
std::vector<int> validRows(std::vector<int> rows, int rowCount);

// The runs of consecutive rows in `rows` (sorted, without duplicates), in ascending order.
std::vector<RowRun> rowRuns(const std::vector<int>& rows);

// The runs of rows whose names match the typed mask (see search::makeMask: "." appended
// when missing, a trailing "?" takes one character; each name compared in its candidate
// form). Nothing when the mask cannot be parsed (the window says "Invalid mask").
std::optional<std::vector<RowRun>> rowsMatchingMask(const std::vector<search::ResultItem>& items,
                                                    std::string_view typed);

// The row selected after Delete Items removed `removed` rows (sorted), leaving `remaining`
// rows: the row that followed the last removed one, else the last row; -1 when none is left.
int rowAfterRemoval(const std::vector<int>& removed, int remaining);

// Status panel 0 for the rows left in the list: "File in List:   1" / "Files in List:   N".
std::string filesInListText(int count);

}  // namespace kestrix::results
