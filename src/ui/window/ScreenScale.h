// Pixel sizes of the window layout are given at 96 dots per inch; this scales them by the
// screen's logical dots per inch (integer division, as the layout tables assume).
#pragma once

namespace kestrix::ui {

// Returns the primary screen's logical dots per inch, rounded; 96 without a screen.
int screenDpi();

// Returns `pixelsAt96` * screenDpi() / 96 (integer division).
int scaled(int pixelsAt96);

}  // namespace kestrix::ui
