// The lines viewer's entries as a text widget shows them: each entry decoded into UTF-16
// code units, its hits moved from byte offsets to display columns, and the file line it
// names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "search/FoundLines.h"

namespace kestrix::results {

// One hit of a viewer entry in display columns (positions in DisplayLine::text).
struct ColumnHit {
  int column = 0;
  int length = 0;
  friend bool operator==(const ColumnHit&, const ColumnHit&) = default;
};

struct DisplayLine {
  // The entry decoded (UTF-8 when valid, else Windows-1252), controls shown as spaces.
  std::u16string text;
  // The hits of a line entry, within the text, in the order found.
  std::vector<ColumnHit> hits;
  // The first file line (1-based) the entry shows; 0 for the header and the Etc entry.
  std::int64_t lineNumber = 0;
};

// The entries of `lines` for display, one per entry in order.
std::vector<DisplayLine> displayLines(const search::FoundLines& lines);

}  // namespace kestrix::results
