// Test helper: a reader by offset over a text in memory, as files are read.
#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>

#include "search/TermScan.h"

namespace kestrix::testing {

// Reads `text`, which must outlive the reader.
inline search::ReadAt memoryReader(std::string_view text) {
  return [text](std::uint64_t offset, char* out, std::size_t size) -> std::size_t {
    if (offset >= text.size()) return 0;
    const std::size_t n = std::min<std::size_t>(size, text.size() - offset);
    std::memcpy(out, text.data() + offset, n);
    return n;
  };
}

}  // namespace kestrix::testing
