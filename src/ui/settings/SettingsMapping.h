// Between the main window's controls and the plain settings record: which control holds
// which stored value. Geometry, column widths and the dialogs are the controller's.
#pragma once

#include "app/WindowSettings.h"

class QCheckBox;
class QComboBox;
class QTabWidget;

namespace kestrix::ui {

class FindTab;
class OptionsTab;
class SearchReplaceTab;

// The controls whose values are stored: the top panel's boxes and switches, the three tabs
// and the tab pages.
struct StoredControls {
  QComboBox& path;
  QComboBox& masks;
  QCheckBox& sensitive;
  QCheckBox& wholeWords;
  FindTab& findTab;
  SearchReplaceTab& replaceTab;
  OptionsTab& optionsTab;
  QTabWidget& pages;
};

// Reads the histories, memos, tab options, filters and the active tab into `settings`.
void readControls(const StoredControls& controls, app::WindowSettings& settings);
// Puts them into the controls; a memo whose file was missing keeps its text.
void applyControls(const app::WindowSettings& settings, const StoredControls& controls);

}  // namespace kestrix::ui
