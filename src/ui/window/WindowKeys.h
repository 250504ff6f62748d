// The window's keys that belong to no menu item: Escape stops a running search or
// modification, Ctrl+F puts the cursor into the current tab's query. The actions live on the
// window, so they also work while a run has disabled the menus. Also ties the File menu's
// Undo (the desktop's undo key) to the Search and Replace tab's Undo button.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QKeySequence;

namespace kestrix::ui {

class TFind;

class WindowKeys : public QObject {
  Q_OBJECT

 public:
  explicit WindowKeys(TFind& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void addKey(const QString& objectName, const QKeySequence& key, void (WindowKeys::*slot)());
  void stopRun();
  void focusQuery();
  void wireUndo();

  TFind& window_;
  const QObject* undoButton_ = nullptr;  // compared only
  QList<QPointer<QAction>> undoActions_;
};

}  // namespace kestrix::ui
