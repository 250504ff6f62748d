// Notices that a file opened in another program was saved: remembers the file's
// last-write time when it is launched and, once armed, reports a later time stamp.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class QWidget;

namespace kestrix::ui {

class ExternalChangeCheck : public QObject {
  Q_OBJECT
 public:
  explicit ExternalChangeCheck(QObject* parent = nullptr);

  // Remembers `fullName` and its present last-write time (kept as before when the file
  // does not exist).
  void remember(const QString& fullName);
  // Starts watching the remembered file.
  void arm() { armed_ = true; }
  void disarm() { armed_ = false; }
  bool isArmed() const { return armed_; }
  const QString& fileName() const { return fileName_; }

  // When armed and the file exists with a last-write time later than the remembered one:
  // disarms, emits fileChanged() and returns true. Otherwise returns false and stays armed.
  bool check();

  // Checks whenever `window` repaints or is activated (an editor was closed or the user
  // came back to the window); a change is reported by a queued fileChanged(), after the
  // event. The filter does not consume the events.
  void watch(QWidget* window);

 signals:
  // The watched file was changed by another program; the window rescans it.
  void fileChanged(const QString& fullName);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool detectChange();

  QString fileName_;
  QDateTime lastWrite_;
  bool armed_ = false;
};

}  // namespace kestrix::ui
