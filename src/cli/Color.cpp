// Colouring of the found lines with ANSI escape sequences.
#include "cli/Color.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cli/FindOptions.h"

namespace kestrix::cli {
namespace {

std::string wrapped(std::string_view text, const char* color) {
  return color + std::string(text) + kReset;
}

// The hit spans of an entry, clipped to it, sorted and with overlaps merged.
std::vector<std::pair<std::size_t, std::size_t>> spansOf(const std::vector<search::Hit>& hits,
                                                         std::size_t size) {
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  for (const search::Hit& hit : hits) {
    const std::size_t end = std::min(size, hit.start + hit.length);
    if (hit.start < end) spans.emplace_back(hit.start, end);
  }
  std::sort(spans.begin(), spans.end());
  std::vector<std::pair<std::size_t, std::size_t>> merged;
  for (const auto& span : spans) {
    if (!merged.empty() && span.first <= merged.back().second) {
      merged.back().second = std::max(merged.back().second, span.second);
    } else {
      merged.push_back(span);
    }
  }
  return merged;
}

// " line N: text": the "line N" part in the line-number colour, the hits in the hit colour.
std::string coloredLine(const std::string& entry, const std::vector<search::Hit>& hits) {
  std::string out;
  std::size_t done = 0;
  const std::size_t colon = entry.find(':');
  if (colon != std::string::npos && colon > 1) {
    out = " " + wrapped(std::string_view(entry).substr(1, colon - 1), kLineNumber);
    done = colon;
  }
  for (const auto& [start, end] : spansOf(hits, entry.size())) {
    if (start < done) continue;
    out.append(entry, done, start - done);
    out += wrapped(std::string_view(entry).substr(start, end - start), kHit);
    done = end;
  }
  out.append(entry, done);
  return out;
}

}  // namespace

ColorMode parseColorMode(const std::string& value) {
  if (value == "auto" || value == "tty" || value == "if-tty") return ColorMode::Auto;
  if (value == "always" || value == "yes" || value == "force") return ColorMode::Always;
  if (value == "never" || value == "no" || value == "none") return ColorMode::Never;
  throw UsageError("bad colour mode \"" + value + "\" (auto, always, never)");
}

bool colorWanted(ColorMode mode, std::FILE* out) {
  if (mode != ColorMode::Auto) return mode == ColorMode::Always;
  const char* term = std::getenv("TERM");
  const char* noColor = std::getenv("NO_COLOR");
  return ::isatty(::fileno(out)) == 1 && term != nullptr && std::strcmp(term, "dumb") != 0 &&
         (noColor == nullptr || *noColor == '\0');
}

std::string coloredEntry(const search::FoundLines& lines, std::size_t index) {
  const std::string& entry = lines.entries[index];
  if (index == 0) return wrapped(entry, kHeader);
  const int hitLine = index < lines.viewerMap.size() ? lines.viewerMap[index] : -1;
  if (hitLine < 0 || static_cast<std::size_t>(hitLine) >= lines.hitLines.size()) {
    return entry.rfind(" line ", 0) == 0 ? coloredLine(entry, {}) : entry;
  }
  return coloredLine(entry, lines.hitLines[static_cast<std::size_t>(hitLine)].hits);
}

}  // namespace kestrix::cli
