// Keeps the checks of a review's changes and their counts.
#include "modify/ReviewChecks.h"

#include <algorithm>

namespace kestrix::modify {

void ReviewChecks::reset(const Review& review) {
  accepted_.clear();
  checked_.clear();
  total_ = 0;
  for (const FileChanges& file : review.files) {
    accepted_.emplace_back(file.changes.size(), true);
    checked_.push_back(file.changes.size());
    total_ += file.changes.size();
  }
  checkedTotal_ = total_;
}

void ReviewChecks::setAll(bool checked) {
  for (std::size_t file = 0; file < accepted_.size(); ++file) setFile(file, checked);
}

void ReviewChecks::setFile(std::size_t file, bool checked) {
  Accepted& flags = accepted_[file];
  checkedTotal_ = checkedTotal_ - checked_[file] + (checked ? flags.size() : 0);
  std::fill(flags.begin(), flags.end(), checked);
  checked_[file] = checked ? flags.size() : 0;
}

bool ReviewChecks::setChange(std::size_t file, std::size_t change, bool checked) {
  if (accepted_[file][change] == checked) return false;
  accepted_[file][change] = checked;
  if (checked) {
    ++checked_[file];
    ++checkedTotal_;
  } else {
    --checked_[file];
    --checkedTotal_;
  }
  return true;
}

FileCheck ReviewChecks::fileCheck(std::size_t file) const {
  if (checked_[file] == 0) return FileCheck::None;
  return checked_[file] == accepted_[file].size() ? FileCheck::All : FileCheck::Some;
}

std::size_t ReviewChecks::checkedFiles() const {
  return static_cast<std::size_t>(
      std::count_if(checked_.begin(), checked_.end(), [](std::size_t n) { return n > 0; }));
}

}  // namespace kestrix::modify
