// Internal: the block count of Multiline queries over a file streamed through a window;
// only the lines a block comparison still needs are kept, so memory does not grow with the
// file (a single line longer than the window is kept whole).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "search/Matchers.h"
#include "search/TermScan.h"

namespace kestrix::search {

// Counts the blocks of the `prepared` query lines (folded and trimmed, see
// prepareBlockLine) among the lines of the text read through `read` (which ends at its first
// NUL byte): at each line s the query lines are compared with the lines s, s+1, ...; a block
// counts one and continues after its last line, a mismatch continues at s + 1. Nothing when
// `abandon` says so (polled once per window). `windowBytes`: the bytes read at a time.
std::optional<std::int64_t> countBlocks(const ReadAt& read,
                                        const std::vector<std::string>& prepared,
                                        const BlockOptions& options, std::string& buffer,
                                        const std::function<bool()>& abandon,
                                        std::size_t windowBytes = TermScan::kDefaultWindow);

}  // namespace kestrix::search
