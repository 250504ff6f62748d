// Builds the menus with their captions and shortcuts.
#include "ui/window/MainMenus.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace kestrix::ui {

void Command::setEnabled(bool on) const {
  for (QAction* action : actions_) action->setEnabled(on);
}

bool Command::isEnabled() const {
  return !actions_.isEmpty() && actions_.front()->isEnabled();
}

MainMenus::MainMenus(QMainWindow* window) : QObject(window) {
  buildFileMenu(window);
  buildReportAndProjectMenus(window);
  buildHelpMenu(window);
  buildListMenu(window);
  buildLinesMenu(window);
  buildTabMenu(window);
  disableUntilWired();
}

QAction* MainMenus::add(QMenu* menu, Command& command, const QString& caption, const char* name,
                        const QString& key) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  if (!key.isEmpty()) action->setShortcut(QKeySequence(key));
  command.add(action);
  return action;
}

void MainMenus::buildFileMenu(QMainWindow* window) {
  fileMenu = window->menuBar()->addMenu("&File");
  fileMenu->setObjectName("FileMenu");
  add(fileMenu, executeFile, "&Execute File ", "ExecuteFile1", "F9");
  add(fileMenu, editFile, "Edit &File ", "EditFile1", "F4");
  fileMenu->addSeparator();
  add(fileMenu, batchReplace, "Batch Replace", "BatchReplace1", "Shift+F1");
  fileMenu->addSeparator();
  add(fileMenu, select, "&Select", "Select1");
  add(fileMenu, selectAll, "Select &All", "SelectAll1", "Ctrl+A");
  add(fileMenu, deselect, "&Deselect", "Deselect1");
  add(fileMenu, copyFiles, "&Copy Files", "CopyFiles1", "F5");
  add(fileMenu, renameFiles, "&Rename Files", "RenameFiles1", "Ctrl+F6");
  add(fileMenu, deleteFiles, "D&elete Files", "DeleteFiles1", "F8");
  fileMenu->addSeparator();
  add(fileMenu, openDirectory, "Open Directory", "OpenDirectory1", "F10");
  fileMenu->addSeparator();
  addIntervalMenu(fileMenu);
  fileMenu->addSeparator();
  add(fileMenu, undo, "&Undo", "Undo1");
  undo.actions().front()->setShortcut(QKeySequence::Undo);
  add(fileMenu, history, "&History...", "History1");
  add(fileMenu, eraseBackups, "Erase &Backups", "EraseBackup1");
  fileMenu->addSeparator();
  add(fileMenu, settings, "Settin&gs", "Settings1", "F6");
  fileMenu->addSeparator();
  exitAction = fileMenu->addAction("E&xit");
  exitAction->setObjectName("Exit1");
  exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void MainMenus::buildReportAndProjectMenus(QMainWindow* window) {
  reportMenu = window->menuBar()->addMenu("&Report");
  reportMenu->setObjectName("ReportMenu");
  add(reportMenu, createReport, "Create &Report", "CreateReport1", "F7");
  add(reportMenu, browseContext, "Browse &Context", "BrowseContext1", "F3");
  add(reportMenu, saveList, "&Save List", "SaveList1", "F2");
  add(reportMenu, saveLines, "Save &Lines", "SaveLines1", "F12");
  projectMenu = window->menuBar()->addMenu("&Project");
  projectMenu->setObjectName("ProjectMenu");
  add(projectMenu, openProject, "&Open Project", "OpenProject1", "Ctrl+F5");
  // Ctrl+F6 belongs to "Rename Files"; Save Project is reached through the menu only.
  add(projectMenu, saveProject, "&Save Project", "SaveProject1");
}

void MainMenus::buildHelpMenu(QMainWindow* window) {
  helpMenu = window->menuBar()->addMenu("&Help");
  helpMenu->setObjectName("HelpMenu");
  contentsAction = helpMenu->addAction("&Contents");
  contentsAction->setObjectName("Contents1");
  contentsAction->setShortcut(QKeySequence(Qt::Key_F1));
  aboutAction = helpMenu->addAction("&About");
  aboutAction->setObjectName("About1");
}

void MainMenus::addIntervalMenu(QMenu* parent) {
  QMenu* menu = parent->addMenu("&Modification Interval");
  menu->setObjectName("ModificationInterval1");
  intervals.add(menu->menuAction());
  addIntervalItems(menu, false);
}

// Mark From and Mark To act on the selected viewer line; Mark All and Unmark All have one
// item per scope. The viewer's own menu names its scopes with accelerators.
void MainMenus::addIntervalItems(QMenu* menu, bool viewerCaptions) {
  add(menu, markFrom, "Mark &From", "MarkFrom");
  add(menu, markTo, "Mark &To", "MarkTo");
  QMenu* all = menu->addMenu("Mark &All");
  intervals.add(all->menuAction());
  add(all, markAllBrowsed, viewerCaptions ? "For &Browsed File" : "For Browsed File",
      "MarkAllBrowsed");
  add(all, markAllSelected, viewerCaptions ? "For &Selected Files" : "For Selected Files",
      "MarkAllSelected");
  add(all, markAllListed, viewerCaptions ? "For &All Listed Files" : "For All Listed Files",
      "MarkAllListed");
  QMenu* none = menu->addMenu(viewerCaptions ? "Unmark All" : "&Unmark All");
  intervals.add(none->menuAction());
  add(none, unmarkBrowsed, "For &Browsed File", "UnmarkBrowsed");
  add(none, unmarkSelected, "For &Selected Files", "UnmarkSelected");
  add(none, unmarkListed, "For &All Listed Files", "UnmarkListed");
}

void MainMenus::buildListMenu(QWidget* owner) {
  listMenu = new QMenu(owner);
  listMenu->setObjectName("ListPopupMenu");
  add(listMenu, modifySelected, "M&odify Selected", "ModifySelected2");
  add(listMenu, modifyAll, "Modify &All", "ModifyAll2");
  add(listMenu, preview, "Pre&view Changes", "PreviewChanges2");
  listMenu->addSeparator();
  add(listMenu, executeFile, "&Execute File", "ExecuteFile2");
  add(listMenu, editFile, "Edit &File", "EditFile2");
  listMenu->addSeparator();
  add(listMenu, deleteItems, "Delete &Items", "DeleteItems2");
  listMenu->addSeparator();
  add(listMenu, saveList, "Save &List", "SaveList2");
  listMenu->addSeparator();
  add(listMenu, select, "&Select", "Select2");
  add(listMenu, selectAll, "Select &All", "SelectAll2");
  add(listMenu, deselect, "&Deselect", "Deselect2");
  add(listMenu, copyFiles, "Copy &Files", "CopyFiles2");
  add(listMenu, renameFiles, "&Rename Files", "RenameFiles2");
  add(listMenu, deleteFiles, "D&elete Files", "DeleteFiles2");
  listMenu->addSeparator();
  add(listMenu, openDirectory, "Open Directory", "OpenDirectory2");
  listMenu->addSeparator();
  addIntervalMenu(listMenu);
  listMenu->addSeparator();
  add(listMenu, settings, "Settin&gs", "Settings2");
}

void MainMenus::buildLinesMenu(QWidget* owner) {
  linesMenu = new QMenu(owner);
  linesMenu->setObjectName("LinesPopupMenu");
  add(linesMenu, executeFile, "&Execute File", "ExecuteFile3");
  add(linesMenu, editFile, "Edit &File", "EditFile3");
  add(linesMenu, browseContext, "Browse &Context", "BrowseContext3");
  linesMenu->addSeparator();
  add(linesMenu, saveLines, "&Save Lines", "SaveLines3");
  linesMenu->addSeparator();
  add(linesMenu, openDirectory, "Open Directory", "OpenDirectory3");
  linesMenu->addSeparator();
  addIntervalItems(linesMenu, true);
  linesMenu->addSeparator();
  add(linesMenu, settings, "Settin&gs", "Settings3");
}

void MainMenus::buildTabMenu(QWidget* owner) {
  tabMenu = new QMenu(owner);
  tabMenu->setObjectName("TabPopupMenu");
  // A key of its own (F9 belongs to the File menu's item); the action is added to the
  // window in TFind so that the key works while the menu is closed.
  tabExecuteAction = add(tabMenu, executeFile, "&Execute File", "ExecuteFile4", "Shift+F9");
  tabSaveListAction = add(tabMenu, saveList, "&Save List", "SaveList4");
  tabEraseBackupAction = add(tabMenu, eraseBackups, "Erase &Backup", "EraseBackup4");
  tabMenu->addSeparator();
  tabHelpAction = tabMenu->addAction("&Help");
  tabHelpAction->setObjectName("Help4");
}

void MainMenus::disableUntilWired() {
  // Reports, saved lists, file operations, projects and settings are enabled by their
  // controllers once the window has set them up.
  for (const Command* command :
       {&saveList, &saveLines, &browseContext, &openDirectory, &copyFiles, &renameFiles,
        &deleteFiles, &settings, &createReport, &openProject, &saveProject})
    command->setEnabled(false);
  // Commands that need a browsed file, rows or a search start disabled.
  for (const Command* command :
       {&executeFile, &editFile, &select, &selectAll, &deselect, &deleteItems, &modifySelected,
        &modifyAll, &preview, &undo, &eraseBackups})
    command->setEnabled(false);
}

}  // namespace kestrix::ui
