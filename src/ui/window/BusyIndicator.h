// A small animated busy indicator: a ring of dots whose highlight turns while a run is
// busy, and a still ring otherwise.
#pragma once

#include <QTimer>
#include <QWidget>

namespace kestrix::ui {

class BusyIndicator : public QWidget {
  Q_OBJECT
 public:
  explicit BusyIndicator(QWidget* parent = nullptr);

  // Starts turning from the current frame; harmless when already running.
  void start();
  // Stops turning and shows the still ring (frame 0).
  void stop();
  // Puts the animation back to its first frame; keeps it running if it was.
  void reset();
  bool isRunning() const { return timer_.isActive(); }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace kestrix::ui
