// Icons of the menus and the main buttons, taken from the desktop's icon theme; where the
// theme has none, the style's standard icon stands in (or no icon).
#pragma once

#include <QIcon>
#include <QStyle>

namespace kestrix::ui {

class TFind;

// The theme icon `name`, else the style's `fallback` icon (none for SP_CustomBase).
QIcon themeIcon(const char* name, QStyle::StandardPixmap fallback = QStyle::SP_CustomBase);

// Puts the icons on the window's menu commands and main buttons.
void applyThemeIcons(TFind& window);

}  // namespace kestrix::ui
