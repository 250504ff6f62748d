// Stored window bounds and column widths fitted to the screen.
#include <gtest/gtest.h>

#include "app/WindowFit.h"

namespace kestrix::app {
namespace {

TEST(WindowFit, BoundsStayOnTheScreenAtAUsableSize) {
  // A screen area of 1000 x 700 pixels that starts at (100, 50), e.g. below a panel.
  const ScreenArea area{100, 50, 1000, 700};
  const MinimumSize minimum{400, 300, 32};
  const struct {
    const char* what;
    WindowBounds stored, fitted;  // width, height, listHeight, left, top
  } cases[] = {
      {"fits as it is", {600, 400, 120, 200, 100}, {600, 400, 120, 200, 100}},
      {"too small", {-5, 10, -1, 200, 100}, {400, 300, 32, 200, 100}},
      {"too large", {5000, 99999999, 5000, 0, 0}, {1000, 700, 700, 100, 50}},
      {"off to the right and below", {600, 400, 120, 100000, 100000}, {600, 400, 120, 500, 350}},
      {"off to the left and above", {600, 400, 120, -100000, -100000}, {600, 400, 120, 100, 50}},
      {"just inside the far corner", {600, 400, 120, 500, 350}, {600, 400, 120, 500, 350}},
  };
  for (const auto& c : cases) EXPECT_EQ(clampToScreen(c.stored, area, minimum), c.fitted) << c.what;
  // A screen smaller than the minimum keeps the minimum size at the screen's corner.
  const WindowBounds tiny = clampToScreen({600, 400, 120, 300, 300}, {0, 0, 320, 200}, minimum);
  EXPECT_EQ(tiny, (WindowBounds{400, 300, 120, 0, 0}));
}

TEST(WindowFit, DamagedColumnWidthsTakeTheirDefaults) {
  const std::array<int, 8> defaults{96, 165, 45, 60, 115, 75, 120, 150};
  const std::array<int, 8> stored{1, 0, -30, 4000, 4001, 200, 2147483647, 150};
  EXPECT_EQ(usableColumnWidths(stored, defaults, 4000),
            (std::array<int, 8>{1, 165, 45, 4000, 115, 200, 120, 150}));
}

}  // namespace
}  // namespace kestrix::app
