// Internal: the term scan of one file, or of one range of a file, in a single pass. Every
// term's occurrences, the whole-word test and the file's first NUL byte are found by one
// vector loop over a window that stays in the cache; the scan keeps nothing but the window.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "search/Matchers.h"
#include "search/SearchRequest.h"

namespace kestrix::search {

// Reads up to `size` bytes at `offset` into `out`; returns how many (0 at the end).
using ReadAt = std::function<std::size_t(std::uint64_t offset, char* out, std::size_t size)>;

// What scanning a range of starts gave.
struct RangeScan {
  std::vector<std::int64_t> hits;           // qualifying occurrences per term, in table order
  std::vector<std::uint64_t> next;          // per term: where its next occurrence may start
  std::optional<std::uint64_t> nul;         // the first NUL byte seen (the text ends there)
  std::optional<std::uint64_t> rejectedAt;  // an excluded term's occurrence (ends the file)
  bool abandoned = false;                   // stopped before the end of the range
};

class TermScan {
 public:
  static constexpr std::uint64_t kToEnd = std::numeric_limits<std::uint64_t>::max();

  static constexpr std::size_t kDefaultWindow = std::size_t{128} << 10;

  // `request` carries the term table; it must outlive the scan. Immutable afterwards, so
  // one scan serves every thread of a run. `windowBytes`: the bytes read at a time (at
  // least four times the longest term).
  explicit TermScan(const SearchRequest& request, std::size_t windowBytes = kDefaultWindow);

  std::size_t termCount() const { return finders_.size(); }

  // Counts the occurrences that start in [begin, end) (end kToEnd: to the end of the file),
  // each term's chain of non-overlapping occurrences resuming at from[i] (at least begin).
  // Reads the bytes [begin - 4, end + longest term + 4) through `read` and `buffer` (the
  // character on either side is only looked at by the whole-word test). Stops at the first NUL
  // byte, at an excluded term's occurrence, or when `abandon` says so (polled once per window).
  RangeScan scan(const ReadAt& read, std::uint64_t begin, std::uint64_t end,
                 const std::vector<std::uint64_t>& from, std::string& buffer,
                 const std::function<bool()>& abandon) const;

  // Hits per term and whether the file is listed with them (signs, "all negative").
  std::optional<std::vector<std::int64_t>> evaluate(const RangeScan& scan) const;

 private:
  struct Window;
  void scanWindow(Window& w, RangeScan& out) const;
  void scanTail(Window& w, std::size_t term, RangeScan& out) const;

  const SearchRequest& request_;
  std::vector<LiteralFinder> finders_;
  std::vector<bool> excluded_;                    // sign "-"
  std::vector<bool> scanned_;                     // can occur at all (no break, no NUL)
  std::vector<std::vector<std::size_t>> groups_;  // terms scanned together by the vector loop
  std::vector<std::size_t> scalar_;               // terms found one by one (no vector anchors)
  std::size_t maxTermLength_ = 0;
  std::size_t window_ = 0;
  bool vector_ = false;
};

}  // namespace kestrix::search
