// Makes the interval text of the status bar and picks the rows of the marking commands.
#include "modify/IntervalStatus.h"

#include <numeric>

namespace kestrix::modify {

std::string intervalStatusText(std::int64_t from, std::int64_t to) {
  const std::string prefix = kIntervalStatusPrefix;
  if (from == -1 && to == -1) return prefix + "The marked lines are absent";
  if (from == 0 && to == 0) return prefix + "All lines are marked";
  const std::string a = from == 0 ? std::string("top") : "line " + std::to_string(from);
  const std::string b = to == 0 ? std::string("bottom") : "line " + std::to_string(to);
  return prefix + "From " + a + " to " + b;
}

std::vector<std::size_t> rowsInScope(MarkScope scope, int browsed,
                                     const std::vector<std::size_t>& selected,
                                     std::size_t rowCount) {
  switch (scope) {
    case MarkScope::Browsed:
      if (browsed < 0) return {};
      return {static_cast<std::size_t>(browsed)};
    case MarkScope::Selected:
      return selected;
    case MarkScope::Listed:
      break;
  }
  std::vector<std::size_t> rows(rowCount);
  std::iota(rows.begin(), rows.end(), std::size_t{0});
  return rows;
}

}  // namespace kestrix::modify
