// Internal: a file's text read in windows made of whole lines, so that line-by-line
// matchers keep only a window of a big file in memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "search/TermScan.h"

namespace kestrix::search {

// The bytes read at a time; a window grows past this only for a line that is longer.
inline constexpr std::size_t kLineWindowBytes = std::size_t{256} << 10;

// Where a window of `size` bytes of a file that goes on after them may be cut: just after
// its last line break, never between the CR and LF of a pair. 0 when it holds no break that
// is known to end a line.
std::size_t lineWindowCut(const char* data, std::size_t size);

// Reads the file through `read` into `buffer` and calls `each` for consecutive pieces of
// its text (the bytes before its first NUL), in order: every piece but the last ends just
// after a line break, so each holds whole lines and breaks exactly as the whole text does.
// Returns false as soon as `each` does. Throws what `read` throws. With `size`, the size of
// the file as opened, reading stops there without the extra read that finds the end
// (kToEnd: read until `read` gives nothing).
bool forEachLineWindow(const ReadAt& read, std::string& buffer, std::size_t windowBytes,
                       const std::function<bool(std::string_view)>& each,
                       std::uint64_t size = TermScan::kToEnd);

}  // namespace kestrix::search
