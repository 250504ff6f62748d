// The main menu (File, Report, Project, Help) and the three context menus (results list,
// lines viewer, tabs). Each command is one QAction per menu caption; actions of the same
// command are kept together so their enabled state can be switched at once. Commands whose
// features are not in the window yet stay disabled.
#pragma once

#include <QAction>
#include <QList>
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace kestrix::ui {

// All actions of one command across the menus; setEnabled/setVisible switch them all.
class Command {
 public:
  void add(QAction* action) { actions_.append(action); }
  void setEnabled(bool on) const;
  bool isEnabled() const;
  const QList<QAction*>& actions() const { return actions_; }

 private:
  QList<QAction*> actions_;
};

// Connects every action of `command` to `slot` of `receiver`.
template <class Receiver>
void connectCommand(const Command& command, Receiver* receiver, void (Receiver::*slot)()) {
  for (QAction* action : command.actions())
    QObject::connect(action, &QAction::triggered, receiver,
                     [receiver, slot] { (receiver->*slot)(); });
}

class MainMenus : public QObject {
  Q_OBJECT
 public:
  // Builds the menu bar of `window` and the context menus (owned by `window`).
  explicit MainMenus(QMainWindow* window);

  // Commands the window wires and switches.
  Command executeFile, editFile, select, selectAll, deselect, saveList, saveLines, browseContext,
      deleteItems, modifySelected, modifyAll, openDirectory, copyFiles, renameFiles, deleteFiles,
      intervals, undo, eraseBackups, history, settings, createReport, batchReplace, openProject,
      saveProject;
  // "Pre&view Changes" of the list menu.
  Command preview;
  // The modification-interval marks; `intervals` holds their submenus' own actions.
  Command markFrom, markTo, markAllBrowsed, markAllSelected, markAllListed, unmarkBrowsed,
      unmarkSelected, unmarkListed;
  QAction* exitAction = nullptr;
  QAction* contentsAction = nullptr;
  QAction* aboutAction = nullptr;
  QAction* tabHelpAction = nullptr;
  QAction* tabEraseBackupAction = nullptr;
  QAction* tabExecuteAction = nullptr;
  QAction* tabSaveListAction = nullptr;

  QMenu* fileMenu = nullptr;
  QMenu* reportMenu = nullptr;
  QMenu* projectMenu = nullptr;
  QMenu* helpMenu = nullptr;
  QMenu* listMenu = nullptr;
  QMenu* linesMenu = nullptr;
  QMenu* tabMenu = nullptr;

 private:
  QAction* add(QMenu* menu, Command& command, const QString& caption, const char* name,
               const QString& key = {});
  void buildFileMenu(QMainWindow* window);
  void buildReportAndProjectMenus(QMainWindow* window);
  void buildHelpMenu(QMainWindow* window);
  void buildListMenu(QWidget* owner);
  void buildLinesMenu(QWidget* owner);
  void buildTabMenu(QWidget* owner);
  void addIntervalMenu(QMenu* parent);
  void addIntervalItems(QMenu* menu, bool viewerCaptions);
  void disableUntilWired();
};

}  // namespace kestrix::ui
