// Paints the busy indicator: eight dots on a circle, the current one dark, the ones
// behind it fading.
#include "ui/window/BusyIndicator.h"

#include <QPainter>
#include <cmath>
#include <numbers>

#include "ui/window/ScreenScale.h"

namespace kestrix::ui {

namespace {
constexpr int kDots = 8;
constexpr int kFrameMs = 80;
}  // namespace

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent) {
  setObjectName("Animate1");
  timer_.setInterval(kFrameMs);
  connect(&timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % kDots;
    update();
  });
}

void BusyIndicator::start() {
  if (!timer_.isActive()) timer_.start();
}

void BusyIndicator::stop() {
  timer_.stop();
  frame_ = 0;
  update();
}

void BusyIndicator::reset() {
  frame_ = 0;
  update();
}

QSize BusyIndicator::sizeHint() const {
  return {scaled(24), scaled(24)};
}

void BusyIndicator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const double side = std::min(width(), height());
  const double radius = side * 0.36;
  const double dot = side * 0.09;
  const QPointF centre(width() / 2.0, height() / 2.0);
  // The desktop's highlight colour reads on light and dark palettes alike.
  QColor colour = palette().color(QPalette::Highlight);
  for (int i = 0; i < kDots; ++i) {
    const int age = (frame_ - i + kDots) % kDots;
    const int alpha = timer_.isActive() ? 255 - age * 28 : 70;
    const double angle = 2 * std::numbers::pi * i / kDots;
    colour.setAlpha(alpha);
    painter.setBrush(colour);
    painter.drawEllipse(centre + QPointF(std::cos(angle), std::sin(angle)) * radius, dot, dot);
  }
}

}  // namespace kestrix::ui
