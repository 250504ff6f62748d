// Keeping the window on the screen: where a window goes, and how far it shrinks, so that its
// frame lies wholly inside the screen's free area.
#pragma once

namespace kestrix::app {

// A rectangle in screen pixels.
struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Box&) const = default;
};

// The window whose frame is `frame` around a client area of `clientWidth` x `clientHeight`
// fitted into `area`: the client area shrinks to what the area leaves beside the frame's
// borders, never below `minimumWidth` x `minimumHeight` and never grows; the frame then moves
// inside the area, its top left corner kept in view when the window is larger than the area.
// Returns the frame's new top left corner and the new client size.
Box fitInside(const Box& area, const Box& frame, int clientWidth, int clientHeight,
              int minimumWidth, int minimumHeight);

}  // namespace kestrix::app
