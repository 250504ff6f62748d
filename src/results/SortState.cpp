// Header-click toggling: first click ascending, next descending; another column starts
// ascending because starting a sort clears every other flag.
#include "results/SortState.h"

namespace kestrix::results {

bool SortState::beginSort(int column) {
  if (column < 0 || column >= kColumns) return false;
  const bool wasDescending = descending_[column];
  descending_.fill(false);
  descending_[column] = wasDescending;
  column_ = column;
  return wasDescending;
}

void SortState::finishSort() {
  descending_[column_] = !descending_[column_];
}

bool SortState::descending(int column) const {
  return column >= 0 && column < kColumns && descending_[column];
}

}  // namespace kestrix::results
