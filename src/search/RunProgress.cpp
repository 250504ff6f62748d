// Batching a run's rows and noticing the status texts that changed.
#include "search/RunProgress.h"

#include <utility>

#include "search/Cells.h"

namespace kestrix::search {

bool RunProgress::add(const ResultItem& item) {
  pending_.push_back(item);
  return ++found_ == 1;
}

RunProgress::Update RunProgress::take() {
  Update update;
  update.rows = std::exchange(pending_, {});
  if (folder_ != shownFolder_) update.folder = shownFolder_ = folder_;
  if (found_ != shownCount_) {
    shownCount_ = found_;
    update.counter = foundStatusText(origin_, found_);
  }
  return update;
}

}  // namespace kestrix::search
