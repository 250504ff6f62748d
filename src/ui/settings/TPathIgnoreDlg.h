// "Directory Ignore List": one folder pattern per line (wildcards allowed), "Browse..."
// to put a picked folder on the caret's line, and "Ignore Subfolders Too".
#pragma once

#include <functional>

#include "ui/settings/IgnoreListDlg.h"

class QCheckBox;

namespace kestrix::ui {

class TPathIgnoreDlg : public IgnoreListDlg {
  Q_OBJECT
 public:
  // Picks a folder starting in `folder`; returns it, or empty when cancelled.
  using FolderPicker = std::function<QString(QWidget* parent, const QString& folder)>;

  TPathIgnoreDlg(std::shared_ptr<SettingsBackend> backend, QWidget* parent);
  ~TPathIgnoreDlg() override;

  // "Browse...": a picked folder replaces the line the caret is on and becomes the start
  // folder of the next pick.
  void browseFolder();
  void setFolderPicker(FolderPicker picker) { pickFolder_ = std::move(picker); }
  // The last folder picked here (`InitialDirwIgnPath`).
  QString lastFolder() const { return lastFolder_; }
  void setLastFolder(const QString& folder) { lastFolder_ = folder; }

  QPlainTextEdit* PathsMemo;
  QPushButton* XPButton1;
  QCheckBox* IgnoreSubFoldXPCheck;

 protected:
  void takeSnapshot() override;
  void restoreSnapshot() override;

 private:
  FolderPicker pickFolder_;
  QString lastFolder_;
  bool subfoldersSnapshot_ = false;
};

}  // namespace kestrix::ui
