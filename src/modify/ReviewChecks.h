// Which changes of a review are to be written: a check per change, counted per file and in
// all, so that a file's state and the totals are known without walking its changes.
#pragma once

#include <cstddef>
#include <vector>

#include "modify/ChangeSet.h"
#include "modify/Review.h"

namespace kestrix::modify {

// A file's check as a whole: none, some or all of its changes checked.
enum class FileCheck { None, Some, All };

class ReviewChecks {
 public:
  // Every change of `review` checked.
  void reset(const Review& review);
  void setAll(bool checked);
  void setFile(std::size_t file, bool checked);
  // False when the change already was so.
  bool setChange(std::size_t file, std::size_t change, bool checked);

  // One list per file of the review.
  const std::vector<Accepted>& accepted() const { return accepted_; }
  bool isChecked(std::size_t file, std::size_t change) const { return accepted_[file][change]; }
  std::size_t checkedIn(std::size_t file) const { return checked_[file]; }
  FileCheck fileCheck(std::size_t file) const;
  std::size_t checkedChanges() const { return checkedTotal_; }
  std::size_t totalChanges() const { return total_; }
  // The files with at least one checked change.
  std::size_t checkedFiles() const;

 private:
  std::vector<Accepted> accepted_;
  std::vector<std::size_t> checked_;  // per file
  std::size_t checkedTotal_ = 0;
  std::size_t total_ = 0;
};

}  // namespace kestrix::modify
