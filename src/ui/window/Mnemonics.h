// Keyboard mnemonics (Alt+letter) for the main window: buttons, check boxes, radio buttons
// and labels with a buddy get an underlined letter that no other control shown at the same
// time uses, push buttons first, as long as their captions offer a free letter; and an
// Alt+letter that no mnemonic takes never types into a text field.
#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

namespace kestrix::ui {

// Gives each control under `scope` without a mnemonic the first letter of its caption
// (preferring the start of a word) that is not in `taken`; returns `taken` with the
// letters used added (lower case). Controls with an "&" keep theirs. With
// `pushButtonsOnly`, only push buttons get a letter.
QString assignMnemonics(QWidget& scope, QString taken, bool pushButtonsOnly = false);

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
