// Stored bounds, column widths and window frames fitted to the screen; the first start's size.
#include <gtest/gtest.h>

#include "app/WindowFit.h"

namespace kestrix::app {
namespace {

TEST(WindowFit, BoundsStayOnTheScreenAtAUsableSize) {
  // A screen area of 1000 x 700 pixels that starts at (100, 50), e.g. below a panel.
  const Box area{100, 50, 1000, 700};
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

TEST(WindowFit, TheFrameMovesAndShrinksIntoTheArea) {
  const Box screen{0, 0, 1000, 800};
  const Box beside{1920, 24, 1280, 1000};  // a second screen's area below a panel
  // Client sizes and minimums as {0, 0, width, height}. The frame adds 10 pixels of width
  // and 30 of height (the title bar) to the client area.
  const Box small{0, 0, 400, 300}, smallMinimum{0, 0, 300, 200};
  const Box large{0, 0, 2000, 1500}, largeFrame{-50, -20, 2010, 1530};
  const struct {
    const char* what;
    Box area, frame, client, minimum, expected;
  } cases[] = {
      {"inside stays", screen, {100, 100, 410, 330}, small, smallMinimum, {100, 100, 400, 300}},
      {"off the corner", screen, {900, 700, 410, 330}, small, smallMinimum, {590, 470, 400, 300}},
      {"larger than the area", screen, largeFrame, large, {0, 0, 600, 400}, {0, 0, 990, 770}},
      {"top left in view", screen, largeFrame, large, {0, 0, 1200, 900}, {0, 0, 1200, 900}},
      {"beside a panel", beside, {100, 0, 410, 330}, small, smallMinimum, {1920, 24, 400, 300}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fitInside(c.area, c.frame, c.client.width, c.client.height, c.minimum.width,
                        c.minimum.height),
              c.expected)
        << c.what;
  }
}

TEST(WindowFit, AStartFillsWhatTheScreenHoldsInProportion) {
  const StartWants wants{.listHeight = 300,
                         .viewerHeight = 200,
                         .otherHeight = 250,
                         .titleRoom = 30,
                         .sideRoom = 20,
                         .width = 960,
                         .minimumWidth = 646,
                         .minimumHeight = 340};
  const struct {
    const char* what;
    Box area;
    StartSize expected;
  } cases[] = {
      {"room for all", {0, 0, 1920, 1050}, {960, 750, 300}},
      // 380 pixels left for the panes: the list keeps its 3/5 of them.
      {"a short screen", {0, 0, 1024, 660}, {960, 630, 228}},
      {"no room at all", {0, 0, 640, 200}, {646, 340, 300}},
      {"a narrow screen", {0, 0, 800, 1050}, {780, 750, 300}},
  };
  for (const auto& c : cases) EXPECT_EQ(startSize(c.area, wants), c.expected) << c.what;
}

}  // namespace
}  // namespace kestrix::app
