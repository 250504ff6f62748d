// The window's keys that belong to no menu item: Escape stops a running search or
// modification, Ctrl+F puts the cursor into the current tab's query, Ctrl+Z runs Undo. The
// actions live on the window, so they also work while a run has disabled the menus.
#pragma once

#include <QObject>

class QKeySequence;

namespace kestrix::ui {

class TFind;

class WindowKeys : public QObject {
  Q_OBJECT

 public:
  explicit WindowKeys(TFind& window);

 private:
  void addKey(const QString& objectName, const QKeySequence& key, void (WindowKeys::*slot)());
  void stopRun();
  void focusQuery();
  void undo();

  TFind& window_;
};

}  // namespace kestrix::ui
