// Fits stored bounds and column widths to the screen, a window frame into the screen's free
// area, and reckons the size of a first start.
#include "app/WindowFit.h"

#include <algorithm>

namespace kestrix::app {

WindowBounds clampToScreen(WindowBounds b, const Box& area, const MinimumSize& minimum) {
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

Box fitInside(const Box& area, const Box& frame, int clientWidth, int clientHeight,
              int minimumWidth, int minimumHeight) {
  const int borderWidth = frame.width - clientWidth;
  const int borderHeight = frame.height - clientHeight;
  Box fitted;
  fitted.width = std::min(clientWidth, std::max(minimumWidth, area.width - borderWidth));
  fitted.height = std::min(clientHeight, std::max(minimumHeight, area.height - borderHeight));
  const int lastLeft = area.left + area.width - fitted.width - borderWidth;
  const int lastTop = area.top + area.height - fitted.height - borderHeight;
  fitted.left = std::clamp(frame.left, area.left, std::max(area.left, lastLeft));
  fitted.top = std::clamp(frame.top, area.top, std::max(area.top, lastTop));
  return fitted;
}

StartSize startSize(const Box& area, const StartWants& wants) {
  const int panes = wants.listHeight + wants.viewerHeight;
  const int room = area.height - wants.titleRoom - wants.otherHeight;
  StartSize size;
  size.listHeight = wants.listHeight;
  if (panes > room && room > 0) size.listHeight = wants.listHeight * room / panes;
  size.height =
      wants.otherHeight + std::min(size.listHeight + wants.viewerHeight, std::max(room, 0));
  size.height = std::max(size.height, wants.minimumHeight);
  size.width = std::clamp(wants.width, wants.minimumWidth,
                          std::max(wants.minimumWidth, area.width - wants.sideRoom));
  return size;
}

}  // namespace kestrix::app
