// Loads and saves the window's settings, keeps NormalBounds and ColumnWidths up to date,
// and runs the Settings dialog.
#include "ui/settings/SettingsController.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <algorithm>

#include "app/EditorDefault.h"
#include "app/RunSettings.h"
#include "app/StoredDate.h"
#include "app/WindowFit.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/settings/SettingsBackend.h"
#include "ui/settings/SettingsHost.h"
#include "ui/settings/TFileIgnoreDlg.h"
#include "ui/settings/TPathIgnoreDlg.h"
#include "ui/settings/TSettDlg.h"
#include "ui/startup/CommandLineController.h"
#include "ui/window/MainMenus.h"
#include "ui/window/ScreenScale.h"
#include "ui/window/WindowGeometry.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

namespace {

// Widths beyond this (at 96 dpi) come from a damaged settings file.
constexpr int kMaxColumnWidth = 4000;

QRect screenArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

bool isNormalState(const QWidget& window) {
  return !(window.windowState() &
           (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

}  // namespace

SettingsController::SettingsController(QWidget& window, WindowState& state,
                                       WindowGeometry& geometry, ResultsModel& results,
                                       ResultsView& list, QSplitter& splitter, MainMenus& menus,
                                       SettingsHost& host)
    : QObject(&window),
      window_(window),
      state_(state),
      geometry_(geometry),
      results_(results),
      list_(list),
      splitter_(splitter),
      host_(host),
      backend_(openSettingsBackend()),
      context_(context()) {
  loadSettings(false);
  createDialogs();
  window_.installEventFilter(this);
  list_.installEventFilter(this);
  splitter_.installEventFilter(this);
  connect(list_.horizontalHeader(), &QHeaderView::sectionResized, this,
          [this](int position, int, int width) { recordColumnWidth(position, width); });
  menus.settings.setEnabled(true);
  for (QAction* action : menus.settings.actions())
    connect(action, &QAction::triggered, this, [this] { showSettings(); });
}

SettingsController::~SettingsController() {
  window_.removeEventFilter(this);
  list_.removeEventFilter(this);
  splitter_.removeEventFilter(this);
}

app::SettingsContext SettingsController::context() const {
  app::SettingsContext c;
  c.dpi = screenDpi();
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect full = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
  c.screenWidth = full.width();
  c.screenHeight = full.height();
  const QDate today = QDate::currentDate();
  c.today = app::dayNumber({today.year(), today.month(), today.day()});
  c.homeFolder = QDir::toNativeSeparators(QDir::homePath()).toStdString();
  c.editorDefault = app::defaultEditor();
  const WindowGeometry::StartSize start = geometry_.firstStartSize(screenArea());
  c.startWidth = start.width;
  c.startHeight = start.height;
  c.startListHeight = start.listHeight;
  return c;
}

void SettingsController::createDialogs() {
  settingsDlg_ = new TSettDlg(backend_, QString::fromStdString(context_.editorDefault), &window_);
  // The list dialogs open over the Settings dialog.
  pathDlg_ = new TPathIgnoreDlg(backend_, settingsDlg_);
  fileDlg_ = new TFileIgnoreDlg(backend_, settingsDlg_);
  settingsDlg_->setEditorFolder(startFolders_[OpenEditor]);
  pathDlg_->setLastFolder(ignoreListFolder_);
  // The editor command and the context size reach the window as they change (a Cancel
  // that restores them changes them back).
  connect(settingsDlg_->EditorEdit, &QLineEdit::textChanged, this,
          &SettingsController::takeDialogValues);
  connect(settingsDlg_->BrowseComboBox, &QComboBox::currentIndexChanged, this,
          &SettingsController::takeDialogValues);
  connect(settingsDlg_, &TSettDlg::editFolderListRequested, pathDlg_, &QDialog::exec);
  connect(settingsDlg_, &TSettDlg::editFileListRequested, fileDlg_, &QDialog::exec);
  const auto showHelp = [this](const QString& topic) { host_.showHelpTopic(topic); };
  connect(settingsDlg_, &TSettDlg::helpRequested, this, showHelp);
  for (IgnoreListDlg* dialog :
       {static_cast<IgnoreListDlg*>(pathDlg_), static_cast<IgnoreListDlg*>(fileDlg_)})
    connect(dialog, &IgnoreListDlg::helpRequested, this, showHelp);
  takeDialogValues();
}

void SettingsController::loadSettings(bool includeDialogs) {
  const app::WindowSettings s =
      app::readWindowSettings(*backend_->values, *backend_->files, context_, includeDialogs);
  host_.applyControls(s);
  applyBounds(s.bounds);
  applyColumnWidths(s.columnWidths);
  for (std::size_t i = 0; i < startFolders_.size(); ++i)
    if (!s.startFolders[i].empty()) startFolders_[i] = QString::fromStdString(s.startFolders[i]);
  ignoreListFolder_ = QString::fromStdString(s.ignoreListFolder);
  maximizeAtStart_ = s.maximized;
  storedBounds_ = s.bounds;
  storedMaximized_ = s.maximized;
  if (includeDialogs && settingsDlg_ != nullptr) {
    settingsDlg_->setValues(s.dialog);
    settingsDlg_->setEditorFolder(startFolders_[OpenEditor]);
    pathDlg_->setLastFolder(ignoreListFolder_);
  }
}

void SettingsController::saveSettings(bool includeDialogs) {
  const app::WindowSettings s = currentSettings(includeDialogs);
  app::writeWindowSettings(*backend_->values, *backend_->files, s, includeDialogs);
  backend_->sync();
}

app::WindowSettings SettingsController::currentSettings(bool includeDialogs) {
  app::WindowSettings s = app::defaultWindowSettings(context_);
  host_.readControls(s);
  recordBounds();
  s.bounds = bounds_;
  s.columnWidths = columnWidths_;
  if (settingsDlg_ != nullptr) startFolders_[OpenEditor] = settingsDlg_->editorFolder();
  if (pathDlg_ != nullptr) ignoreListFolder_ = pathDlg_->lastFolder();
  for (std::size_t i = 0; i < startFolders_.size(); ++i)
    s.startFolders[i] = startFolders_[i].toStdString();
  s.ignoreListFolder = ignoreListFolder_.toStdString();
  s.maximized = window_.isMaximized();
  if (CommandLineController::headless() && host_.commandLineRun()) {
    // A run without a screen has the platform's stand-in size, not the user's: the stored
    // geometry stays as it was.
    s.bounds = storedBounds_;
    s.maximized = storedMaximized_;
  }
  if (includeDialogs) readDialogs(s);
  return s;
}

void SettingsController::applyProject(const app::WindowSettings& s, bool includeDialogs) {
  host_.applyControls(s);
  applyColumnWidths(s.columnWidths);
  for (std::size_t i = 0; i < startFolders_.size(); ++i)
    startFolders_[i] = QString::fromStdString(s.startFolders[i]);
  ignoreListFolder_ = QString::fromStdString(s.ignoreListFolder);
  settingsDlg_->setEditorFolder(startFolders_[OpenEditor]);
  pathDlg_->setLastFolder(ignoreListFolder_);
  if (!includeDialogs) {
    host_.setEditorCommand(QString::fromStdString(s.dialog.editor));
    state_.contextLinesIndex = s.dialog.contextLinesIndex;
    return;
  }
  settingsDlg_->setValues(s.dialog);
  pathDlg_->IgnoreSubFoldXPCheck->setChecked(s.ignoreSubfolders);
  pathDlg_->setListText(QString::fromStdString(s.folderIgnoreList));
  fileDlg_->setListText(QString::fromStdString(s.fileIgnoreList));
  takeDialogValues();
}

void SettingsController::readDialogs(app::WindowSettings& s) const {
  if (settingsDlg_ == nullptr) return;
  s.dialog = settingsDlg_->values();
  s.ignoreSubfolders = pathDlg_->IgnoreSubFoldXPCheck->isChecked();
  s.folderIgnoreList = pathDlg_->listText().toStdString();
  s.fileIgnoreList = fileDlg_->listText().toStdString();
}

void SettingsController::applyBounds(const app::WindowBounds& stored) {
  // Bounds that fit the visible screen: at least the window's minimum size, at most the
  // screen, and wholly on it.
  const QRect area = screenArea();
  const app::MinimumSize minimum{
      std::max(window_.minimumWidth(), scaled(WindowGeometry::kMinimumWidth)),
      scaled(WindowGeometry::kReplaceMin), scaled(32)};
  bounds_ = app::clampToScreen(stored, {area.x(), area.y(), area.width(), area.height()}, minimum);
  geometry_.setHeightWithResults(bounds_.height);
  geometry_.setNormalBounds(QRect(bounds_.left, bounds_.top, bounds_.width, bounds_.height));
  // Positions include the window frame (pos() and move()), so they survive a restart.
  window_.resize(bounds_.width, window_.height());
  window_.move(bounds_.left, bounds_.top);
  listHeightPending_ = true;
  if (splitter_.isVisible()) applyListHeight();
}

void SettingsController::applyListHeight() {
  const QSplitter& splitter = splitter_;
  const int room = splitter.height() - splitter.handleWidth();
  if (room <= bounds_.listHeight) return;  // not laid out yet
  listHeightPending_ = false;
  splitter_.setSizes({bounds_.listHeight, room - bounds_.listHeight});
}

void SettingsController::applyColumnWidths(const std::array<int, 8>& widths) {
  columnWidths_ = app::usableColumnWidths(widths, app::defaultWindowSettings(context_).columnWidths,
                                          scaled(kMaxColumnWidth));
  list_.setColumnWidthSource([this](ResultsModel::Column column) {
    return columnWidths_[static_cast<std::size_t>(column)];
  });
}

void SettingsController::recordColumnWidth(int position, int width) {
  const ResultsModel& model = results_;
  if (position < 0 || position >= model.columnCount() || width <= 0) return;
  columnWidths_[static_cast<std::size_t>(model.columnKind(position))] = width;
}

void SettingsController::recordBounds() {
  // The window's geometry owner knows the normal bounds, also while the window is maximized.
  const WindowGeometry& geometry = geometry_;
  const QRect normal = geometry.normalBounds();
  if (!normal.isEmpty()) {
    bounds_.width = normal.width();
    bounds_.left = normal.x();
    bounds_.top = normal.y();
    bounds_.height = geometry.heightWithResults();
  }
  if (!window_.isVisible() || !isNormalState(window_)) return;
  if (!listHeightPending_ && list_.isVisible()) bounds_.listHeight = list_.height();
}

bool SettingsController::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == &window_ && (type == QEvent::Resize || type == QEvent::Move)) {
    // After the window's geometry owner has taken the same event.
    QMetaObject::invokeMethod(this, &SettingsController::recordBounds, Qt::QueuedConnection);
  } else if (watched == &window_ && type == QEvent::Show && maximizeAtStart_) {
    maximizeAtStart_ = false;
    window_.setWindowState(window_.windowState() | Qt::WindowMaximized);
  } else if (watched == &list_ && type == QEvent::Resize) {
    if (!listHeightPending_ && list_.isVisible() && isNormalState(window_))
      bounds_.listHeight = list_.height();
  } else if (watched == &splitter_ && listHeightPending_ &&
             (type == QEvent::Show || type == QEvent::Resize)) {
    // The stored list height is applied once the results area is first laid out.
    applyListHeight();
  }
  return false;
}

bool SettingsController::showSettings() {
  if (state_.busy) return false;
  return settingsDlg_->exec() == QDialog::Accepted;
}

void SettingsController::takeDialogValues() {
  host_.setEditorCommand(settingsDlg_->EditorEdit->text());
  state_.contextLinesIndex = settingsDlg_->BrowseComboBox->currentIndex();
  results_.setLegacyCodePage(codePage());
}

void SettingsController::applyTo(search::SearchRequest& request) const {
  app::WindowSettings settings;
  readDialogs(settings);
  app::applyTo(request, settings);
}

app::HistoryCap SettingsController::historyCap() const {
  return settingsDlg_->historyCap();
}

std::string SettingsController::codePage() const {
  return settingsDlg_->CodePageComboBox->currentText().toStdString();
}

void SettingsController::applyTo(modify::ModifyRequest& request) const {
  app::applyTo(request, settingsDlg_->values());
}

QString SettingsController::startFolder(StartFolder which) const {
  if (which == OpenEditor && settingsDlg_ != nullptr) return settingsDlg_->editorFolder();
  return startFolders_[which];
}

void SettingsController::setStartFolder(StartFolder which, const QString& folder) {
  startFolders_[which] = folder;
  if (which == OpenEditor && settingsDlg_ != nullptr) settingsDlg_->setEditorFolder(folder);
}

}  // namespace kestrix::ui
