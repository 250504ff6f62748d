// Scales layout constants given at 96 dpi to the primary screen.
#include "ui/window/ScreenScale.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace kestrix::ui {

int screenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 96;
  const int dpi = static_cast<int>(std::lround(screen->logicalDotsPerInch()));
  return dpi > 0 ? dpi : 96;
}

int scaled(int pixelsAt96) {
  return pixelsAt96 * screenDpi() / 96;
}

}  // namespace kestrix::ui
