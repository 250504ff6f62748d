// Sizing the window for the screen: stored bounds and column widths made fit for it (a
// damaged or foreign settings file must still give a wholly visible window and a usable
// list), a frame fitted into the screen's free area, and the size of a first start.
#pragma once

#include <array>

#include "app/WindowSettings.h"

namespace kestrix::app {

// A rectangle in screen pixels.
struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Box&) const = default;
};

// The smallest window and results list that stay usable, in screen pixels.
struct MinimumSize {
  int width = 0, height = 0, listHeight = 0;
};

// `bounds` fitted to `area`: the size at least `minimum` and at most the area (unless the
// minimum is larger), the window moved wholly onto the area where it fits, and the list
// height at least minimum.listHeight and at most the window's height.
WindowBounds clampToScreen(WindowBounds bounds, const Box& area, const MinimumSize& minimum);

// Each of `stored` that lies from 1 to `limit` pixels, else the width of `defaults` in its
// place.
std::array<int, 8> usableColumnWidths(const std::array<int, 8>& stored,
                                      const std::array<int, 8>& defaults, int limit);

// The window whose frame is `frame` around a client area of `clientWidth` x `clientHeight`
// fitted into `area`: the client area shrinks to what the area leaves beside the frame's
// borders, never below `minimumWidth` x `minimumHeight` and never grows; the frame then moves
// inside the area, its top left corner kept in view when the window is larger than the area.
// Returns the frame's new top left corner and the new client size.
Box fitInside(const Box& area, const Box& frame, int clientWidth, int clientHeight,
              int minimumWidth, int minimumHeight);

// What the size of a first start is made of (pixels): the heights the results list and the
// lines viewer want and the height of everything else with the results shown, the room kept
// free for the window manager's title bar and beside the window, and the limits.
struct StartWants {
  int listHeight = 0, viewerHeight = 0, otherHeight = 0;
  int titleRoom = 0, sideRoom = 0;
  int width = 0, minimumWidth = 0, minimumHeight = 0;
};

struct StartSize {
  int width = 0, height = 0, listHeight = 0;
  bool operator==(const StartSize&) const = default;
};

// The first start's size on a screen whose free area is `area`: the list and the viewer get
// the heights they want, both cut in proportion when the area cannot hold them; the height
// is at least the minimum. The wanted width is kept within the minimum and the area's width.
StartSize startSize(const Box& area, const StartWants& wants);

}  // namespace kestrix::app
