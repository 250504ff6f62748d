// How the lines viewer shows its entries: one line each, or line ranges (Multiline).
#pragma once

namespace kestrix::ui {

enum class LineMode { Lines, Ranges };

}  // namespace kestrix::ui
