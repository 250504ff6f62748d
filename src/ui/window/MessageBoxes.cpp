// Warning boxes with one OK button, routed through an interceptable handler.
#include "ui/window/MessageBoxes.h"

#include <QMessageBox>
#include <utility>

namespace kestrix::ui {

namespace {
WarningHandler& installedHandler() {
  static WarningHandler handler;
  return handler;
}
}  // namespace

void showWarning(QWidget* parent, const QString& caption, const QString& text) {
  if (const WarningHandler& handler = installedHandler()) {
    handler(caption, text);
    return;
  }
  QMessageBox::warning(parent, caption, text, QMessageBox::Ok);
}

WarningHandler setWarningHandler(WarningHandler handler) {
  return std::exchange(installedHandler(), std::move(handler));
}

QString programCaption() {
  return QStringLiteral("Kestrix Search & Replace");
}

}  // namespace kestrix::ui
