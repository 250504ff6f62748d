// Between the main window's controls and the plain settings record: which control holds
// which stored value. Geometry, column widths and the dialogs are the controller's.
#pragma once

#include "app/WindowSettings.h"

namespace kestrix::ui {

class TFind;

// Reads the histories, memos, tab options, filters and the active tab into `settings`.
void readControls(const TFind& window, app::WindowSettings& settings);
// Puts them into the controls; a memo whose file was missing keeps its text.
void applyControls(const app::WindowSettings& settings, TFind& window);

}  // namespace kestrix::ui
