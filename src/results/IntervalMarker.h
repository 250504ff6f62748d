// Which lines of the lines viewer carry the interval marker: those inside the browsed
// file's modification interval, while intervals are in use.
#pragma once

#include <cstdint>

namespace kestrix::results {

struct IntervalMarker {
  bool enabled = false;
  std::int64_t from = 0;  // the first line marked; 0: from the top
  std::int64_t to = 0;    // the last line marked; 0: to the bottom

  // True when the marker is drawn beside file line `line`: enabled and `line` inside
  // [from, to]. A Nil interval (-1 on both ends) marks no line.
  bool marks(std::int64_t line) const {
    const bool beforeStart = from != 0 && from > line;
    const bool afterEnd = to != 0 && to < line;
    return enabled && !beforeStart && !afterEnd;
  }
};

}  // namespace kestrix::results
