// "&Open Project" and "&Save Project": the file dialogs with their remembered folders, and
// the exchange of a project file's values with the window, its fields and its dialogs.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "app/ProjectFile.h"

class QWidget;

namespace kestrix::ui {

class MainMenus;
class ProjectHost;
class SettingsController;
struct WindowState;

class ProjectCommands : public QObject {
  Q_OBJECT
 public:
  // The dialogs' filter; their default extension is "ksr".
  static const QString kProjectFilter;
  // Asks for a file (title, start folder); empty when cancelled. Tests replace it.
  using FilePicker = std::function<QString(const QString& title, const QString& folder)>;

  // The file dialogs and messages open over `window`.
  ProjectCommands(QWidget& window, WindowState& state, SettingsController& settings,
                  MainMenus& menus, ProjectHost& host);

  void setOpenPicker(FilePicker picker) { openPicker_ = std::move(picker); }
  void setSavePicker(FilePicker picker) { savePicker_ = std::move(picker); }

  // The menu commands: the dialog, then openProject / saveProject.
  void openWithDialog();
  void saveWithDialog();

  // Reads the project at `path` into the window: saves the settings with the dialog values,
  // reads the project into the window and its dialogs, clears both results lists and shows
  // the project's tab. A missing file shows "File \"<path>\" not found" and raises the
  // abort flag; an unreadable one shows "Incorrect project file" and brings back the saved
  // settings. Returns true when the project was read.
  bool openProject(const QString& path);
  // Writes the window's set-up to `path`; a failure is shown. Returns true on success.
  bool saveProject(const QString& path);

  // Set once a project was read through its context-lines entry; cleared by a project
  // that could not be read.
  bool projectLoaded() const { return projectLoaded_; }

 private:
  app::Project currentProject();
  void applyProject(const app::ProjectRead& read);
  void rejectProject();
  void rememberFolder(const QString& path);

  QWidget& window_;
  WindowState& state_;
  SettingsController& settings_;
  ProjectHost& host_;
  FilePicker openPicker_;
  FilePicker savePicker_;
  bool projectLoaded_ = false;
};

}  // namespace kestrix::ui
