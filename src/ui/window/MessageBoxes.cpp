// Standard message boxes, notices and Yes / No questions, routed through interceptable
// handlers.
#include "ui/window/MessageBoxes.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <utility>

#include "ui/window/ScreenScale.h"

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

// A box of the desktop's style with the decorations of a dialog, at least as wide as its
// caption needs beside the title bar's icon and buttons.
QMessageBox* makeBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                     const QString& text) {
  auto* box = new QMessageBox(icon, caption, text, QMessageBox::Ok, parent);
  setDialogFlags(*box);
  QFont titleFont = box->font();
  titleFont.setBold(true);
  const int width = QFontMetrics(titleFont).horizontalAdvance(caption) + scaled(140);
  if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  return box;
}
}  // namespace

void showWarning(QWidget* parent, const QString& caption, const QString& text) {
  if (const WarningHandler& handler = installedHandler()) {
    handler(caption, text);
    return;
  }
  showWarningBox(parent, caption, text);
}

void showWarningBox(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox* box = makeBox(parent, QMessageBox::Warning, caption, text);
  box->exec();
  delete box;
}

void showWarningWithPath(QWidget* parent, const QString& caption, const QString& text,
                         const QString& path) {
  if (const WarningHandler& handler = installedHandler()) {
    handler(caption, text);
    return;
  }
  QMessageBox* box = makeBox(parent, QMessageBox::Warning, caption, text);
  QPushButton* copy = box->addButton(QStringLiteral("&Copy Path"), QMessageBox::ActionRole);
  box->setDefaultButton(QMessageBox::Ok);
  box->exec();
  if (box->clickedButton() == copy) QApplication::clipboard()->setText(path);
  delete box;
}

void showNotice(QWidget* parent, const QString& caption, const QString& text,
                const QString& details) {
  if (const WarningHandler& handler = installedHandler()) {
    handler(caption, details.isEmpty() ? text : text + "\n" + details);
    return;
  }
  QMessageBox* box = makeBox(parent, QMessageBox::Information, caption, text);
  box->setDetailedText(details);
  box->setModal(false);
  box->setWindowModality(Qt::NonModal);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->show();
}

void setDialogFlags(QDialog& dialog) {
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowCloseButtonHint);
}

WarningHandler setWarningHandler(WarningHandler handler) {
  return std::exchange(installedHandler(), std::move(handler));
}

void showInformation(QWidget* parent, const QString& caption, const QString& text) {
  if (const WarningHandler& handler = installedHandler()) {
    handler(caption, text);
    return;
  }
  QMessageBox* box = makeBox(parent, QMessageBox::Information, caption, text);
  box->exec();
  delete box;
}

bool askQuestion(QWidget* parent, const QString& caption, const QString& text) {
  if (const QuestionHandler& handler = installedQuestionHandler()) return handler(caption, text);
  QMessageBox* box = makeBox(parent, QMessageBox::Question, caption, text);
  box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  box->setDefaultButton(QMessageBox::No);
  box->setEscapeButton(QMessageBox::No);
  const bool yes = box->exec() == QMessageBox::Yes;
  delete box;
  return yes;
}

QuestionHandler setQuestionHandler(QuestionHandler handler) {
  return std::exchange(installedQuestionHandler(), std::move(handler));
}

QString programCaption() {
  return QStringLiteral("Kestrix Search & Replace");
}

}  // namespace kestrix::ui
