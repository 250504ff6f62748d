// The sort state of the results list: the sort column and one descending flag per column
// position, with the toggling rule of header clicks.
#pragma once

#include <array>

namespace kestrix::results {

class SortState {
 public:
  static constexpr int kColumns = 8;

  // Starts a sort by `column` (0..7): clears every other flag and returns whether this
  // sort is descending. Call finishSort() afterwards. Out-of-range columns give false.
  bool beginSort(int column);
  // Toggles the flag of the column just sorted, so its next click sorts the other way.
  void finishSort();
  // Clears the eight flags (a search starts).
  void clearFlags() { descending_.fill(false); }

  int column() const { return column_; }
  bool descending(int column) const;

 private:
  int column_ = 0;
  std::array<bool, kColumns> descending_{};
};

}  // namespace kestrix::results
