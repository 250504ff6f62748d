// The main window: builds the layout, the status bar and the menus, and wires the controls
// to the controllers that TFind owns.
#include "ui/window/TFind.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/Platform.h"
#include "ui/batch/BatchReplaceCommand.h"
#include "ui/batch/TBatchDlg.h"
#include "ui/fileops/EditorCommand.h"
#include "ui/fileops/ExternalChangeCheck.h"
#include "ui/fileops/FileLauncher.h"
#include "ui/fileops/FileOpsController.h"
#include "ui/find/FindRunController.h"
#include "ui/find/FindTab.h"
#include "ui/find/QueryEditors.h"
#include "ui/history/THistoryDlg.h"
#include "ui/history/WindowHistory.h"
#include "ui/modify/IntervalCommands.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/ModifyEnableRules.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ReportController.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/results/TMaskForm.h"
#include "ui/settings/OptionsTab.h"
#include "ui/settings/ProjectCommands.h"
#include "ui/settings/SettingsController.h"
#include "ui/settings/SettingsMapping.h"
#include "ui/startup/CommandLineController.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/viewer/ViewerRefresh.h"
#include "ui/window/BusyIndicator.h"
#include "ui/window/BusyState.h"
#include "ui/window/HelpWindow.h"
#include "ui/window/MainMenus.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/Mnemonics.h"
#include "ui/window/OptionHandlers.h"
#include "ui/window/ScreenScale.h"
#include "ui/window/ThemeIcons.h"
#include "ui/window/WindowGeometry.h"
#include "ui/window/WindowKeys.h"

namespace kestrix::ui {

TFind::TFind(QWidget* parent) : QMainWindow(parent) {
  setObjectName("TFind");
  setWindowTitle(programCaption());
  menus = new MainMenus(this);
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 2, 4, 0);
  layout->setSpacing(2);
  layout->addWidget(buildTopPanel());
  PageControl1 = new QTabWidget(central);
  PageControl1->setObjectName("PageControl1");
  findTab = new FindTab;
  replaceTab = new SearchReplaceTab;
  optionsTab = new OptionsTab;
  PageControl1->addTab(findTab, "Find");
  PageControl1->addTab(replaceTab, "Search and Replace");
  PageControl1->addTab(optionsTab, "Options");
  layout->addWidget(PageControl1);
  buildResultsArea();
  layout->addWidget(Splitter1, 1);
  layout->addStretch(0);
  setCentralWidget(central);
  buildStatusBar();
  // A window of its own, so that it stays usable while a settings dialog is open.
  help_ = new HelpWindow(nullptr);
  maskForm_ = new TMaskForm(this);
  changeCheck_ = new ExternalChangeCheck(this);
  launcher_ = std::make_unique<FileLauncher>(*changeCheck_);
  launcher_->setWarningHook(
      [this](const QString& caption, const QString& text) { showWarning(this, caption, text); });
  ListView1->setMaskForm(maskForm_);
  ListView1->setFileLauncher(launcher_.get());
  ListView1->setWarningHook(
      [this](const QString& caption, const QString& text) { showWarning(this, caption, text); });

