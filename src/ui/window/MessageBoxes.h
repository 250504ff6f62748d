// The one seam through which the window shows message boxes and notices and asks questions,
// so tests can record the caption and text (and answer) instead of blocking on a modal box;
// and the decorations every dialog of the program shares.
#pragma once

#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace kestrix::ui {

// Receives (caption, text) of a warning in place of the modal box.
using WarningHandler = std::function<void(const QString& caption, const QString& text)>;

// Shows a modal warning box with one OK button over `parent` (may be null), or passes the
// caption and text to the installed handler when one is set. The box is the desktop's
// standard one, wide enough to show the whole caption in its title bar.
void showWarning(QWidget* parent, const QString& caption, const QString& text);

// The modal warning box itself, whatever handler is installed (for the handlers).
void showWarningBox(QWidget* parent, const QString& caption, const QString& text);

// Installs `handler` for every later showWarning and showNotice; an empty handler restores
// the boxes. Returns the handler that was installed before.
WarningHandler setWarningHandler(WarningHandler handler);

// Shows a modal information box with one OK button, or passes it to the installed warning
// handler as showWarning does.
void showInformation(QWidget* parent, const QString& caption, const QString& text);

// Answers (caption, text) of a question in place of the modal box: true for Yes.
using QuestionHandler = std::function<bool(const QString& caption, const QString& text)>;

// Asks a Yes / No question in a modal box over `parent` (No is the default button, Escape
// answers No), or asks the installed handler when one is set. True for Yes.
bool askQuestion(QWidget* parent, const QString& caption, const QString& text);

// Installs `handler` for every later askQuestion; an empty handler restores the boxes.
// Returns the handler that was installed before.
QuestionHandler setQuestionHandler(QuestionHandler handler);

// A warning about something that could not be opened or started, naming the file it is
// about: the box offers "Copy Path", which puts `path` on the clipboard.
void showWarningWithPath(QWidget* parent, const QString& caption, const QString& text,
                         const QString& path);

// A non-modal notice over `parent`: the text, with `details` (may be empty) under "Show
// Details...". The call returns at once; the notice deletes itself when closed.
void showNotice(QWidget* parent, const QString& caption, const QString& text,
                const QString& details);

// Gives `dialog` the decorations of a dialog: a title and a close button, no minimize or
// maximize button.
void setDialogFlags(QDialog& dialog);

// The program caption used by most messages: "Kestrix Search & Replace".
QString programCaption();

}  // namespace kestrix::ui
