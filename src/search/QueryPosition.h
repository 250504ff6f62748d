// Where a position in a multi-line query lies in the editor that holds its lines.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kestrix::search {

// The editor position of the 1-based `position` an error names in `lines`: the position
// counts bytes of the lines joined by CR LF, the editor joins them by LF and counts UTF-16
// code units. Nothing when the position lies past the last line.
std::optional<std::size_t> editorPositionOfQuery(const std::vector<std::string>& lines,
                                                 std::size_t position);

}  // namespace kestrix::search
