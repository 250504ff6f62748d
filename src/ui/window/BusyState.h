// The window's busy state: while a run works every input but "Stop" is disabled and the
// tabs other than the running one are hidden, which is what prevents re-entry.
#pragma once

#include <QList>
#include <QPointer>

class QTabWidget;
class QWidget;
class QAbstractButton;

namespace kestrix::ui {

class BusyState {
 public:
  // `inputs` are the widgets to disable; `stopButtons` stay usable; `tabs` has its other
  // pages hidden. None is owned.
  BusyState(QList<QWidget*> inputs, QList<QAbstractButton*> stopButtons, QTabWidget* tabs);

  // Disables the inputs (remembering which were enabled), hides the other tabs and enables
  // the Stop button of the current tab. Does nothing when already busy.
  void begin();
  // Restores the inputs' enabled states, shows every tab again and disables Stop.
  void end();
  bool active() const { return active_; }

 private:
  QList<QPointer<QWidget>> inputs_;
  QList<QAbstractButton*> stopButtons_;
  QTabWidget* tabs_;
  QList<bool> wasEnabled_;
  bool active_ = false;
};

}  // namespace kestrix::ui
