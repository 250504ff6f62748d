// Runs of rows, mask selection and the re-selection rule of Delete Items.
#include "results/ListRows.h"

#include <algorithm>

#include "search/Masks.h"

namespace kestrix::results {

std::vector<int> validRows(std::vector<int> rows, int rowCount) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::erase_if(rows, [rowCount](int r) { return r < 0 || r >= rowCount; });
  return rows;
}

std::vector<RowRun> rowRuns(const std::vector<int>& rows) {
  std::vector<RowRun> runs;
  for (int r : rows) {
    if (!runs.empty() && runs.back().last + 1 == r) {
      runs.back().last = r;
    } else {
      runs.push_back({r, r});
    }
  }
  return runs;
}

std::optional<std::vector<RowRun>> rowsMatchingMask(const std::vector<search::ResultItem>& items,
                                                    std::string_view typed) {
  const search::Mask mask = search::makeMask(typed);
  if (!search::maskIsParsable(mask.pattern)) return std::nullopt;
  std::vector<int> rows;
  for (std::size_t r = 0; r < items.size(); ++r)
    if (search::wildcardMatch(mask.pattern, search::candidateName(items[r].name)))
      rows.push_back(static_cast<int>(r));
  return rowRuns(rows);
}

int rowAfterRemoval(const std::vector<int>& removed, int remaining) {
  if (remaining <= 0) return -1;
  if (removed.empty()) return 0;
  const int lastRemoved = removed.back();
  const int count = static_cast<int>(removed.size());
  return remaining > lastRemoved ? lastRemoved - count + 1 : remaining - 1;
}

std::string filesInListText(int count) {
  return (count == 1 ? "File in List:   " : "Files in List:   ") + std::to_string(count);
}

}  // namespace kestrix::results
