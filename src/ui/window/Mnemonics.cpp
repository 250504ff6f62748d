// Picks mnemonic letters for the window's controls and keeps stray Alt+letters out of fields.
#include "ui/window/Mnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>

namespace kestrix::ui {

QChar mnemonicOf(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (caption[i + 1] != u'&') return caption[i + 1].toLower();
    ++i;  // "&&" is a plain ampersand
  }
  return {};
}

namespace {

// The caption with an "&" before the first free letter, word starts first; unchanged
// when every letter is taken.
QString withMnemonic(const QString& caption, QString& taken) {
  for (const bool wordStart : {true, false}) {
    for (qsizetype i = 0; i < caption.size(); ++i) {
      const QChar c = caption[i];
      const bool atStart = i == 0 || !caption[i - 1].isLetterOrNumber();
      if (!c.isLetterOrNumber() || (wordStart && !atStart) || taken.contains(c.toLower())) continue;
      taken += c.toLower();
      QString marked = caption;
      marked.insert(i, u'&');
      return marked;
    }
  }
  return caption;
}

template <typename W>
void mark(W* widget, QString& taken) {
  const QChar own = mnemonicOf(widget->text());
  if (!own.isNull()) {
    taken += own;
    return;
  }
  widget->setText(withMnemonic(widget->text(), taken));
}

}  // namespace

QString assignMnemonics(QWidget& scope, QString taken, bool pushButtonsOnly) {
  // Letters already given stay; the others are picked in the order of the controls.
  for (const QAbstractButton* b : scope.findChildren<QAbstractButton*>()) {
    const QChar own = mnemonicOf(b->text());
    if (!own.isNull()) taken += own;
  }
  // Push buttons first: a tab can hold more controls than the alphabet has letters, and
  // the commands matter most.
  QList<QAbstractButton*> buttons = scope.findChildren<QAbstractButton*>();
  std::stable_partition(buttons.begin(), buttons.end(),
                        [](const QAbstractButton* b) { return b->inherits("QPushButton"); });
  for (QAbstractButton* button : buttons) {
    if (button->text().isEmpty() || button->parent()->inherits("QTabBar")) continue;
    if (pushButtonsOnly && !button->inherits("QPushButton")) continue;
    mark(button, taken);
  }
  if (pushButtonsOnly) return taken;
  for (QLabel* label : scope.findChildren<QLabel*>())
    if (label->buddy() != nullptr && !label->text().isEmpty()) mark(label, taken);
  return taken;
}

AltKeyGuard::AltKeyGuard(QWidget& window) : QObject(&window), window_(window) {
  qApp->installEventFilter(this);
}

bool AltKeyGuard::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != &window_) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  const bool alt =
      modifiers == Qt::AltModifier || modifiers == (Qt::AltModifier | Qt::ShiftModifier);
  // Shortcuts and mnemonics have had their turn: what is left would be typed.
  return alt && !key->text().isEmpty() && key->text().front().isPrint();
}

}  // namespace kestrix::ui
