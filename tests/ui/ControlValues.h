// The persisted controls of the main window and its settings dialogs: their values by
// object name, and a change of every one of them, for tests of settings and projects.
#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QString>

#include "ui/window/TFind.h"

namespace kestrix::ui::testing {

inline bool persisted(const QWidget* w) {
  if (w->objectName().isEmpty() || w->objectName().startsWith("qt_")) return false;
  if (w->objectName() == "ListXPCheckBox") return false;  // Search in Results is not kept
  // The window and the settings dialogs keep their values; the other dialogs (mask prompt,
  // file operations, batch) keep theirs elsewhere or not at all.
  static const QSet<QString> kept = {"TFind", "TSettDlg", "TPathIgnoreDlg", "TFileIgnoreDlg"};
  if (!kept.contains(w->window()->objectName())) return false;
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QSpinBox*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QDateTimeEdit*>(w) ||
         qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QLineEdit*>(w);
}

// The value of every persisted control of the window and its dialogs, by object name.
inline QMap<QString, QString> controlValues(TFind& window) {
  QMap<QString, QString> values;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!persisted(w)) continue;
    QString value;
    if (auto* c = qobject_cast<QCheckBox*>(w))
      value = c->isChecked() ? "on" : "off";
    else if (auto* r = qobject_cast<QRadioButton*>(w))
      value = r->isChecked() ? "on" : "off";
    else if (auto* s = qobject_cast<QSpinBox*>(w))
      value = QString::number(s->value());
    else if (auto* d = qobject_cast<QDateTimeEdit*>(w))
      value = d->date().toString(Qt::ISODate);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(w))
      value = p->toPlainText();
    else if (auto* l = qobject_cast<QLineEdit*>(w))
      value = l->text();
    else if (auto* b = qobject_cast<QComboBox*>(w)) {
      // A history keeps its text, not which entry was picked.
      value = b->currentText() + (b->isEditable() ? "" : "|" + QString::number(b->currentIndex()));
      for (int i = 0; i < b->count(); ++i) value += "|" + b->itemText(i);
    } else
      continue;  // push buttons
    values[w->objectName()] = value;
  }
  return values;
}

// Moves every persisted control away from its present value.
inline void changeEveryControl(TFind& window) {
  QSet<QButtonGroup*> groups;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!persisted(w)) continue;
    if (auto* r = qobject_cast<QRadioButton*>(w)) {
      groups.insert(r->group());
    } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
      c->setChecked(!c->isChecked());
    } else if (auto* s = qobject_cast<QSpinBox*>(w)) {
      s->setValue(s->value() + 3);
    } else if (auto* d = qobject_cast<QDateTimeEdit*>(w)) {
      d->setDate(d->date().addDays(-3));
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
      p->setPlainText("text of " + w->objectName() + "\nsecond line\n");
    } else if (auto* l = qobject_cast<QLineEdit*>(w)) {
      l->setText("\"/opt/" + w->objectName() + "\" \"%PrFullName%\"");
    } else if (auto* b = qobject_cast<QComboBox*>(w)) {
      if (b->isEditable()) {
        b->insertItem(0, "entry two of " + w->objectName());
        b->insertItem(0, "entry one of " + w->objectName());
        b->setEditText("edited " + w->objectName());
      } else {
        b->setCurrentIndex((b->currentIndex() + 1) % b->count());
      }
    }
  }
  // In each group the button after the checked one.
  for (QButtonGroup* group : groups) {
    const QList<QAbstractButton*> buttons = group->buttons();
    const int checked = static_cast<int>(buttons.indexOf(group->checkedButton()));
    buttons[(checked + 1) % buttons.size()]->setChecked(true);
  }
}

}  // namespace kestrix::ui::testing