  busy_ = std::make_unique<BusyState>(
      busyInputs(), QList<QAbstractButton*>{findTab->StopButton, replaceTab->StopReplaceButton},
      PageControl1);
  geometry_ = std::make_unique<WindowGeometry>(*this);
  findRun_ = std::make_unique<FindRunController>(this, *this, state_, *results, *ListView1);
  optionHandlers_ = std::make_unique<OptionHandlers>(*this);
  viewerRefresh_ =
      std::make_unique<ViewerRefresh>(this, *this, state_, *results, *ListView1, *ListBox1);
  reports_ = new ReportController(
      {*this, *this, state_, *results, *ListView1, *ListBox1, *viewerRefresh_, *findRun_});
  fileOps_ =
      new FileOpsController(*this, state_, *results, *ListView1, *viewerRefresh_, *menus, *this);
  const ModifyContext modifyContext{*this,     state_,          *results,    *ListView1,
                                    *ListBox1, *viewerRefresh_, *replaceTab, *menus,
                                    *busy_,    *Animate1,       *this};
  modify_ = new ModifyController(modifyContext);
  ModifyEnableRules& rules = modify_->rules();
  connect(findRun_.get(), &FindRunController::finished, &rules, &ModifyEnableRules::searchFinished);
  connect(PageControl1, &QTabWidget::currentChanged, &rules, &ModifyEnableRules::pageChanged);
  connect(ListXPCheckBox, &QCheckBox::toggled, &rules, &ModifyEnableRules::apply);
  connect(optionsTab, &OptionsTab::regexOptionChanged, &rules,
          &ModifyEnableRules::regexOptionChanged);
  intervals_ = new IntervalCommands(modifyContext, rules);
  batch_ = new BatchReplaceCommand(*this, state_, *results, *modify_, *this);
  historyDlg_ = new THistoryDlg(this, windowHistoryHooks(*modify_));
  wireTopPanel();
  wireTabs();
  wireCommands();
  wireResultsList();
  wireModifyCommands();
  wireReportCommands();
  new WindowKeys(*this);
  assignWindowMnemonics();
  applyThemeIcons(*this);
  changeCheck_->watch(this);
  qApp->installEventFilter(this);
  geometry_->applyTabLayout();
  settings_ = std::make_unique<SettingsController>(*this, state_, *geometry_, *results, *ListView1,
                                                   *Splitter1, *menus, *this);
  commandLine_ =
      new CommandLineController({*this, *this, state_, *results, *ListView1, *findRun_, *reports_});
  project_ = new ProjectCommands(*this, state_, *settings_, *menus, *this);
}

bool TFind::openProject(const QString& path) {
  return project_->openProject(path);
}

TFind::~TFind() {
  settings_->saveSettings(false);
  qApp->removeEventFilter(this);
  // The modification controllers listen to widgets: they go first.
  delete batch_;
  delete intervals_;
  delete modify_;
  // The controllers go before the child widgets: no widget signal may reach them after.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  delete help_;
}

void TFind::assignWindowMnemonics() {
  optionsTab->SizeLabel->setBuddy(optionsTab->SizeSpinEdit);
  optionsTab->LastModifiedLabel->setBuddy(optionsTab->MinDateTimePicker);
  optionsTab->AndLabel->setBuddy(optionsTab->MaxDateTimePicker);
  optionsTab->DaysAgoLabel->setBuddy(optionsTab->DaysAgoSpinEdit);
  // The menus' letters and the top panel's are in view with every tab.
  QString menuLetters;
  for (const QAction* menu : menuBar()->actions())
    if (const QChar letter = mnemonicOf(menu->text()); !letter.isNull()) menuLetters += letter;
  // The crowded Search and Replace tab picks the top panel's letters together with its own,
  // avoiding where it can the letters the other tabs need; push buttons (the commands) first.
  const QString wanted = wantedLetters(*findTab) + wantedLetters(*optionsTab);
  assignMnemonics({TopPanel, replaceTab}, menuLetters, true, wanted);
  assignMnemonics({TopPanel, replaceTab}, menuLetters, false, wanted);
  const QString top = assignMnemonics({TopPanel}, menuLetters);  // the letters it now holds
  for (QWidget* tab : QList<QWidget*>{findTab, optionsTab}) {
    assignMnemonics({tab}, top, true);
    assignMnemonics({tab}, top);
  }
  for (QWidget* tab : QList<QWidget*>{findTab, replaceTab, optionsTab})
    shareMnemonics(*tab, *TopPanel);
  new AltKeyGuard(*this);
}

