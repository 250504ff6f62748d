// "&Open Project" and "&Save Project": the file dialogs with their remembered folders, and
// the exchange of a project file's values with the window, its fields and its dialogs.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "app/ProjectFile.h"

namespace kestrix::ui {

class TFind;

class ProjectCommands : public QObject {
  Q_OBJECT
 public:
  // The dialogs' filter; their default extension is "ksr".
  static const QString kProjectFilter;
  // Asks for a file (title, start folder); empty when cancelled. Tests replace it.
  using FilePicker = std::function<QString(const QString& title, const QString& folder)>;

  explicit ProjectCommands(TFind& window);

  void setOpenPicker(FilePicker picker) { openPicker_ = std::move(picker); }
  void setSavePicker(FilePicker picker) { savePicker_ = std::move(picker); }

  // The menu commands: the dialog, then openProject / saveProject.
  void openWithDialog();
  void saveWithDialog();

  // Reads the project at `path` into the window (see TFind::openProject).
  bool openProject(const QString& path);
  // Writes the window's set-up to `path`; a failure is shown. Returns true on success.
  bool saveProject(const QString& path);

  // Set once a project was read through its context-lines entry; cleared by a project
  // that could not be read.
  bool projectLoaded() const { return projectLoaded_; }

 private:
  app::Project currentProject();
  void applyProject(const app::ProjectRead& read);
  void clearBothLists();
  void showTab(int tab);
  void rejectProject();
  void rememberFolder(const QString& path);

  TFind& window_;
  FilePicker openPicker_;
  FilePicker savePicker_;
  bool projectLoaded_ = false;
};

}  // namespace kestrix::ui
