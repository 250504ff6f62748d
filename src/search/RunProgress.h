// What a window shows of a running search, handed over in batches so that it is not
// redrawn for every file: the rows listed since the last hand-over, and the counter text
// and the folder being searched when they changed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "search/ResultItem.h"
#include "search/SearchRequest.h"

namespace kestrix::search {

class RunProgress {
 public:
  // `origin` chooses the counter's words (foundStatusText).
  explicit RunProgress(Origin origin) : origin_(origin) {}

  // The folder being searched is now `path`.
  void folderEntered(std::string path) { folder_ = std::move(path); }
  // Keeps a copy of `item` for the next hand-over. Returns true for the run's first row,
  // which the window shows at once.
  bool add(const ResultItem& item);

  struct Update {
    std::vector<ResultItem> rows;        // listed since the last hand-over, in order
    std::optional<std::string> counter;  // the counter text, when the count changed
    std::optional<std::string> folder;   // the folder being searched, when it changed
  };
  // What changed since the last call; the rows are handed over only once.
  Update take();

 private:
  Origin origin_;
  std::string folder_, shownFolder_;
  std::vector<ResultItem> pending_;
  std::size_t found_ = 0;
  std::size_t shownCount_ = 0;
};

}  // namespace kestrix::search
