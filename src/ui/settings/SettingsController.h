// settings/: the Options tab, stored settings, the Settings dialogs and projects.
// The window's persistent settings: LoadSettings when the window is created, SaveSettings
// when it is destroyed, the remembered window bounds and column widths, the maximized
// start, the Settings dialog with its two ignore-list dialogs, and the settings that the
// runs take from those dialogs (ignore lists, line separator, permissions, editor command,
// context size).
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <memory>

#include "app/WindowSettings.h"
#include "modify/ModifyRequest.h"
#include "search/SearchRequest.h"

class QSplitter;
class QWidget;

namespace kestrix::ui {

class MainMenus;
class ResultsModel;
class ResultsView;
class SettingsHost;
class TFileIgnoreDlg;
class TPathIgnoreDlg;
class TSettDlg;
class WindowGeometry;
struct SettingsBackend;
struct WindowState;

class SettingsController : public QObject {
  Q_OBJECT
 public:
  // The dialog start folders kept with the settings.
  enum StartFolder { SaveList, SaveLines, OpenEditor, OpenProject, SaveProject, CopyTarget };

  // Loads the settings into the window (whose controls must exist) and creates the dialogs.
  // Keeps `window`'s bounds and the list's height and column widths.
  SettingsController(QWidget& window, WindowState& state, WindowGeometry& geometry,
                     ResultsModel& results, ResultsView& list, QSplitter& splitter,
                     MainMenus& menus, SettingsHost& host);
  ~SettingsController() override;

  // LoadSettings / SaveSettings; with `includeDialogs` the dialogs' values too.
  void loadSettings(bool includeDialogs);
  void saveSettings(bool includeDialogs);
  // The record saveSettings writes: the controls, bounds, column widths and start folders;
  // with `includeDialogs` the dialogs' values and the two ignore lists too.
  app::WindowSettings currentSettings(bool includeDialogs);
  // Puts a project's values into the window: the controls, column widths, every start
  // folder (also an empty one) and the ignore-list dialog's folder. With `includeDialogs`
  // the dialogs take their values too; without, only the window's editor command and
  // context size change.
  void applyProject(const app::WindowSettings& settings, bool includeDialogs);

  // Shows the Settings dialog modally; returns true when it was closed with OK.
  bool showSettings();

  // The ignore lists of the Settings dialog, when their switches are on.
  void applyTo(search::SearchRequest& request) const;
  // The line separator and the read-only / hidden permissions of the Settings dialog.
  void applyTo(modify::ModifyRequest& request) const;
  // The cap of the undo history chosen in the settings dialog.
  app::HistoryCap historyCap() const;
  // The legacy code page chosen in the settings dialog ("Windows-1252", ...).
  std::string codePage() const;

  QString startFolder(StartFolder which) const;
  void setStartFolder(StartFolder which, const QString& folder);

  TSettDlg* settingsDialog() const { return settingsDlg_; }
  TPathIgnoreDlg* folderListDialog() const { return pathDlg_; }
  TFileIgnoreDlg* fileListDialog() const { return fileDlg_; }
  // NormalBounds and ColumnWidths as they will be saved.
  const app::WindowBounds& normalBounds() const { return bounds_; }
  const std::array<int, 8>& columnWidths() const { return columnWidths_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  app::SettingsContext context() const;
  void createDialogs();
  void applyBounds(const app::WindowBounds& bounds);
  void applyColumnWidths(const std::array<int, 8>& widths);
  void recordBounds();
  void recordColumnWidth(int position, int width);
  void applyListHeight();
  void takeDialogValues();
  void readDialogs(app::WindowSettings& settings) const;

  QWidget& window_;
  WindowState& state_;
  WindowGeometry& geometry_;
  ResultsModel& results_;
  ResultsView& list_;
  QSplitter& splitter_;
  SettingsHost& host_;
  std::shared_ptr<SettingsBackend> backend_;
  app::SettingsContext context_;
  TSettDlg* settingsDlg_ = nullptr;
  TPathIgnoreDlg* pathDlg_ = nullptr;
  TFileIgnoreDlg* fileDlg_ = nullptr;
  app::WindowBounds bounds_;
  // The geometry as read, written back unchanged by a run without a screen.
  app::WindowBounds storedBounds_;
  bool storedMaximized_ = false;
  std::array<int, 8> columnWidths_{};
  std::array<QString, 6> startFolders_;
  QString ignoreListFolder_;
  bool maximizeAtStart_ = false;
  bool listHeightPending_ = false;
};

}  // namespace kestrix::ui
