// The Rename Files dialog's controls and their enabling.
#include "ui/fileops/TRenameDlg.h"
#include "ui/window/MessageBoxes.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kestrix::ui {
namespace {

template <class W>
W* named(W* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

QSpinBox* positionSpin(QWidget* parent, const char* name) {
  auto* spin = named(new QSpinBox(parent), name);
  spin->setRange(1, 9999);
  spin->setValue(1);
  spin->setEnabled(false);
  return spin;
}

}  // namespace

TRenameDlg::TRenameDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("TRenameDlg");
  setDialogFlags(*this);
  setWindowTitle("Rename Files");
  setModal(true);
  PrefixEdit = named(new QLineEdit(this), "PrefixEdit");
  SuffixEdit = named(new QLineEdit(this), "SuffixEdit");
  RemoveCheckBox = named(new QCheckBox("Remove:", this), "RemoveCheckBox");
  FirstPositionSpinEdit = positionSpin(this, "FirstPositionSpinEdit");
  NumberSpinEdit = positionSpin(this, "NumberSpinEdit");
  NewExtensionCheckBox = named(new QCheckBox("New Extension:", this), "NewExtensionCheckBox");
  ExtensionEdit = named(new QLineEdit(this), "ExtensionEdit");
  ExtensionEdit->setEnabled(false);
  ClearButton = named(new QPushButton("Clear Commands", this), "ClearButton");
  RenameButton = named(new QPushButton("Rename", this), "RenameButton");
  ExitButton = named(new QPushButton("Exit", this), "ExitButton");
  RenameButton->setDefault(true);

  auto* form = new QFormLayout;
  form->addRow("Add Prefix:", PrefixEdit);
  form->addRow("Add Suffix:", SuffixEdit);
  auto* remove = new QHBoxLayout;
  remove->addWidget(RemoveCheckBox);
  form->addRow(remove);
  form->addRow("First Position:", FirstPositionSpinEdit);
  form->addRow("Number:", NumberSpinEdit);
  form->addRow(NewExtensionCheckBox, ExtensionEdit);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ClearButton);
  buttons->addStretch(1);
  buttons->addWidget(RenameButton);
  buttons->addWidget(ExitButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);

  connect(RemoveCheckBox, &QCheckBox::toggled, this, [this](bool on) {
    FirstPositionSpinEdit->setEnabled(on);
    NumberSpinEdit->setEnabled(on);
  });
  connect(NewExtensionCheckBox, &QCheckBox::toggled, ExtensionEdit, &QWidget::setEnabled);
  connect(ClearButton, &QPushButton::clicked, this, &TRenameDlg::clearCommands);
  connect(RenameButton, &QPushButton::clicked, this, [this] {
    if (onRename_) onRename_();
  });
  connect(ExitButton, &QPushButton::clicked, this, &QDialog::accept);
}

fileops::RenameRules TRenameDlg::rules() const {
  fileops::RenameRules r;
  r.prefix = PrefixEdit->text().toStdString();
  r.suffix = SuffixEdit->text().toStdString();
  r.remove = RemoveCheckBox->isChecked();
  r.firstPosition = FirstPositionSpinEdit->value();
  r.number = NumberSpinEdit->value();
  r.newExtension = NewExtensionCheckBox->isChecked();
  r.extension = ExtensionEdit->text().toStdString();
  return r;
}

void TRenameDlg::showRules(const fileops::RenameRules& r) {
  PrefixEdit->setText(QString::fromStdString(r.prefix));
  SuffixEdit->setText(QString::fromStdString(r.suffix));
  if (r.newExtension) ExtensionEdit->setText(QString::fromStdString(r.extension));
}

void TRenameDlg::clearCommands() {
  PrefixEdit->clear();
  SuffixEdit->clear();
  RemoveCheckBox->setChecked(false);
  NewExtensionCheckBox->setChecked(false);
  FirstPositionSpinEdit->setValue(1);
  NumberSpinEdit->setValue(1);
  FirstPositionSpinEdit->setEnabled(false);
  NumberSpinEdit->setEnabled(false);
  ExtensionEdit->clear();
  ExtensionEdit->setEnabled(false);
}

}  // namespace kestrix::ui