QWidget* TFind::buildTopPanel() {
  TopPanel = new QWidget(this);
  TopPanel->setObjectName("TopPanel");
  ComboBoxPath = makeQueryComboBox(TopPanel, "ComboBoxPath");
  ComboBoxPath->setFont(QFont());
  ComboBoxPath->setEditText(QDir::homePath());
  BrowseButton = makeButton(TopPanel, "BrowseButton", "Browse...");
  MasksComboBox = makeQueryComboBox(TopPanel, "MasksComboBox");
  MasksComboBox->setFont(QFont());
  MasksComboBox->addItems({"*.html; *.htm", "*.txt"});
  MasksComboBox->setEditText("*.*");
  SensitiveCheckBox = new QCheckBox("Case Sensitive", TopPanel);
  SensitiveCheckBox->setObjectName("SensitiveCheckBox");
  WholeWordsCheckBox = new QCheckBox("Whole Words", TopPanel);
  WholeWordsCheckBox->setObjectName("WholeWordsCheckBox");
  ListXPCheckBox = new QCheckBox("Search in Results", TopPanel);
  ListXPCheckBox->setObjectName("ListXPCheckBox");
  ListXPCheckBox->setEnabled(false);
  EditFileButton = makeButton(TopPanel, "EditFileButton", "Edit File");
  ExecuteFileButton = makeButton(TopPanel, "ExecuteFileButton", "Execute File");
  EditFileButton->setEnabled(false);
  ExecuteFileButton->setEnabled(false);
  Animate1 = new BusyIndicator(TopPanel);

  auto* grid = new QGridLayout(TopPanel);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setVerticalSpacing(2);
  auto* folderLabel = new QLabel("Folder:", TopPanel);
  folderLabel->setBuddy(ComboBoxPath);
  grid->addWidget(folderLabel, 0, 0);
  grid->addWidget(ComboBoxPath, 0, 1, 1, 4);
  grid->addWidget(BrowseButton, 0, 5);
  grid->addWidget(Animate1, 0, 6, 2, 1, Qt::AlignCenter);
  auto* masksLabel = new QLabel("Masks:", TopPanel);
  masksLabel->setBuddy(MasksComboBox);
  grid->addWidget(masksLabel, 1, 0);
  grid->addWidget(MasksComboBox, 1, 1);
  grid->addWidget(SensitiveCheckBox, 1, 2);
  grid->addWidget(WholeWordsCheckBox, 1, 3);
  grid->addWidget(ListXPCheckBox, 1, 4);
  auto* fileButtons = new QHBoxLayout;
  fileButtons->addWidget(EditFileButton);
  fileButtons->addWidget(ExecuteFileButton);
  grid->addLayout(fileButtons, 1, 5);
  grid->setColumnStretch(1, 1);
  Animate1->setFixedSize(Animate1->sizeHint());
  return TopPanel;
}

void TFind::buildResultsArea() {
  Splitter1 = new QSplitter(Qt::Vertical, this);
  Splitter1->setObjectName("Splitter1");
  Splitter1->setChildrenCollapsible(false);
  results = new ResultsModel(this);
  ListView1 = new ResultsView(Splitter1);
  ListView1->setObjectName("ListView1");
  ListView1->setScale(screenDpi());
  ListView1->setModel(results);
  ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
  ListBox1 = new LinesViewer(Splitter1);
  ListBox1->setObjectName("ListBox1");
  ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
  for (QWidget* pane : std::initializer_list<QWidget*>{ListView1, ListBox1})
    pane->setMinimumHeight(scaled(32));
  Splitter1->setStretchFactor(0, 3);
  Splitter1->setStretchFactor(1, 2);
}

void TFind::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("StatusBar1");
  bar->setSizeGripEnabled(true);
  for (int i = 0; i < 3; ++i) {
    statusPanels_[i] = new QLabel(bar);
    statusPanels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
    statusPanels_[i]->setFrameShape(QFrame::Panel);
    statusPanels_[i]->setFrameShadow(QFrame::Sunken);
    bar->addWidget(statusPanels_[i], i == 1 ? 1 : 0);
  }
  statusPanels_[0]->setFixedWidth(scaled(120));
  statusPanels_[2]->setMinimumWidth(scaled(160));
}

