// Fits stored window bounds and column widths to the screen.
#include "app/WindowFit.h"

#include <algorithm>

namespace kestrix::app {

WindowBounds clampToScreen(WindowBounds b, const ScreenArea& area, const MinimumSize& minimum) {
  b.width = std::clamp(b.width, minimum.width, std::max(minimum.width, area.width));
  b.height = std::clamp(b.height, minimum.height, std::max(minimum.height, area.height));
  b.left = std::clamp(b.left, area.left, std::max(area.left, area.left + area.width - b.width));
  b.top = std::clamp(b.top, area.top, std::max(area.top, area.top + area.height - b.height));
  b.listHeight =
      std::clamp(b.listHeight, minimum.listHeight, std::max(minimum.listHeight, b.height));
  return b;
}

std::array<int, 8> usableColumnWidths(const std::array<int, 8>& stored,
                                      const std::array<int, 8>& defaults, int limit) {
  std::array<int, 8> widths{};
  for (std::size_t i = 0; i < widths.size(); ++i)
    widths[i] = stored[i] >= 1 && stored[i] <= limit ? stored[i] : defaults[i];
  return widths;
}

}  // namespace kestrix::app
