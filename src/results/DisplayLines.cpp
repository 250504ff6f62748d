// Decoding viewer entries and moving their hits to display columns.
#include "results/DisplayLines.h"

#include <algorithm>

#include "results/ViewerEntries.h"
#include "text/DisplayText.h"

namespace kestrix::results {
namespace {

// The hits of `hitLine` as columns of `decoded`; hits that end up empty are left out.
std::vector<ColumnHit> columnHits(const search::HitLine& hitLine,
                                  const text::DisplayText& decoded) {
  std::vector<ColumnHit> out;
  const int textLength = static_cast<int>(decoded.units.size());
  for (const search::Hit& hit : hitLine.hits) {
    const auto [column, length] = decoded.columnRange(hit.start, hit.length);
    const int clipped = std::min(length, textLength - column);
    if (clipped > 0) out.push_back(ColumnHit{column, clipped});
  }
  return out;
}

}  // namespace

std::vector<DisplayLine> displayLines(const search::FoundLines& lines) {
  std::vector<DisplayLine> out;
  out.reserve(lines.entries.size());
  for (std::size_t i = 0; i < lines.entries.size(); ++i) {
    text::DisplayText decoded = text::decodeForDisplay(lines.entries[i]);
    DisplayLine line;
    const int map = i < lines.viewerMap.size() ? lines.viewerMap[i] : -1;
    if (i > 0 && map >= 0 && static_cast<std::size_t>(map) < lines.hitLines.size()) {
      line.hits = columnHits(lines.hitLines[static_cast<std::size_t>(map)], decoded);
    }
    line.text = std::move(decoded.units);
    line.lineNumber = entryLines(lines, i).first;
    out.push_back(std::move(line));
  }
  return out;
}

}  // namespace kestrix::results
