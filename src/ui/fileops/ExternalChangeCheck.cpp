// Time-stamp check of a file handed to an external program.
#include "ui/fileops/ExternalChangeCheck.h"

#include <QEvent>
#include <QFileInfo>
#include <QWidget>

namespace kestrix::ui {

ExternalChangeCheck::ExternalChangeCheck(QObject* parent) : QObject(parent) {}

void ExternalChangeCheck::remember(const QString& fullName) {
  if (fullName != fileName_) lastWrite_ = QDateTime();
  fileName_ = fullName;
  const QFileInfo info(fullName);
  if (info.exists()) lastWrite_ = info.lastModified();
}

bool ExternalChangeCheck::detectChange() {
  if (!armed_) return false;
  const QFileInfo info(fileName_);
  if (!info.exists()) return false;
  const QDateTime now = info.lastModified();
  if (lastWrite_.isValid() && now <= lastWrite_) return false;
  armed_ = false;
  lastWrite_ = now;
  return true;
}

bool ExternalChangeCheck::check() {
  if (!detectChange()) return false;
  emit fileChanged(fileName_);
  return true;
}

void ExternalChangeCheck::watch(QWidget* window) {
  if (window) window->installEventFilter(this);
}

bool ExternalChangeCheck::eventFilter(QObject* watched, QEvent* event) {
  const bool trigger = event->type() == QEvent::Paint || event->type() == QEvent::WindowActivate;
  if (trigger && detectChange()) {
    // The rescan pumps events and repaints: run it after this paint, not inside it.
    QMetaObject::invokeMethod(
        this, [this, name = fileName_] { emit fileChanged(name); }, Qt::QueuedConnection);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace kestrix::ui