QList<QWidget*> TFind::busyInputs() const {
  QList<QWidget*> inputs = {ComboBoxPath,       BrowseButton,   MasksComboBox,  SensitiveCheckBox,
                            WholeWordsCheckBox, ListXPCheckBox, EditFileButton, ExecuteFileButton};
  inputs.append(static_cast<QWidget*>(menuBar()));
  for (QWidget* tab : {static_cast<QWidget*>(findTab), static_cast<QWidget*>(replaceTab),
                       static_cast<QWidget*>(optionsTab)}) {
    for (QWidget* child : tab->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (child != findTab->StopButton && child != replaceTab->StopReplaceButton)
        inputs.append(child);
    }
  }
  return inputs;
}

void TFind::wireTopPanel() {
  connect(BrowseButton, &QPushButton::clicked, this, &TFind::browseFolder);
  connect(ListXPCheckBox, &QCheckBox::toggled, this, [this](bool on) {
    // Searching in results reads the listed files, not the folder.
    ComboBoxPath->setEnabled(!(on && results->rowCount() > 0));
  });
}

void TFind::wireTabs() {
  connect(findTab->FindButton, &QPushButton::clicked, this, [this] { find(search::Origin::Find); });
  connect(replaceTab->SearchButton, &QPushButton::clicked, this,
          [this] { find(search::Origin::SearchAndReplace); });
  connect(findTab->StopButton, &QPushButton::clicked, this, &TFind::stop);
  connect(replaceTab->StopReplaceButton, &QPushButton::clicked, this, &TFind::stop);
  connect(findTab->HideListButton, &QPushButton::clicked, this, &TFind::hideList);
  connect(replaceTab->HideListReplaceButton, &QPushButton::clicked, this, &TFind::hideList);
  connect(PageControl1, &QTabWidget::currentChanged, this, &TFind::onTabChanged);
  PageControl1->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(PageControl1->tabBar(), &QWidget::customContextMenuRequested, this, &TFind::showTabMenu);
}

void TFind::wireCommands() {
  connect(menus->exitAction, &QAction::triggered, this, &QWidget::close);
  connect(menus->fileMenu, &QMenu::aboutToShow, this, &TFind::updateCommands);
  connect(menus->reportMenu, &QMenu::aboutToShow, this, &TFind::updateCommands);
  connect(menus->contentsAction, &QAction::triggered, this, [this] { showHelpTopic("Intro.htm"); });
  connect(menus->tabHelpAction, &QAction::triggered, this,
          [this] { showHelpTopic(activeTabHelpTopic()); });
  connect(menus->aboutAction, &QAction::triggered, this, [this] {
    QMessageBox::about(
        this, "About " + programCaption(),
        programCaption() + "\n\nFinds files by their contents and changes them in bulk.");
  });
  connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (results->rowCount() == 0 || state_.busy) return;
    state_.stop.run = state_.stop.viewer = true;
    updateCommands();
    setStatusText(1, {});
    // The modification commands and Delete Items belong to the Search and Replace tab.
    const bool replacePage = PageControl1->currentIndex() == SearchReplacePage;
    for (const Command* command :
         {&menus->modifySelected, &menus->modifyAll, &menus->preview, &menus->deleteItems})
      for (QAction* action : command->actions())
        if (action->parent() == menus->listMenu) action->setVisible(replacePage);
    menus->listMenu->popup(ListView1->viewport()->mapToGlobal(pos));
  });
  connect(ListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (!ListBox1->hasLines() || state_.busy) return;
    menus->linesMenu->popup(ListBox1->viewport()->mapToGlobal(pos));
  });
  // Shortcuts can still reach the list commands while a run is busy; they wait for it.
  for (const Command* command : {&menus->select, &menus->deselect}) {
    const bool select = command == &menus->select;
    for (QAction* action : command->actions())
      connect(action, &QAction::triggered, this, [this, select] {
        if (state_.busy) return;
        select ? ListView1->selectByMask() : ListView1->deselectByMask();
      });
  }
  for (QAction* action : menus->selectAll.actions())
    connect(action, &QAction::triggered, this, [this] {
      if (!state_.busy) ListView1->selectAllRows();
    });
  for (QAction* action : menus->deleteItems.actions())
    connect(action, &QAction::triggered, this, &TFind::deleteItems);
  for (QAction* action : menus->executeFile.actions())
    connect(action, &QAction::triggered, this, &TFind::executeFile);
  // The tab menu's Execute File key works while the menu is closed, on every tab (as F9).
  addAction(menus->tabExecuteAction);
  connect(menus->tabMenu, &QMenu::aboutToHide, this,
          [this] { menus->tabExecuteAction->setVisible(true); });
  for (QAction* action : menus->editFile.actions())
    connect(action, &QAction::triggered, this, &TFind::editFile);
  connect(EditFileButton, &QPushButton::clicked, this, &TFind::editFile);
  connect(ExecuteFileButton, &QPushButton::clicked, this, &TFind::executeFile);
  connect(replaceTab->DeleteItemsButton, &QPushButton::clicked, this, &TFind::deleteItems);
  connect(ListBox1, &LinesViewer::editRequested, this, &TFind::editFile);
}

