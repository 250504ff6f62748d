// The "Mask" dialog: a label, one edit line, OK (default, focused on show) and Cancel.
#include "ui/results/TMaskForm.h"
#include "ui/window/MessageBoxes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrix::ui {

TMaskForm::TMaskForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TMaskForm"));
  setDialogFlags(*this);
  setWindowTitle(QStringLiteral("Mask"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setModal(true);

  LabelMask = new QLabel(QStringLiteral("Please specify the mask"), this);
  LabelMask->setObjectName(QStringLiteral("LabelMask"));
  Edit1 = new QLineEdit(QStringLiteral("*.*"), this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(LabelMask);
  layout->addWidget(Edit1);
  layout->addLayout(buttons);
  setMinimumWidth(260);
}

QString TMaskForm::mask() const {
  return Edit1->text();
}

void TMaskForm::setMask(const QString& mask) {
  Edit1->setText(mask);
}

void TMaskForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Enter confirms the offered mask at once.
  OKBtn->setFocus(Qt::OtherFocusReason);
}

}  // namespace kestrix::ui
