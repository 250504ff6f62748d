// Keys of the main window outside the menus.
#include "ui/window/WindowKeys.h"

#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "ui/find/FindTab.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/window/TFind.h"

namespace kestrix::ui {

WindowKeys::WindowKeys(TFind& window) : QObject(&window), window_(window) {
  addKey("StopKey", QKeySequence(Qt::Key_Escape), &WindowKeys::stopRun);
  addKey("FocusQueryKey", QKeySequence(Qt::CTRL | Qt::Key_F), &WindowKeys::focusQuery);
  addKey("UndoKey", QKeySequence(Qt::CTRL | Qt::Key_Z), &WindowKeys::undo);
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
  QComboBox* line = nullptr;
  QPlainTextEdit* memo = nullptr;
  switch (window_.PageControl1->currentIndex()) {
    case TFind::FindPage:
      line = window_.findTab->FindEditComboBox;
      memo = window_.findTab->usesMemo() ? window_.findTab->FindMemo : nullptr;
      break;
    case TFind::SearchReplacePage:
      line = window_.replaceTab->SearchEdit;
      memo = window_.replaceTab->usesMemo() ? window_.replaceTab->SearchMemo : nullptr;
      break;
    default:
      return;  // the Options tab has no query
  }
  if (memo != nullptr) {
    memo->setFocus(Qt::ShortcutFocusReason);
    memo->selectAll();
  } else {
    line->setFocus(Qt::ShortcutFocusReason);
    if (line->lineEdit() != nullptr) line->lineEdit()->selectAll();
  }
}

// Undo belongs to the Search and Replace tab; the key acts only where its button is seen.
void WindowKeys::undo() {
  if (window_.PageControl1->currentIndex() == TFind::SearchReplacePage &&
      window_.modifyController().canUndo())
    window_.modifyController().undo();
}

}  // namespace kestrix::ui