void TFind::wireResultsList() {
  connect(ListView1, &ResultsView::currentRowChanged, this, [this](int row) {
    if (state_.busy || row < 0) return;
    state_.stop.viewer = false;
    state_.listOrigin =
        PageControl1->currentIndex() == FindPage ? ListOrigin::Find : ListOrigin::SearchAndReplace;
    viewerRefresh_->scheduleRefresh();
  });
  connect(ListView1, &ResultsView::rowSelectionChanged, this, [this] {
    if (state_.busy) return;
    // The browsed file lost its selection while others stay selected: its lines go.
    const int browsed = viewerRefresh_->browsedRow();
    if (browsed >= 0 && !ListView1->selectionModel()->isRowSelected(browsed, {}) &&
        ListView1->selectionModel()->hasSelection())
      viewerRefresh_->clearViewer();
    viewerRefresh_->scheduleRefresh();
    updateCommands();
  });
  connect(ListView1, &ResultsView::mousePressed, this, [this](Qt::MouseButton button, int row) {
    if (state_.busy) return;
    if (button == Qt::LeftButton) {
      // A click lets the viewer follow again; a click on a row also clears a stale stop.
      state_.stop.viewer = false;
      if (row >= 0) state_.stop.abortRequested = false;
    } else if (button == Qt::RightButton) {
      state_.stop.run = state_.stop.viewer = true;
    }
  });
  connect(ListView1, &ResultsView::statusTextChanged, this,
          [this](const QString& text) { setStatusText(0, text); });
  connect(ListView1, &ResultsView::listEmptied, this, &TFind::onListEmptied);
  connect(ListView1, &ResultsView::deleteKeyPressed, this, [this] {
    const int tab = PageControl1->currentIndex();
    if ((tab == FindPage && findTab->FindButton->isEnabled()) ||
        (tab == SearchReplacePage && replaceTab->DeleteItemsButton->isEnabled()))
      deleteItems();
  });
  connect(ListView1, &ResultsView::homePressed, this,
          [this] { viewerRefresh_->scheduleRefresh(); });
  connect(ListView1, &ResultsView::maskCommandDone, this, [this] {
    state_.stop.run = state_.stop.viewer = true;
    updateCommands();
  });
  connect(changeCheck_, &ExternalChangeCheck::fileChanged, this, [this](const QString& name) {
    state_.stop.clearAll();
    if (name == viewerRefresh_->browsedFullName()) viewerRefresh_->rescanBrowsedFile();
  });
}

void TFind::wireModifyCommands() {
  const auto onEach = [this](const Command& command, auto handler) {
    for (QAction* action : command.actions())
      connect(action, &QAction::triggered, modify_, handler);
  };
  onEach(menus->modifySelected, [this] { modify_->modifySelected(); });
  onEach(menus->modifyAll, [this] { modify_->modifyAll(); });
  onEach(menus->preview, [this] { modify_->preview(); });
  onEach(menus->eraseBackups, [this] { modify_->eraseBackups(); });
  onEach(menus->batchReplace, [this] { batch_->run(); });
  onEach(menus->history, [this] {
    if (!state_.busy) historyDlg_->showHistory();
  });
  connect(replaceTab->ModifySelectedButton, &QPushButton::clicked, modify_,
          &ModifyController::modifySelected);
  connect(replaceTab->ModifyAllButton, &QPushButton::clicked, modify_,
          &ModifyController::modifyAll);
  connect(replaceTab->PreviewButton, &QPushButton::clicked, modify_, &ModifyController::preview);
  connect(replaceTab->UndoButton, &QPushButton::clicked, modify_, &ModifyController::undo);
}

