// Warning and information boxes with one OK button and Yes / No questions, routed through
// interceptable handlers.
#include "ui/window/MessageBoxes.h"

#include <QMessageBox>
#include <utility>

namespace kestrix::ui {

namespace {
WarningHandler& installedHandler() {
  static WarningHandler handler;
  return handler;
}
QuestionHandler& installedQuestionHandler() {
  static QuestionHandler handler;
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

void showInformation(QWidget* parent, const QString& caption, const QString& text) {
  if (const WarningHandler& handler = installedHandler()) {
    handler(caption, text);
    return;
  }
  QMessageBox::information(parent, caption, text, QMessageBox::Ok);
}

bool askQuestion(QWidget* parent, const QString& caption, const QString& text) {
  if (const QuestionHandler& handler = installedQuestionHandler()) return handler(caption, text);
  return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

QuestionHandler setQuestionHandler(QuestionHandler handler) {
  return std::exchange(installedQuestionHandler(), std::move(handler));
}

QString programCaption() {
  return QStringLiteral("Kestrix Search & Replace");
}

}  // namespace kestrix::ui
