// Internal: the three matchers of a run (terms, blocks, expression) behind one call that
// tests one file and says whether it is listed and with which hits.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "regex/RegExpr.h"
#include "search/Matchers.h"
#include "search/Poller.h"
#include "search/SearchObserver.h"
#include "search/SearchRequest.h"

namespace kestrix::search {

class FileMatcher {
 public:
  // `request` carries its term table; request, poller and observer must outlive the matcher.
  FileMatcher(const SearchRequest& request, Poller& poller, SearchObserver& observer);
  ~FileMatcher();

  // Tests the file `fullName`: the hits when it is listed (empty for a run without a
  // content test), nothing when it is not or when the run was stopped.
  // Throws SearchError for failures that end the run (query limits, expression errors) and
  // platform::PlatformError when the file cannot be read (the caller skips it).
  std::optional<std::vector<std::int64_t>> match(const std::string& fullName);

  // True when the run lists files without a content test (empty query).
  bool nameOnly() const { return nameOnly_; }
  // True once a file reached the matcher.
  bool testedAny() const { return testedAny_; }
  // The facts of the last file matched when the matcher took them while reading it.
  const std::optional<platform::FileInfo>& lastInfo() const { return lastInfo_; }

 private:
  std::optional<std::vector<std::int64_t>> matchTerms(const std::string& fullName);
  bool scanWindow(std::size_t term, std::size_t viewEnd, std::size_t size, std::int64_t& hits);
  std::size_t compactWindow(std::size_t size);
  std::optional<std::vector<std::int64_t>> evaluateTerms(std::vector<std::int64_t> hits) const;
  std::optional<std::vector<std::int64_t>> matchBlocks(std::string_view text);
  std::optional<std::vector<std::int64_t>> matchExpression(const std::string& fullName);
  bool countLines(std::string_view text, std::int64_t& count);
  const SearchRequest& request_;
  Poller& poller_;
  SearchObserver& observer_;
  bool nameOnly_ = false;
  bool testedAny_ = false;
  std::optional<platform::FileInfo> lastInfo_;
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
