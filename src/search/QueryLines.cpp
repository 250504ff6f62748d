// Splits a multi-line query or replacement text into its lines.
#include "search/QueryLines.h"

namespace kestrix::search {

std::vector<std::string> splitQueryLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) lf = text.size();
    std::string_view line = text.substr(start, lf - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = lf + 1;
  }
  return lines;
}

}  // namespace kestrix::search
