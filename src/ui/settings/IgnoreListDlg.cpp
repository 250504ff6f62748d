// Ignore-list dialogs: layout, side file, snapshot and restore.
#include "ui/settings/IgnoreListDlg.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/SideFiles.h"
#include "ui/settings/SettingsBackend.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/ScreenScale.h"

namespace kestrix::ui {

IgnoreListDlg::IgnoreListDlg(std::shared_ptr<SettingsBackend> backend, const char* sideFile,
                             const QString& caption, const QStringList& hints, const char* memoName,
                             QWidget* parent)
    : QDialog(parent),
      backend_(std::move(backend)),
      sideFile_(sideFile),
      memo_(new QPlainTextEdit(this)) {
  setWindowTitle(caption);
  setDialogFlags(*this);
  setWindowModality(Qt::WindowModal);
  memo_->setObjectName(memoName);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  for (const QString& hint : hints) layout->addWidget(new QLabel(hint, this));
  layout->addWidget(memo_, 1);
  extra_ = new QVBoxLayout;
  layout->addLayout(extra_);
  OKButton = new QPushButton("OK", this);
  OKButton->setObjectName("OKButton");
  CancelButton = new QPushButton("Cancel", this);
  CancelButton->setObjectName("CancelButton");
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(OKButton, QDialogButtonBox::AcceptRole);
  buttons->addButton(CancelButton, QDialogButtonBox::RejectRole);
  layout->addWidget(buttons);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  resize(scaled(420), scaled(320));
  if (std::optional<std::string> text = app::readMemo(*backend_->files, sideFile_))
    memo_->setPlainText(QString::fromStdString(*text));
}

IgnoreListDlg::~IgnoreListDlg() {
  app::writeMemo(*backend_->files, sideFile_, listText().toStdString());
}

QString IgnoreListDlg::listText() const {
  return memo_->toPlainText();
}

void IgnoreListDlg::setListText(const QString& text) {
  memo_->setPlainText(text);
}

void IgnoreListDlg::takeSnapshot() {
  snapshot_ = listText();
}

void IgnoreListDlg::restoreSnapshot() {
  if (listText() != snapshot_) setListText(snapshot_);
}

void IgnoreListDlg::showEvent(QShowEvent* event) {
  takeSnapshot();
  QDialog::showEvent(event);
  OKButton->setFocus();
}

void IgnoreListDlg::done(int result) {
  if (result != QDialog::Accepted) restoreSnapshot();
  QDialog::done(result);
}

void IgnoreListDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    emit helpRequested("Manual/Settings.htm#IgnoreLists");
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace kestrix::ui
