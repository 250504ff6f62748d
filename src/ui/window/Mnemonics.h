// Keyboard mnemonics (Alt+letter) for the main window: buttons, check boxes, radio buttons
// and labels with a buddy get an underlined letter that no other control shown at the same
// time uses, push buttons first, as long as their captions offer a free letter. A tab with
// more controls than the alphabet has letters lets the last option boxes share a letter,
// with their own group where they can (Alt+letter then moves between the holders in turn).
// An Alt+letter that no mnemonic takes never types into a text field.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QWidget>

namespace kestrix::ui {

// Gives controls under `scopes` without a mnemonic a letter of their caption that is not in
// `taken`, as many controls as the letters allow, in order of priority (push buttons, then
// the other buttons, then labels with a buddy): a control that could have a letter is not
// left without one for a later control. Letters that occur often in `contested` are chosen
// last. Returns `taken` with the letters used added (lower case). Controls with an "&" keep
// theirs. With `pushButtonsOnly`, only push buttons get a letter.
QString assignMnemonics(const QList<QWidget*>& scopes, QString taken, bool pushButtonsOnly = false,
                        const QString& contested = {});

// The letters the controls under `scope` still without a mnemonic could take, each once per
// control (for `contested`).
QString wantedLetters(QWidget& scope);

// Gives each check box and radio button under `scope` still without a mnemonic (the letters
// of its caption are all taken) a letter of its caption that another control under `scope`
// holds: an option box of the same group if one can, else any option box, else a field's
// label, else a box or label under `neighbour` (shown beside `scope`); never a push button's.
// Pressing the shared Alt+letter focuses the holders in turn.
void shareMnemonics(QWidget& scope, QWidget& neighbour);

// The mnemonic letter of a caption (lower case), or a null QChar.
QChar mnemonicOf(const QString& caption);

// Swallows Alt+letter key presses that reach a widget of `window` (no mnemonic or shortcut
// took them), so that they never type into a field. Parented to `window`.
class AltKeyGuard : public QObject {
  Q_OBJECT
 public:
  explicit AltKeyGuard(QWidget& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& window_;
};

}  // namespace kestrix::ui
