// Keys of the main window outside the menus.
#include "ui/window/WindowKeys.h"

#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "ui/modify/SearchReplaceTab.h"
#include "ui/window/MainMenus.h"
#include "ui/window/TFind.h"

namespace kestrix::ui {

WindowKeys::WindowKeys(TFind& window) : QObject(&window), window_(window) {
  addKey("StopKey", QKeySequence(Qt::Key_Escape), &WindowKeys::stopRun);
  addKey("FocusQueryKey", QKeySequence(Qt::CTRL | Qt::Key_F), &WindowKeys::focusQuery);
  wireUndo();
}

void WindowKeys::addKey(const QString& objectName, const QKeySequence& key,
                        void (WindowKeys::*slot)()) {
  auto* action = new QAction(this);
  action->setObjectName(objectName);
  action->setShortcut(key);
  connect(action, &QAction::triggered, this, slot);
  window_.addAction(action);
}

// As the tab's Stop button: only a running search or modification is stopped.
void WindowKeys::stopRun() {
  if (window_.state().busy) window_.stop();
}

void WindowKeys::focusQuery() {
  const int tab = window_.PageControl1->currentIndex();
  if (tab == TFind::OptionsPage) return;  // the Options tab has no query
  const FindHost& host = window_;
  const TabQuery query = host.tabQuery(tab == TFind::FindPage ? search::Origin::Find
                                                              : search::Origin::SearchAndReplace);
  if (query.memoShown) {
    query.memo->setFocus(Qt::ShortcutFocusReason);
    query.memo->selectAll();
  } else {
    query.box->setFocus(Qt::ShortcutFocusReason);
    if (query.box->lineEdit() != nullptr) query.box->lineEdit()->selectAll();
  }
}

// The menu item runs the button's action and is enabled exactly when the button is (its
// enabled state follows the undo history, a run's busy state and Hide List).
void WindowKeys::wireUndo() {
  QPushButton* button = window_.replaceTab->UndoButton;
  undoButton_ = button;
  for (QAction* action : window_.menus->undo.actions()) {
    connect(action, &QAction::triggered, button, &QPushButton::click);
    action->setEnabled(button->isEnabled());
    undoActions_ << action;
  }
  button->installEventFilter(this);
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
  // Also reached while the window is torn down: the button is only compared and read as a
  // widget, and the actions are guarded.
  if (watched == undoButton_ && event->type() == QEvent::EnabledChange) {
    const bool enabled = static_cast<QWidget*>(watched)->isEnabled();
    for (const QPointer<QAction>& action : undoActions_)
      if (action) action->setEnabled(enabled);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace kestrix::ui
