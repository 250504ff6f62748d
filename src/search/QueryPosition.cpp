// Mapping query error positions from joined bytes to editor code units.
#include "search/QueryPosition.h"

#include <algorithm>
#include <string_view>

#include "text/Utf8.h"

namespace kestrix::search {
namespace {

// The UTF-16 code units of the UTF-8 text `s` (an invalid byte takes one).
std::size_t utf16Length(std::string_view s) {
  std::size_t units = 0;
  for (std::size_t pos = 0; pos < s.size();) {
    const text::DecodedChar c = text::decodeUtf8(s, pos);
    units += c.value >= 0x10000 && c.value < text::kInvalidByteBase ? 2 : 1;
    pos += static_cast<std::size_t>(c.length);
  }
  return units;
}

}  // namespace

std::optional<std::size_t> editorPositionOfQuery(const std::vector<std::string>& lines,
                                                 std::size_t position) {
  std::size_t offset = position > 0 ? position - 1 : 0;
  std::size_t units = 0;
  for (const std::string& line : lines) {
    if (offset <= line.size()) return units + utf16Length(std::string_view(line).substr(0, offset));
    offset -= std::min(offset, line.size() + 2);
    units += utf16Length(line) + 1;
  }
  return std::nullopt;
}

}  // namespace kestrix::search