void TFind::deleteItems() {
  if (state_.busy || !geometry_->resultsShown()) return;
  setStatusText(1, {});
  withdrawUndo();
  const int browsed = viewerRefresh_->browsedRow();
  const bool browsedGoes = browsed >= 0 && ListView1->selectionModel()->isRowSelected(browsed, {});
  if (browsedGoes)
    viewerRefresh_->clearViewer();
  else if (browsed >= 0)
    viewerRefresh_->forgetBrowsedRow();
  ListView1->deleteSelectedItems();
  updateCommands();
}

void TFind::onListEmptied() {
  viewerRefresh_->clearViewer();
  setStatusText(0, {});
  ListXPCheckBox->setChecked(false);
  ListXPCheckBox->setEnabled(false);
  ComboBoxPath->setEnabled(true);
  state_.listOrigin = ListOrigin::None;
  geometry_->collapse();
}

bool TFind::browsedOrSelectedFile(QString& path, QString& name) const {
  int row = viewerRefresh_->browsedRow();
  if (row < 0) {
    const std::vector<int> selected = ListView1->selectedRows();
    if (selected.size() != 1) return false;
    row = selected.front();
  }
  if (row >= results->rowCount()) return false;
  path = QString::fromStdString(results->item(row).path);
  name = QString::fromStdString(results->item(row).name);
  return true;
}

void TFind::executeFile() {
  QString path, name;
  if (state_.busy || !browsedOrSelectedFile(path, name)) return;
  launcher_->openFile(path, name);
}

void TFind::editFile() {
  QString path, name;
  if (state_.busy || !browsedOrSelectedFile(path, name)) return;
  // With no line picked, the editor opens at the first found line.
  int line = ListBox1->selectedLineNumber();
  if (ListBox1->selectedLine() < 0 && ListBox1->lineCount() > 1)
    line = std::max(1, lineNumberOfEntry(ListBox1->lineText(1)));
  EditorTarget target{path, name, line};
  launcher_->editFile(editorCommand_, target);
}

void TFind::onTabChanged(int index) {
  if (tabGuard_) return;
  if (previousTab_ == OptionsPage && index != OptionsPage && optionsTab->hasInvalidTimeLimits()) {
    tabGuard_ = true;
    PageControl1->setCurrentIndex(OptionsPage);
    tabGuard_ = false;
    showWarning(this, programCaption(), "Invalid time limits");
    return;
  }
  previousTab_ = index;
  // Found lines computed for the other tab's search are stale on this one.
  const ListOrigin tabOrigin = index == FindPage            ? ListOrigin::Find
                               : index == SearchReplacePage ? ListOrigin::SearchAndReplace
                                                            : ListOrigin::None;
  if (tabOrigin != ListOrigin::None && state_.listOrigin != ListOrigin::None &&
      state_.listOrigin != tabOrigin && results->foundColumnShown() &&
      !ListView1->selectedRows().empty()) {
    viewerRefresh_->clearViewer();
    ListView1->clearSelection();
  }
  geometry_->applyTabLayout();
}

void TFind::browseFolder() {
  const QString start = ComboBoxPath->currentText().trimmed();
  const QString folder = QFileDialog::getExistingDirectory(
      this, "Browse for Folder", start.isEmpty() ? QDir::homePath() : start);
  if (!folder.isEmpty()) ComboBoxPath->setEditText(QDir::toNativeSeparators(folder));
}

void TFind::showTabMenu(const QPoint& pos) {
  const int tab = PageControl1->currentIndex();
  menus->tabEraseBackupAction->setVisible(tab == SearchReplacePage);
  menus->tabExecuteAction->setVisible(tab != OptionsPage);
  menus->tabSaveListAction->setVisible(tab != OptionsPage);
  menus->tabMenu->popup(PageControl1->tabBar()->mapToGlobal(pos));
}

