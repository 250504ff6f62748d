// Builds the query editors with their shared limits and fonts.
#include "ui/find/QueryEditors.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "search/QueryLines.h"

namespace kestrix::ui {

namespace {
QFont editorFont() {
  return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}
}  // namespace

QComboBox* makeQueryComboBox(QWidget* parent, const char* objectName) {
  auto* box = new QComboBox(parent);
  box->setObjectName(objectName);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setCompleter(nullptr);
  box->setFont(editorFont());
  box->setMaxVisibleItems(20);
  box->lineEdit()->setMaxLength(kQueryBoxLimit);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(10);
  return box;
}

QPlainTextEdit* makeQueryMemo(QWidget* parent, const char* objectName) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(objectName);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setTabChangesFocus(false);
  memo->setFont(editorFont());
  memo->setTabStopDistance(QFontMetrics(memo->font()).horizontalAdvance(' ') * 2);
  return memo;
}

QPushButton* makeButton(QWidget* parent, const char* objectName, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(objectName);
  button->setAutoDefault(false);
  return button;
}

std::vector<std::string> memoLines(const QPlainTextEdit* memo) {
  return search::splitQueryLines(memo->toPlainText().toStdString());
}

}  // namespace kestrix::ui
