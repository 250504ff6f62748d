// The folder ignore list and its picker.
#include "ui/settings/TPathIgnoreDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/DialogSettings.h"
#include "app/SideFiles.h"
#include "ui/settings/SettingsBackend.h"

namespace kestrix::ui {

namespace {

QString pickFolderWithDialog(QWidget* parent, const QString& folder) {
  return QFileDialog::getExistingDirectory(parent, "Select the directory", folder);
}

}  // namespace

TPathIgnoreDlg::TPathIgnoreDlg(std::shared_ptr<SettingsBackend> backend, QWidget* parent)
    : IgnoreListDlg(backend, app::kFolderIgnoreFile, "Directory Ignore List",
                    {"Enter one full path per line.", "You can use wildcards in the paths."},
                    "PathsMemo", parent),
      PathsMemo(memo()),
      pickFolder_(pickFolderWithDialog) {
  setObjectName("TPathIgnoreDlg");
  XPButton1 = new QPushButton("Browse...", this);
  XPButton1->setObjectName("XPButton1");
  IgnoreSubFoldXPCheck = new QCheckBox("Ignore Subfolders Too", this);
  IgnoreSubFoldXPCheck->setObjectName("IgnoreSubFoldXPCheck");
  auto* row = new QHBoxLayout;
  row->addWidget(IgnoreSubFoldXPCheck);
  row->addStretch();
  row->addWidget(XPButton1);
  extraArea()->addLayout(row);
  connect(XPButton1, &QPushButton::clicked, this, &TPathIgnoreDlg::browseFolder);
  IgnoreSubFoldXPCheck->setChecked(app::readIgnoreSubfolders(*backend->values));
}

TPathIgnoreDlg::~TPathIgnoreDlg() {
  app::writeIgnoreSubfolders(*backend().values, IgnoreSubFoldXPCheck->isChecked());
}

void TPathIgnoreDlg::browseFolder() {
  const QString start = lastFolder_.isEmpty() ? QDir::currentPath() : lastFolder_;
  const QString folder = pickFolder_(this, start);
  if (folder.isEmpty()) return;
  lastFolder_ = folder;
  QTextCursor cursor = PathsMemo->textCursor();
  cursor.movePosition(QTextCursor::StartOfBlock);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(QDir::toNativeSeparators(folder));
  PathsMemo->setTextCursor(cursor);
}

void TPathIgnoreDlg::takeSnapshot() {
  IgnoreListDlg::takeSnapshot();
  subfoldersSnapshot_ = IgnoreSubFoldXPCheck->isChecked();
}

void TPathIgnoreDlg::restoreSnapshot() {
  IgnoreListDlg::restoreSnapshot();
  IgnoreSubFoldXPCheck->setChecked(subfoldersSnapshot_);
}

}  // namespace kestrix::ui