void TFind::find(search::Origin origin) {
  findRun_->run(origin);
}

void TFind::showSearchReplaceTab() {
  PageControl1->setCurrentIndex(SearchReplacePage);
}

search::SearchRequest TFind::replaceTabSearch() {
  return findRun_->buildRequest(search::Origin::SearchAndReplace);
}

void TFind::runSearch(const search::SearchRequest& request) {
  findRun_->run(request);
}

void TFind::clearViewer() {
  viewerRefresh_->clearViewer();
}

QString TFind::folderText() const {
  return ComboBoxPath->currentText().trimmed();
}

QString TFind::browsedFileShown() const {
  return ListBox1->isVisible() && ListBox1->hasLines() ? viewerRefresh_->browsedFullName()
                                                       : QString();
}

QString TFind::copyTarget() const {
  return settings_->startFolder(SettingsController::CopyTarget);
}

void TFind::setCopyTarget(const QString& folder) {
  settings_->setStartFolder(SettingsController::CopyTarget, folder);
}

void TFind::withdrawUndo() {
  modify_->offerUndo(false);
  state_.undoBeforeSearch = false;
}

void TFind::checkExternalChanges() {
  changeCheck_->check();
}

modify::BatchState TFind::batchState() {
  TBatchDlg& batch = *batch_->dialog();
  // A hidden dialog's state lives in its state file; it is read again when it shows.
  if (!batch.isVisible()) batch.readState();
  return batch.state();
}

void TFind::setBatchState(const modify::BatchState& state) {
  TBatchDlg& batch = *batch_->dialog();
  batch.setState(state);
  batch.writeState();
}

void TFind::clearBothLists() {
  PageControl1->setCurrentIndex(FindPage);
  if (findTab->HideListButton->isEnabled()) hideList();
  PageControl1->setCurrentIndex(SearchReplacePage);
  if (replaceTab->HideListReplaceButton->isEnabled()) hideList();
}

void TFind::showStoredTab(int tab) {
  const int page = tab == 1 ? FindPage : tab == 2 ? SearchReplacePage : OptionsPage;
  if (PageControl1->currentIndex() == page)
    geometry_->applyTabLayout();
  else
    PageControl1->setCurrentIndex(page);
}

void TFind::showFindTab() {
  PageControl1->setCurrentIndex(FindPage);
}

StoredControls TFind::storedControls() const {
  return {*ComboBoxPath, *MasksComboBox, *SensitiveCheckBox, *WholeWordsCheckBox,
          *findTab,      *replaceTab,    *optionsTab,        *PageControl1};
}

void TFind::readControls(app::WindowSettings& settings) const {
  ui::readControls(storedControls(), settings);
}

void TFind::applyControls(const app::WindowSettings& settings) {
  ui::applyControls(settings, storedControls());
}

bool TFind::commandLineRun() const {
  return commandLine_ != nullptr && commandLine_->start().commandLineRun;
}

const search::SearchRequest* TFind::lastSearch() const {
  return findRun_->hasRun() ? &findRun_->lastRequest() : nullptr;
}

IntervalSwitches TFind::intervalSwitches() const {
  return {optionsTab->RegExprXPCheckBox->isChecked(), optionsTab->ModifyXPCheckBox->isChecked(),
          optionsTab->PhraseXPCheckBox->isChecked()};
}

void TFind::applySettings(modify::ModifyRequest& request) const {
  settings_->applyTo(request);
}

app::HistoryCap TFind::historyCap() const {
  return settings_->historyCap();
}

QString TFind::trimFolderText() {
  const QString folder = folderText();
  ComboBoxPath->setEditText(folder);
  return folder;
}

void TFind::editFileAt(const QString& fullName, int lineNumber) {
  const std::string full = fullName.toStdString();
  const EditorTarget target{QString::fromStdString(platform::folderOf(full)),
                            QString::fromStdString(platform::nameOf(full)), lineNumber};
  launcher_->editFile(editorCommand_, target);
}

