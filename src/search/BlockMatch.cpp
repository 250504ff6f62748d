// Line comparison of Multiline queries: folding and the trims of characters 0..32.
#include "search/Matchers.h"
#include "text/CaseFold.h"

namespace kestrix::search {

BlockOptions blockOptionsOf(const SearchRequest& request) {
  return {request.caseSensitive, request.ignoreLeadingSpaces, request.ignoreTrailingSpaces};
}

std::string_view trimBlockLine(std::string_view line, bool leading, bool trailing) {
  std::size_t b = 0, e = line.size();
  if (leading) {
    while (b < e && static_cast<unsigned char>(line[b]) <= 32) ++b;
  }
  if (trailing) {
    while (e > b && static_cast<unsigned char>(line[e - 1]) <= 32) --e;
  }
  return line.substr(b, e - b);
}

std::string prepareBlockLine(std::string_view line, const BlockOptions& options,
                             const text::CodePage& codePage) {
  const std::string_view trimmed = trimBlockLine(line, options.trimLeading, options.trimTrailing);
  if (!options.caseSensitive && codePage.id() == text::CodePageId::Utf8) {
    return text::foldCase(trimmed);
  }
  std::string prepared(trimmed);
  if (!options.caseSensitive) codePage.toUpperInPlace(prepared);
  return prepared;
}

bool blockLineEquals(std::string_view fileLine, std::string_view prepared,
                     const BlockOptions& options, const text::CodePage& codePage) {
  const std::string_view line = trimBlockLine(fileLine, options.trimLeading, options.trimTrailing);
  if (!options.caseSensitive && codePage.id() == text::CodePageId::Utf8) {
    return text::matchFolded(line, prepared) == line.size();
  }
  if (line.size() != prepared.size()) return false;
  if (options.caseSensitive) return line == prepared;
  for (std::size_t k = 0; k < line.size(); ++k) {
    if (codePage.upper(static_cast<unsigned char>(line[k])) !=
        static_cast<unsigned char>(prepared[k])) {
      return false;
    }
  }
  return true;
}

}  // namespace kestrix::search
