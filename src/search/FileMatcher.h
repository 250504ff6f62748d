// Internal: the three matchers of a run (terms, blocks, expression) behind one call that
// tests one file and says whether it is listed and with which hits.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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

 private:
  std::optional<std::vector<std::int64_t>> matchTerms(std::string_view bytes);
  std::optional<std::vector<std::int64_t>> matchBlocks(std::string_view text);
  std::optional<std::vector<std::int64_t>> matchExpression(const std::string& fullName);
  // Hits of one term in `bytes` before its first NUL, or nothing when stopped.
  std::optional<std::int64_t> countTerm(std::string_view bytes, std::size_t term);

  const SearchRequest& request_;
  Poller& poller_;
  SearchObserver& observer_;
  bool nameOnly_ = false;
  bool testedAny_ = false;
  std::string buffer_;
  std::vector<LiteralFinder> finders_;
  std::vector<std::size_t> termOrder_;  // excluded terms first, then required, then others
  std::vector<std::string> blockLines_;
  std::optional<LiteralFinder> blockPrefilter_;
  std::unique_ptr<RegExpr> engine_;
  bool wholeText_ = false;
  // Lazily found end of the text (first NUL) of the file being matched.
  std::size_t nulScanned_ = 0;
  std::size_t textEnd_ = 0;
};

}  // namespace kestrix::search
