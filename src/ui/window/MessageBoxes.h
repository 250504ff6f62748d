// The one seam through which the window shows message boxes and asks questions, so tests
// can record the caption and text (and answer) instead of blocking on a modal box.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace kestrix::ui {

// Receives (caption, text) of a warning in place of the modal box.
using WarningHandler = std::function<void(const QString& caption, const QString& text)>;

// Shows a modal warning box with one OK button over `parent` (may be null), or passes the
// caption and text to the installed handler when one is set.
void showWarning(QWidget* parent, const QString& caption, const QString& text);

// Installs `handler` for every later showWarning; an empty handler restores the boxes.
// Returns the handler that was installed before.
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

// The program caption used by most messages: "Kestrix Search & Replace".
QString programCaption();

}  // namespace kestrix::ui
