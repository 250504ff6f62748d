// Ranges of whole lines: a range begins at the first line that starts at or after its
// first byte (never between the CR and LF of a pair) and takes every line that starts
// before its end, reading past the end for the last one.
#include "search/LineSplit.h"

#include <algorithm>

#include "search/FileMatcher.h"
#include "search/LineWindows.h"

namespace kestrix::search {
namespace {

// The first line start at or after `from` (1 <= from <= lines.size()) in `lines`, a piece
// of whole lines: just after a LF, or after a CR that no LF follows.
std::size_t lineStartFrom(std::string_view lines, std::size_t from) {
  for (std::size_t p = from; p < lines.size(); ++p) {
    const char before = lines[p - 1];
    if (before == '\n' || (before == '\r' && lines[p] != '\n')) return p;
  }
  return lines.size();
}

}  // namespace

LineSplit::LineSplit(ReadAt read, std::uint64_t size, std::uint64_t rangeBytes)
    : SplitJob(size / std::max<std::uint64_t>(rangeBytes, 1) + 1),
      read_(std::move(read)),
      size_(size) {
  rangeBytes = std::max<std::uint64_t>(rangeBytes, 1);
  ranges_.resize(rangeCount());
  for (std::size_t i = 0; i < ranges_.size(); ++i) {
    ranges_[i].begin = i * rangeBytes;
    ranges_[i].end = i + 1 < ranges_.size() ? (i + 1) * rangeBytes : TermScan::kToEnd;
  }
}

void LineSplit::helpWith(FileMatcher& matcher) {
  matcher.help(*this);
}

// Where the range's first line starts (its end when no line starts in it); nothing when
// the text ends before.
std::optional<std::uint64_t> LineSplit::firstLineStart(const Range& range,
                                                       std::string& buffer) const {
  constexpr std::size_t kPiece = std::size_t{64} << 10;
  if (buffer.size() < kPiece) buffer.resize(kPiece);
  bool afterCr = false;
  for (std::uint64_t at = range.begin - 1; at < range.end;) {
    const std::size_t got = read_(at, buffer.data(), kPiece);
    if (got == 0) return std::nullopt;
    for (std::size_t i = 0; i < got; ++i) {
      const char c = buffer[i];
      if (c == '\0') return std::nullopt;
      if (afterCr || c == '\n') return at + i + (c == '\n' ? 1 : 0);
      afterCr = c == '\r';
    }
    at += got;
  }
  return range.end;
}

void LineSplit::run(Range& range, std::string& buffer, const CountLines& countLines) const {
  std::uint64_t start = 0;
  if (range.begin > 0) {
    const std::optional<std::uint64_t> first = firstLineStart(range, buffer);
    if (!first) {
      range.textEnds = true;
      return;
    }
    if (*first >= range.end) return;
    start = *first;
  }
  const ReadAt fromStart = [this, start](std::uint64_t offset, char* out, std::size_t size) {
    return read_(start + offset, out, size);
  };
  // Offsets from `start`: of the next piece, and of the range's end.
  std::uint64_t done = 0;
  const std::uint64_t limit = range.end == TermScan::kToEnd ? TermScan::kToEnd : range.end - start;
  bool pastEnd = false;
  range.textEnds = forEachLineWindow(
      fromStart, buffer, kLineWindowBytes,
      [&](std::string_view lines) {
        if (done + lines.size() >= limit) {
          lines = lines.substr(0, lineStartFrom(lines, limit - done));
          pastEnd = true;
        }
        done += lines.size();
        if (!countLines(lines, range.count)) {
          range.stopped = true;
          return false;
        }
        return !pastEnd;
      },
      size_ > start ? size_ - start : TermScan::kToEnd);
}

bool LineSplit::runOne(std::string& buffer, const CountLines& countLines) {
  const std::optional<std::size_t> index = take();
  if (!index) return false;
  Range& range = ranges_[*index];
  std::exception_ptr error;
  if (range.begin <= cutoff()) {
    try {
      run(range, buffer, countLines);
      if (range.textEnds) lowerCutoff(range.begin);
    } catch (...) {
      error = std::current_exception();
    }
  }
  finish(error);
  return true;
}

std::optional<std::int64_t> LineSplit::combine() {
  rethrowFailure();
  std::int64_t total = 0;
  for (const Range& range : ranges_) {
    if (range.stopped) return std::nullopt;
    total += range.count;
    if (range.textEnds) break;
  }
  return total;
}

}  // namespace kestrix::search
