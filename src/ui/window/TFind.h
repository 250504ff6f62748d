// window/: the main window itself: its widgets, menus, busy state, tab layouts and help.
// The main window of Kestrix Search & Replace: folder and mask boxes, the Find / Search
// and Replace / Options tabs, the results list, the lines viewer, the menus and the status
// bar. TFind builds the widgets and owns one controller per feature: the Find run, the
// tab layouts, the option handlers and the lines-viewer refresh.
#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>

#include "search/SearchRequest.h"
#include "ui/batch/BatchHost.h"
#include "ui/fileops/FileOpsHost.h"
#include "ui/find/FindHost.h"
#include "ui/modify/ModifyHost.h"
#include "ui/results/ReportHost.h"
#include "ui/settings/ProjectHost.h"
#include "ui/settings/SettingsHost.h"
#include "ui/startup/CommandLineHost.h"
#include "ui/viewer/ViewerHost.h"
#include "ui/window/WindowState.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;

namespace kestrix::ui {

class BatchReplaceCommand;
class BusyIndicator;
class CommandLineController;
class ExternalChangeCheck;
class FileLauncher;
class FileOpsController;
class TMaskForm;
class THistoryDlg;
class BusyState;
class FindRunController;
class FindTab;
class HelpWindow;
class IntervalCommands;
class LinesViewer;
class MainMenus;
class ModifyController;
class OptionHandlers;
class OptionsTab;
class ProjectCommands;
class ReportController;
class ResultsModel;
class ResultsView;
class SearchReplaceTab;
class SettingsController;
class ViewerRefresh;
class WindowGeometry;
struct StoredControls;

class TFind : public QMainWindow,
              public BatchHost,
              public FileOpsHost,
              public ModifyHost,
              public ProjectHost,
              public SettingsHost,
              public FindHost,
              public ViewerHost,
              public ReportHost,
              public CommandLineHost {
  Q_OBJECT
 public:
  // Tab indexes of PageControl1.
  enum Tab { FindPage = 0, SearchReplacePage = 1, OptionsPage = 2 };

  // Builds the whole window; parent may be null (top-level window).
  explicit TFind(QWidget* parent = nullptr);
  ~TFind() override;

  // The Find command from the Find tab ("Find") or the Search and Replace tab ("Search").
  void find(search::Origin origin);
  // The Stop buttons: raises the stop flags; the run ends at its next poll.
  void stop();
  // What "&Open Project" does once a file is chosen: saves the settings with the dialog
  // values, reads the project into the window and its dialogs, clears both results lists
  // and shows the project's tab. A missing file shows "File \"<path>\" not found" and raises
  // the abort flag; an unreadable one shows "Incorrect project file" and brings back the
  // saved settings. Returns true when the project was read.
  bool openProject(const QString& path) override;

  // The status bar and the list's commands, which the window's own parts and the tests
  // reach as well as the controllers.
  // Text of status panel 0, 1 or 2.
  QString statusText(int panel) const override;
  void setStatusText(int panel, const QString& text) override;

  // The command state update of the results list: enables the commands that depend on
  // the rows, the selection and the viewer.
  void updateCommands() override;
  // Clears the lines viewer, deselects every row and disables the found-lines commands.
  void invalidateFoundLines() override;
  // Selects `row` alone, makes it current and scrolls it into view.
  void selectRow(int row);
  // Delete Items from the list's menu, the Delete key or the Search and Replace tab.
  void deleteItems() override;
  QString editorCommand() const { return editorCommand_; }
  // Watches the browsed file after it was handed to another program.
  ExternalChangeCheck& changeCheck() { return *changeCheck_; }

  WindowState& state() { return state_; }
  FindRunController& findRun() { return *findRun_; }
  WindowGeometry& geometryController() { return *geometry_; }
  ViewerRefresh& viewerRefresh() { return *viewerRefresh_; }
  HelpWindow* helpWindow() const { return help_; }
  ReportController& reports() { return *reports_; }
  FileOpsController& fileOps() { return *fileOps_; }
  SettingsController& settings() { return *settings_; }
  ModifyController& modifyController() { return *modify_; }
  // The "History..." dialog of the undo history.
  THistoryDlg* historyDialog() const { return historyDlg_; }
  IntervalCommands& intervalCommands() { return *intervals_; }
  BatchReplaceCommand& batchReplace() { return *batch_; }
  // The start arguments and the command-line run (set its arguments before show()).
  CommandLineController& commandLine() { return *commandLine_; }

  // Controls (names as in the window's layout; tests find them by objectName too).
  QComboBox* ComboBoxPath;
  QPushButton* BrowseButton;
  QComboBox* MasksComboBox;
  QCheckBox* SensitiveCheckBox;
  QCheckBox* WholeWordsCheckBox;
  QCheckBox* ListXPCheckBox;
  QPushButton* EditFileButton;
  QPushButton* ExecuteFileButton;
  BusyIndicator* Animate1;
  QTabWidget* PageControl1;
  FindTab* findTab;
  SearchReplaceTab* replaceTab;
  OptionsTab* optionsTab;
  QWidget* TopPanel;
  QSplitter* Splitter1;
  ResultsModel* results;
  ResultsView* ListView1;
  LinesViewer* ListBox1;
  MainMenus* menus;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // The host interfaces: the feature controllers reach the window only through them.
  // What Batch Replace asks of the window.
  void showSearchReplaceTab() override;
  search::SearchRequest replaceTabSearch() override;
  void runSearch(const search::SearchRequest& request) override;
  void clearViewer() override;
  // What the file operations ask of the window.
  QString folderText() const override;
  QString browsedFileShown() const override;
  QString copyTarget() const override;
  void setCopyTarget(const QString& folder) override;
  void withdrawUndo() override;
  void checkExternalChanges() override;
  // What the project commands ask of the window.
  modify::BatchState batchState() override;
  void setBatchState(const modify::BatchState& state) override;
  void clearBothLists() override;
  void showStoredTab(int tab) override;
  void showFindTab() override;
  // What the settings controller asks of the window.
  void readControls(app::WindowSettings& settings) const override;
  void applyControls(const app::WindowSettings& settings) override;
  bool commandLineRun() const override;
  // What the modification commands ask of the window.
  const search::SearchRequest* lastSearch() const override;
  IntervalSwitches intervalSwitches() const override;
  void applySettings(modify::ModifyRequest& request) const override;
  app::HistoryCap historyCap() const override;
  QString trimFolderText() override;
  void editFileAt(const QString& fullName, int lineNumber) override;
  bool replacePageShown() const override;
  bool resultsShown() const override;
  bool searchInResultsChecked() const override;
  // What the feature controllers ask of the window (TFindHosts.cpp).
  TabQuery tabQuery(search::Origin origin) const override;
  void readWindowControls(search::SearchRequest& request) const override;
  void setFolderText(const QString& text) override;
  void setMasksText(const QString& text) override;
  void rememberFolderAndMasks(const QString& folder) override;
  void warnUser(const QString& caption, const QString& text) override;
  void searchStarting() override;
  void showEmptyResults() override;
  void beginBusy() override;
  void rewindBusyAnimation() override;
  void endBusy(bool listHasRows) override;
  void disableStopButtons() override;
  const search::SearchRequest* lastRunRequest() const override;
  search::Origin activeTabOrigin() const override;
  results::ReportConditions reportConditions(const search::SearchRequest& request,
                                             bool searchInResults) const override;
  void setSearchInResultsEnabled(bool enabled) override;
  void disableRowCommands() override;
  std::vector<bool> disableListMenu() override;
  void restoreListMenu(const std::vector<bool>& states) override;
  void holdInputs(bool hold) override;
  bool statusBarShown() const override;
  QString startFolder(SavedFile file) const override;
  void setStartFolder(SavedFile file, const QString& folder) override;
  void restoreUndoOffer() override;
  app::CommandRunFields commandRunFields() const override;
  void applyCommandRunFields(const app::CommandRunFields& fields) override;
  void runModifyAll() override;
  // The editor command of Edit File; empty means the desktop's default editor.
  void setEditorCommand(const QString& command) override { editorCommand_ = command; }

  // Opens a help topic ("Intro.htm", "Manual/FindTab.htm", ...) in the help window.
  void showHelpTopic(const QString& topicPath) override;

  // "Hide List": clears the list and collapses the window.
  void hideList();
  // The help topic of the active tab (the tab menu's Help).
  QString activeTabHelpTopic() const;
  // Execute File / Edit File on the browsed file (else the one selected row).
  void executeFile();
  void editFile();
  StoredControls storedControls() const;
  QWidget* buildTopPanel();
  // Buddies for the labels and an Alt+letter for every control, none shared in one view.
  void assignWindowMnemonics();
  void buildStatusBar();
  void buildResultsArea();
  void wireCommands();
  void wireTopPanel();
  void wireTabs();
  void wireResultsList();
  void wireModifyCommands();
  void wireReportCommands();
  void onListEmptied();
  bool browsedOrSelectedFile(QString& path, QString& name) const;
  void onTabChanged(int index);
  void browseFolder();
  void showTabMenu(const QPoint& pos);
  QList<QWidget*> busyInputs() const;

  WindowState state_;
  QLabel* statusPanels_[3] = {};
  HelpWindow* help_ = nullptr;
  std::unique_ptr<BusyState> busy_;
  std::unique_ptr<WindowGeometry> geometry_;
  std::unique_ptr<FindRunController> findRun_;
  std::unique_ptr<OptionHandlers> optionHandlers_;
  std::unique_ptr<ViewerRefresh> viewerRefresh_;
  ReportController* reports_ = nullptr;
  FileOpsController* fileOps_ = nullptr;
  ModifyController* modify_ = nullptr;
  IntervalCommands* intervals_ = nullptr;
  BatchReplaceCommand* batch_ = nullptr;
  THistoryDlg* historyDlg_ = nullptr;
  CommandLineController* commandLine_ = nullptr;
  ProjectCommands* project_ = nullptr;
  ExternalChangeCheck* changeCheck_ = nullptr;
  std::unique_ptr<FileLauncher> launcher_;
  TMaskForm* maskForm_ = nullptr;
  std::unique_ptr<SettingsController> settings_;
  QString editorCommand_;
  int previousTab_ = FindPage;
  bool tabGuard_ = false;
};

}  // namespace kestrix::ui
