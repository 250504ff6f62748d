// The one seam through which the window shows warning boxes, so tests can record the
// caption and text instead of blocking on a modal box.
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

// The program caption used by most messages: "Kestrix Search & Replace".
QString programCaption();

}  // namespace kestrix::ui
