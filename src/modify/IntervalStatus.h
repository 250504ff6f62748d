// What the window shows of the browsed file's modification interval in the status bar, and
// which rows the bulk marking commands work on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrix::modify {

// The interval texts of the status bar start with this.
inline constexpr const char* kIntervalStatusPrefix = "Modification interval for the browsed file: ";

// The status text for an interval: "... The marked lines are absent" for -1/-1, "... All
// lines are marked" for 0/0, else "... From " + "top" or "line s" + " to " + "bottom" or
// "line e".
std::string intervalStatusText(std::int64_t from, std::int64_t to);

// The rows Mark All and Unmark All work on: the browsed file's, the selected ones or all
// listed.
enum class MarkScope { Browsed, Selected, Listed };
// The rows of `scope` in a list of `rowCount` rows: `browsed` (none when negative), the
// `selected` rows as they are, or every row.
std::vector<std::size_t> rowsInScope(MarkScope scope, int browsed,
                                     const std::vector<std::size_t>& selected,
                                     std::size_t rowCount);

}  // namespace kestrix::modify
