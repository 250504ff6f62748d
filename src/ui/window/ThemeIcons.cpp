// Theme icons with fallbacks for the main window's commands and buttons.
#include "ui/window/ThemeIcons.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QPushButton>

#include "ui/find/FindTab.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/window/MainMenus.h"
#include "ui/window/TFind.h"

namespace kestrix::ui {

QIcon themeIcon(const char* name, QStyle::StandardPixmap fallback) {
  const QIcon fromStyle =
      fallback == QStyle::SP_CustomBase ? QIcon() : QApplication::style()->standardIcon(fallback);
  return QIcon::fromTheme(QString::fromLatin1(name), fromStyle);
}

namespace {
void setIcon(const Command& command, const QIcon& icon) {
  for (QAction* action : command.actions()) action->setIcon(icon);
}
}  // namespace

void applyThemeIcons(TFind& window) {
  MainMenus& m = *window.menus;
  const struct {
    const Command* command;
    const char* name;
    QStyle::StandardPixmap fallback;
  } commands[] = {
      {&m.openProject, "document-open", QStyle::SP_DialogOpenButton},
      {&m.saveProject, "document-save", QStyle::SP_DialogSaveButton},
      {&m.saveList, "document-save-as", QStyle::SP_DialogSaveButton},
      {&m.saveLines, "document-save-as", QStyle::SP_DialogSaveButton},
      {&m.executeFile, "system-run", QStyle::SP_MediaPlay},
      {&m.editFile, "document-edit", QStyle::SP_FileIcon},
      {&m.openDirectory, "folder-open", QStyle::SP_DirOpenIcon},
      {&m.copyFiles, "edit-copy", QStyle::SP_ArrowForward},
      {&m.renameFiles, "edit-rename", QStyle::SP_FileLinkIcon},
      {&m.deleteFiles, "user-trash", QStyle::SP_TrashIcon},
      {&m.deleteItems, "list-remove", QStyle::SP_DialogDiscardButton},
      {&m.createReport, "text-html", QStyle::SP_FileDialogDetailedView},
      {&m.browseContext, "document-preview", QStyle::SP_FileDialogContentsView},
      {&m.settings, "preferences-system", QStyle::SP_FileDialogInfoView},
      {&m.batchReplace, "edit-find-replace", QStyle::SP_FileDialogListView},
      {&m.modifyAll, "edit-find-replace", QStyle::SP_DialogApplyButton},
      {&m.modifySelected, "edit-find-replace", QStyle::SP_DialogApplyButton},
      {&m.preview, "document-preview", QStyle::SP_FileDialogContentsView},
      {&m.eraseBackups, "edit-clear", QStyle::SP_DialogResetButton},
      {&m.undo, "edit-undo", QStyle::SP_ArrowBack},
      {&m.select, "edit-select", QStyle::SP_DialogYesButton},
      {&m.selectAll, "edit-select-all", QStyle::SP_DialogYesButton},
      {&m.deselect, "edit-select-none", QStyle::SP_DialogNoButton},
      {&m.history, "document-open-recent", QStyle::SP_BrowserReload},
      {&m.intervals, "format-justify-fill", QStyle::SP_ToolBarVerticalExtensionButton},
  };
  for (const auto& c : commands) setIcon(*c.command, themeIcon(c.name, c.fallback));
  if (m.exitAction != nullptr)
    m.exitAction->setIcon(themeIcon("application-exit", QStyle::SP_DialogCloseButton));
  if (m.contentsAction != nullptr)
    m.contentsAction->setIcon(themeIcon("help-contents", QStyle::SP_DialogHelpButton));
  if (m.aboutAction != nullptr)
    m.aboutAction->setIcon(themeIcon("help-about", QStyle::SP_MessageBoxInformation));

  const struct {
    QAbstractButton* button;
    const char* name;
    QStyle::StandardPixmap fallback;
  } buttons[] = {
      {window.findTab->FindButton, "edit-find", QStyle::SP_FileDialogContentsView},
      {window.replaceTab->SearchButton, "edit-find", QStyle::SP_FileDialogContentsView},
      {window.findTab->StopButton, "process-stop", QStyle::SP_BrowserStop},
      {window.replaceTab->StopReplaceButton, "process-stop", QStyle::SP_BrowserStop},
      {window.replaceTab->UndoButton, "edit-undo", QStyle::SP_ArrowBack},
      {window.replaceTab->ModifyAllButton, "edit-find-replace", QStyle::SP_DialogApplyButton},
      {window.replaceTab->ModifySelectedButton, "edit-find-replace", QStyle::SP_DialogApplyButton},
      {window.replaceTab->PreviewButton, "document-preview", QStyle::SP_FileDialogContentsView},
      {window.replaceTab->DeleteItemsButton, "list-remove", QStyle::SP_DialogDiscardButton},
      {window.findTab->HideListButton, "view-hidden", QStyle::SP_DialogCloseButton},
      {window.replaceTab->HideListReplaceButton, "view-hidden", QStyle::SP_DialogCloseButton},
      {window.EditFileButton, "document-edit", QStyle::SP_FileIcon},
      {window.ExecuteFileButton, "system-run", QStyle::SP_MediaPlay},
      {window.BrowseButton, "folder-open", QStyle::SP_DirOpenIcon},
  };
  for (const auto& b : buttons) b.button->setIcon(themeIcon(b.name, b.fallback));
}

}  // namespace kestrix::ui
