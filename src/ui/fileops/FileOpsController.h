// fileops/: copy, delete, rename, open and edit the listed files.
// The File menu's operations on the selected rows: Copy Files, Delete Files (to the desktop
// trash), Rename Files (TRenameDlg) and Open Directory. The questions go through the
// confirmation dialogs; the list follows what happened on disk.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "fileops/FileOps.h"
#include "fileops/Questions.h"

class QWidget;

namespace kestrix::ui {

class ConfirmDialog;
class FileOpsHost;
class MainMenus;
class ResultsModel;
class ResultsView;
class TRenameDlg;
class ViewerRefresh;
struct WindowState;

class FileOpsController : public QObject {
  Q_OBJECT
 public:
  // Picks a folder ("Select the directory", starting at `start`); empty for Cancel.
  using FolderPicker = std::function<QString(const QString& start)>;
  // Shows `folder` with `fullName` selected; false when no file manager could be started.
  using FolderShower = std::function<bool(const QString& folder, const QString& fullName)>;

  // The dialogs and messages open over `window`.
  FileOpsController(QWidget& window, WindowState& state, ResultsModel& results, ResultsView& list,
                    ViewerRefresh& viewer, MainMenus& menus, FileOpsHost& host);

  void copyFiles();
  void deleteFiles();
  void renameFiles();
  void openDirectory();

  // Seams: tests inject a trash into a test folder, a picker and a shower.
  void setTrash(fileops::TrashFunction trash) { trash_ = std::move(trash); }
  void setFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }
  void setFolderShower(FolderShower shower) { folderShower_ = std::move(shower); }
  // The remembered copy destination, kept with the settings; the program's own folder
  // until a copy chose one.
  QString copyDestination() const;

  ConfirmDialog* copyDialog() const { return copyDlg_; }
  ConfirmDialog* deleteDialog() const { return delFilesDlg_; }
  ConfirmDialog* protectedDialog() const { return delReadOnlyDlg_; }
  TRenameDlg* renameDialog() const { return renameDlg_; }

 private:
  std::vector<std::string> selectedNames(std::vector<int>& rows) const;
  // Asks `question` in `dialog` with Yes, Skip, Yes to All and Cancel (`offerAll`) or OK
  // and Cancel; its file name is shortened to `limitPx` (at 96 dots per inch), keeping
  // `head` characters before the "...".
  fileops::Decision ask(ConfirmDialog& dialog, const fileops::Question& question, bool offerAll,
                        int limitPx, int head);
  fileops::Decision askProtected(const std::string& fullName, bool rename, bool several);
  void applyRename();
  void afterRenameDialog();

  QWidget& window_;
  WindowState& state_;
  ResultsModel& results_;
  ResultsView& list_;
  ViewerRefresh& viewer_;
  FileOpsHost& host_;
  ConfirmDialog* copyDlg_;
  ConfirmDialog* delFilesDlg_;
  ConfirmDialog* delReadOnlyDlg_;
  TRenameDlg* renameDlg_;
  fileops::TrashFunction trash_;
  FolderPicker folderPicker_;
  FolderShower folderShower_;
};

}  // namespace kestrix::ui
