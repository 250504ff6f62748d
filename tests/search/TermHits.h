// Counts a term's hits in a text the way the found lines step through them, for the tests of
// the literal finder and the whole-word rule.
#pragma once

#include <algorithm>
#include <string_view>

#include "search/Matchers.h"

namespace kestrix::testing {

// The hits of the finder's term in `text`: nextTermHit repeatedly, resuming after each hit.
inline std::size_t countTermHits(std::string_view text, const search::LiteralFinder& finder,
                                 bool wholeWords,
                                 const text::CodePage& codePage = text::activeCodePage()) {
  std::size_t count = 0;
  for (std::size_t from = 0;;) {
    std::size_t len = 0;
    const std::size_t pos = search::nextTermHit(text, finder, from, wholeWords, len, codePage);
    if (pos == std::string_view::npos || pos >= text.size()) return count;
    ++count;
    from = pos + std::max<std::size_t>(len, 1);
  }
}

}  // namespace kestrix::testing