bool TFind::replacePageShown() const {
  return PageControl1->currentIndex() == SearchReplacePage;
}

bool TFind::resultsShown() const {
  return geometry_->resultsShown();
}

bool TFind::searchInResultsChecked() const {
  return ListXPCheckBox->isChecked();
}

void TFind::stop() {
  findRun_->stop();
}

void TFind::hideList() {
  if (state_.busy) return;
  results->clear();
  setStatusText(1, {});
  // The rows Undo would mark are gone; Undo comes back only with the next modification.
  withdrawUndo();
  onListEmptied();
}

void TFind::showHelpTopic(const QString& topicPath) {
  help_->showTopic(topicPath);
}

QString TFind::activeTabHelpTopic() const {
  switch (PageControl1->currentIndex()) {
    case SearchReplacePage:
      return "Manual/SearchReplaceTab.htm";
    case OptionsPage:
      return "Manual/Options.htm";
    default:
      return "Manual/FindTab.htm";
  }
}

QString TFind::statusText(int panel) const {
  return statusPanels_[panel]->text();
}

void TFind::setStatusText(int panel, const QString& text) {
  statusPanels_[panel]->setText(text);
}

void TFind::selectRow(int row) {
  if (row >= 0 && row < results->rowCount()) ListView1->selectOnlyRow(row);
}

void TFind::invalidateFoundLines() {
  viewerRefresh_->clearViewer();
  ListView1->clearSelection();
  replaceTab->DeleteItemsButton->setEnabled(false);
  updateCommands();
}

void TFind::updateCommands() {
  const bool hasRows = results->rowCount() > 0 && geometry_->resultsShown();
  const int selected = hasRows ? static_cast<int>(ListView1->selectedRows().size()) : 0;
  const bool viewerLines = viewerRefresh_->viewerHasLines();
  const bool fileCommands = hasRows && ListBox1->isVisible() && (viewerLines || selected == 1);
  menus->select.setEnabled(hasRows);
  menus->selectAll.setEnabled(hasRows);
  menus->deselect.setEnabled(selected > 0);
  menus->deleteItems.setEnabled(selected > 0);
  menus->executeFile.setEnabled(fileCommands);
  menus->editFile.setEnabled(fileCommands);
  EditFileButton->setEnabled(fileCommands && !state_.busy);
  ExecuteFileButton->setEnabled(fileCommands && !state_.busy);
  menus->linesMenu->setEnabled(viewerLines);
  for (const Command* command :
       {&menus->copyFiles, &menus->renameFiles, &menus->deleteFiles, &menus->openDirectory})
    command->setEnabled(selected > 0);
  menus->saveList.setEnabled(hasRows);
  menus->createReport.setEnabled(hasRows);
  menus->browseContext.setEnabled(viewerLines && ListBox1->isVisible());
  menus->saveLines.setEnabled(viewerLines && ListBox1->isVisible());
  if (PageControl1->currentIndex() == SearchReplacePage && !state_.busy)
    replaceTab->DeleteItemsButton->setEnabled(selected > 0);
  if (modify_ != nullptr) modify_->rules().apply();
}

bool TFind::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !isActiveWindow()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != this) return false;
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  if (enter && key->modifiers() == Qt::NoModifier) {
    // Enter runs the tab's search unless a memo has the focus (there it breaks the line).
    const QWidget* focus = QApplication::focusWidget();
    if (qobject_cast<const QPlainTextEdit*>(focus) != nullptr) return false;
    if (PageControl1->currentIndex() == FindPage && findTab->FindButton->isEnabled()) {
      find(search::Origin::Find);
      return true;
    }
    if (PageControl1->currentIndex() == SearchReplacePage &&
        replaceTab->SearchButton->isEnabled()) {
      find(search::Origin::SearchAndReplace);
      return true;
    }
  }
  return false;
}

void TFind::closeEvent(QCloseEvent* event) {
  stop();
  help_->close();
  commandLine_->windowClosing();
  QMainWindow::closeEvent(event);
}

void TFind::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The arguments are read once, when the window is first shown.
  commandLine_->windowShown();
}

}  // namespace kestrix::ui
