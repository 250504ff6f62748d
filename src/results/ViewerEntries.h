// The entries of the lines viewer as the pages see them: which kind each is, the file
// lines it stands for, and a hit line's text with its hits marked in blue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "search/FoundLines.h"

namespace kestrix::results {

enum class EntryKind {
  Header,  // "     File:  name      Path:  folder"
  Etc,     // the marker after the entry limit
  Line,    // " line n: text", with or without hit records
  Block,   // a Multiline entry " line a - line b" (or " line a ")
};

EntryKind entryKind(const search::FoundLines& lines, std::size_t index);

// The first and last file line (1-based) an entry shows; 0/0 for the header and marker.
struct LineRange {
  std::int64_t first = 0;
  std::int64_t last = 0;
};
LineRange entryLines(const search::FoundLines& lines, std::size_t index);

// The entry escaped, each of its hits wrapped in the blue tag and "</font>". A hit that
// starts at or past the end of the (1024-character) entry is not marked; one that runs
// past it is closed at its end; a hit overlapping the previous one is left out.
std::string markedEntry(const search::FoundLines& lines, std::size_t index);

// File lines written beside the entries are cut to this many characters, as entries are.
inline constexpr std::size_t kMaxLineLength = search::FoundLines::kMaxEntryLength;

}  // namespace kestrix::results
