// Picks mnemonic letters for the window's controls and keeps stray Alt+letters out of fields.
#include "ui/window/Mnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>
#include <functional>

#include "app/MnemonicLetters.h"

namespace kestrix::ui {

QChar mnemonicOf(const QString& caption) {
  return app::mnemonicOf(caption.toStdU16String());
}

namespace {

QString markedAt(const QString& caption, qsizetype at) {
  return QString::fromStdU16String(app::markedAt(caption.toStdU16String(), at));
}

bool isOptionBox(const QObject* w) {
  return qobject_cast<const QCheckBox*>(w) != nullptr ||
         qobject_cast<const QRadioButton*>(w) != nullptr;
}

// The controls under `scopes` that carry a caption to mark, in order of priority: push
// buttons (the commands), labels with a buddy (a field's label cannot share a letter),
// then check boxes and radio buttons, smaller groups first. Tabs are left out.
QList<QWidget*> markableControls(const QList<QWidget*>& scopes, bool pushButtonsOnly) {
  QList<QWidget*> commands, labels, boxes;
  for (const QWidget* scope : scopes) {
    for (QAbstractButton* b : scope->findChildren<QAbstractButton*>()) {
      if (b->text().isEmpty() || b->parent()->inherits("QTabBar")) continue;
      (b->inherits("QPushButton") ? commands : boxes) << b;
    }
    for (QLabel* label : scope->findChildren<QLabel*>())
      if (label->buddy() != nullptr && !label->text().isEmpty()) labels << label;
  }
  // An option box in a large group can share a letter with its neighbours when the letters
  // run out; one alone in its group cannot: small groups choose first.
  const auto groupSize = [&](const QWidget* box) {
    return std::count_if(boxes.begin(), boxes.end(), [&](const QWidget* other) {
      return other->parentWidget() == box->parentWidget();
    });
  };
  std::stable_sort(boxes.begin(), boxes.end(),
                   [&](const QWidget* a, const QWidget* b) { return groupSize(a) < groupSize(b); });
  if (!pushButtonsOnly) commands << labels << boxes;
  return commands;
}

QString captionOf(const QWidget* w) {
  if (const auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
  return static_cast<const QLabel*>(w)->text();
}

void setCaption(QWidget* w, const QString& text) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->setText(text);
  static_cast<QLabel*>(w)->setText(text);
}

}  // namespace

QString assignMnemonics(const QList<QWidget*>& scopes, QString taken, bool pushButtonsOnly,
                        const QString& contested) {
  const QList<QWidget*> controls = markableControls(scopes, pushButtonsOnly);
  // Letters already given stay; the others are matched to the remaining controls.
  for (const QWidget* w : controls)
    if (const QChar own = mnemonicOf(captionOf(w)); !own.isNull()) taken += own;
  std::vector<std::u16string> captions;
  QList<QWidget*> owners;
  for (QWidget* w : controls) {
    const QString caption = captionOf(w);
    if (!mnemonicOf(caption).isNull()) continue;
    captions.push_back(caption.toStdU16String());
    owners << w;
  }
  const std::vector<std::ptrdiff_t> chosen =
      app::chooseLetters(captions, taken.toStdU16String(), contested.toStdU16String());
  for (qsizetype i = 0; i < owners.size(); ++i) {
    const std::ptrdiff_t at = chosen[static_cast<std::size_t>(i)];
    if (at < 0) continue;
    const QString marked = markedAt(captionOf(owners[i]), at);
    taken += mnemonicOf(marked);
    setCaption(owners[i], marked);
  }
  return taken;
}

QString wantedLetters(QWidget& scope) {
  std::vector<std::u16string> captions;
  for (const QWidget* w : markableControls({&scope}, false)) {
    const QString caption = captionOf(w);
    if (mnemonicOf(caption).isNull()) captions.push_back(caption.toStdU16String());
  }
  return QString::fromStdU16String(app::wantedLetters(captions));
}

void shareMnemonics(QWidget& scope, QWidget& neighbour) {
  const QList<QWidget*> controls = markableControls({&scope}, false);
  QList<QWidget*> pool = controls + markableControls({&neighbour}, false);
  pool.removeIf([](const QWidget* w) { return w->inherits("QPushButton"); });
  // Who may lend a letter, nearest first: an option box of the same group, any option box of
  // `scope`, a field's label there, a box or label of `neighbour`. Push buttons never share:
  // their key must click them.
  const auto inScope = [&](const QWidget* w) { return scope.isAncestorOf(w); };
  const QList<std::function<bool(const QWidget*, const QWidget*)>> lenders = {
      [](const QWidget* w, const QWidget* box) {
        return isOptionBox(w) && w->parentWidget() == box->parentWidget();
      },
      [&](const QWidget* w, const QWidget*) { return inScope(w) && isOptionBox(w); },
      [&](const QWidget* w, const QWidget*) { return inScope(w); },
      [](const QWidget*, const QWidget*) { return true; }};
  for (QWidget* box : controls) {
    const QString caption = captionOf(box);
    if (!isOptionBox(box) || !mnemonicOf(caption).isNull()) continue;
    for (const auto& lends : lenders) {
      const std::ptrdiff_t at = app::pickLetter(caption.toStdU16String(), [&](char16_t c) {
        return std::any_of(pool.begin(), pool.end(), [&](const QWidget* w) {
          return w != box && lends(w, box) && mnemonicOf(captionOf(w)) == c;
        });
      });
      if (at < 0) continue;
      setCaption(box, markedAt(caption, at));
      break;
    }
  }
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
