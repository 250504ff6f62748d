// Picks mnemonic letters for the window's controls and keeps stray Alt+letters out of fields.
#include "ui/window/Mnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QSet>
#include <algorithm>
#include <functional>

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

bool atWordStart(const QString& caption, qsizetype i) {
  return i == 0 || !caption[i - 1].isLetterOrNumber();
}

// The position of the first letter of `caption` that `accept` takes, word starts first;
// -1 when there is none.
template <typename Accept>
qsizetype pickLetter(const QString& caption, Accept accept) {
  for (const bool wordStart : {true, false}) {
    for (qsizetype i = 0; i < caption.size(); ++i) {
      const QChar c = caption[i];
      if (c.isLetterOrNumber() && (!wordStart || atWordStart(caption, i)) && accept(c.toLower()))
        return i;
    }
  }
  return -1;
}

QString markedAt(QString caption, qsizetype at) {
  if (at >= 0) caption.insert(at, u'&');
  return caption;
}

bool isOptionBox(const QObject* w) {
  return qobject_cast<const QCheckBox*>(w) != nullptr ||
         qobject_cast<const QRadioButton*>(w) != nullptr;
}

// A control waiting for a letter: its caption, where a mark may go and where it went.
struct Slot {
  QString caption;
  QList<qsizetype> positions;  // candidate positions, best first
  qsizetype chosen = -1;
};

// Finds letters for as many slots as possible (a maximum matching of slots to free letters,
// found by augmenting paths), earlier slots first: a slot that got a letter keeps one.
class LetterMatcher {
 public:
  LetterMatcher(QList<Slot>& waiting, const QString& taken) : slots_(waiting), taken_(taken) {}

  void run() {
    for (qsizetype i = 0; i < slots_.size(); ++i) {
      QSet<QChar> seen;
      place(i, seen);
    }
  }

 private:
  // Gives slot i a free letter, else takes one from a slot that can move to another.
  bool place(qsizetype i, QSet<QChar>& seen) {
    Slot& slot = slots_[i];
    for (const qsizetype at : slot.positions) {
      const QChar c = slot.caption[at].toLower();
      if (taken_.contains(c) || holders_.contains(c)) continue;
      return hold(i, at);
    }
    for (const qsizetype at : slot.positions) {
      const QChar c = slot.caption[at].toLower();
      if (taken_.contains(c) || seen.contains(c)) continue;
      seen.insert(c);
      if (place(holders_.value(c), seen)) return hold(i, at);
    }
    return false;
  }

  bool hold(qsizetype i, qsizetype at) {
    holders_[slots_[i].caption[at].toLower()] = i;
    slots_[i].chosen = at;
    return true;
  }

  QList<Slot>& slots_;
  const QString& taken_;
  QHash<QChar, qsizetype> holders_;
};

// The letter positions of `caption`, best first: the letters least in demand (fewest
// occurrences in `contested`), word starts before the rest among equals.
QList<qsizetype> candidatePositions(const QString& caption, const QString& contested) {
  QList<qsizetype> positions;
  for (const bool wordStart : {true, false})
    for (qsizetype i = 0; i < caption.size(); ++i)
      if (caption[i].isLetterOrNumber() && wordStart == atWordStart(caption, i)) positions << i;
  std::stable_sort(positions.begin(), positions.end(), [&](qsizetype a, qsizetype b) {
    return contested.count(caption[a].toLower()) < contested.count(caption[b].toLower());
  });
  return positions;
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
  QList<Slot> waiting;
  QList<QWidget*> owners;
  for (QWidget* w : controls) {
    const QString caption = captionOf(w);
    if (!mnemonicOf(caption).isNull()) continue;
    waiting.append({caption, candidatePositions(caption, contested), -1});
    owners << w;
  }
  LetterMatcher(waiting, taken).run();
  for (qsizetype i = 0; i < waiting.size(); ++i) {
    const Slot& slot = waiting[i];
    if (slot.chosen < 0) continue;
    taken += slot.caption[slot.chosen].toLower();
    setCaption(owners[i], markedAt(slot.caption, slot.chosen));
  }
  return taken;
}

QString wantedLetters(QWidget& scope) {
  QString letters;
  for (const QWidget* w : markableControls({&scope}, false)) {
    const QString caption = captionOf(w);
    if (!mnemonicOf(caption).isNull()) continue;
    QString own;
    for (const QChar c : caption)
      if (c.isLetterOrNumber() && !own.contains(c.toLower())) own += c.toLower();
    // A short caption has few letters to choose from: its letters weigh more.
    if (!own.isEmpty()) letters += own.repeated(1 + 16 / own.size());
  }
  return letters;
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
      const qsizetype at = pickLetter(caption, [&](QChar c) {
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
