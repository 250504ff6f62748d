// Stored window bounds and column widths made fit for this screen: a damaged or foreign
// settings file must still give a window that is wholly visible and a usable list.
#pragma once

#include <array>

#include "app/WindowSettings.h"

namespace kestrix::app {

// A rectangle in screen pixels.
struct ScreenArea {
  int left = 0, top = 0, width = 0, height = 0;
};

// The smallest window and results list that stay usable, in screen pixels.
struct MinimumSize {
  int width = 0, height = 0, listHeight = 0;
};

// `bounds` fitted to `area`: the size at least `minimum` and at most the area (unless the
// minimum is larger), the window moved wholly onto the area where it fits, and the list
// height at least minimum.listHeight and at most the window's height.
WindowBounds clampToScreen(WindowBounds bounds, const ScreenArea& area, const MinimumSize& minimum);

// Each of `stored` that lies from 1 to `limit` pixels, else the width of `defaults` in its
// place.
std::array<int, 8> usableColumnWidths(const std::array<int, 8>& stored,
                                      const std::array<int, 8>& defaults, int limit);

}  // namespace kestrix::app
