// Internal: the three matchers of a run (terms, blocks, expression) behind one call that
// tests one file and says whether it is listed and with which hits.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ReadOnlyFile.h"
#include "regex/RegExpr.h"
#include "search/Matchers.h"
#include "search/Poller.h"
#include "search/SearchRequest.h"

namespace kestrix::search {

// One matcher per thread: it keeps its buffers and its expression engine between files.
class FileMatcher {
 public:
  // `request` carries its term table; request and poller must outlive the matcher. The
  // matcher calls nothing but `poller`, so it may run on a worker thread.
  FileMatcher(const SearchRequest& request, Poller& poller);
  ~FileMatcher();

  // Tests the opened file `file` (named `fullName` in messages): the hits when it is
  // listed, nothing when it is not or when the run was stopped. Not called for runs without
  // a content test (nameOnly). Throws SearchError for failures that end the run (query
  // limits, expression errors) and platform::PlatformError when the file cannot be read
  // (the caller skips it).
  std::optional<std::vector<std::int64_t>> match(platform::ReadOnlyFile& file,
                                                 const std::string& fullName);

  // True when the run lists files without a content test (empty query).
  bool nameOnly() const { return nameOnly_; }
  // The warning of the last file matched ("Search Error: File ... is too large ...": the
  // file did not fit in memory), taken out of the matcher; nothing when there was none.
  std::optional<SearchError> takeWarning() { return std::exchange(warning_, std::nullopt); }

 private:
  std::optional<std::vector<std::int64_t>> matchTerms(platform::ReadOnlyFile& file);
  bool scanWindow(std::size_t term, std::size_t viewEnd, std::size_t size, std::int64_t& hits);
  std::size_t compactWindow(std::size_t size);
  std::optional<std::vector<std::int64_t>> evaluateTerms(std::vector<std::int64_t> hits) const;
  std::optional<std::vector<std::int64_t>> matchBlocks(std::string_view text);
  std::optional<std::vector<std::int64_t>> matchExpression(platform::ReadOnlyFile& file,
                                                           const std::string& fullName);
  bool countLines(std::string_view text, std::int64_t& count);
  void warnTooLarge(const char* caption, const std::string& fullName);
  const SearchRequest& request_;
  Poller& poller_;
  bool nameOnly_ = false;
  bool checked_ = false;  // the query limits were checked (at the first file)
  std::optional<SearchError> warning_;
  std::string buffer_;
  std::vector<LiteralFinder> finders_;
  std::vector<std::size_t> termOrder_;  // excluded terms first, then required, then others
  std::vector<std::string> blockLines_;
  std::optional<LiteralFinder> blockPrefilter_;
  std::unique_ptr<RegExpr> engine_;
  bool wholeText_ = false;
  bool linePrefilter_ = false;  // a whole-text search may reject a file first
  // The window of the term scan: buffer_[0] is byte base_ of the file; from_[i] is where
  // term i's next occurrence may start.
  std::size_t base_ = 0;
  std::vector<std::size_t> from_;
  std::size_t maxTermLength_ = 0;
  std::size_t chunk_ = 0;
};

}  // namespace kestrix::search
