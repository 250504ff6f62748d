// Internal: the lines of one big file split into ranges that every worker of a run may
// take, each counting its lines' matches with its own engine; the counts add up in file
// order to exactly those of one pass from start to end.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/SplitJob.h"
#include "search/TermScan.h"

namespace kestrix::search {

class LineSplit : public SplitJob {
 public:
  // Adds the matches of the whole lines `lines` to `count`; false when the run stopped.
  using CountLines = std::function<bool(std::string_view lines, std::int64_t& count)>;

  // Splits a file of `size` bytes (as opened; the last range runs to the actual end) into
  // ranges of `rangeBytes`: a range holds the lines that start in it. The reader behind
  // `read` must outlive every range run, which the caller ensures by waiting (wait()).
  LineSplit(ReadAt read, std::uint64_t size, std::uint64_t rangeBytes);

  void helpWith(FileMatcher& matcher) override;
  // Counts the lines of the next range nobody took yet with the caller's buffer and
  // counter; false when every range is taken. Never waits for other threads.
  bool runOne(std::string& buffer, const CountLines& countLines);
  // The matches of every line of the text, which ends at its first NUL (call after
  // wait()); nothing when a range stopped. Rethrows the first failure of any range.
  std::optional<std::int64_t> combine();

 private:
  struct Range {
    std::uint64_t begin = 0, end = 0;
    std::int64_t count = 0;
    bool textEnds = false;  // the text (the file, or a NUL) ends in this range
    bool stopped = false;
  };
  std::optional<std::uint64_t> firstLineStart(const Range& range, std::string& buffer) const;
  void run(Range& range, std::string& buffer, const CountLines& countLines) const;

  ReadAt read_;
  std::uint64_t size_ = 0;
  std::vector<Range> ranges_;
};

}  // namespace kestrix::search
