// Open Project and Save Project of the Project menu.
#include "ui/settings/ProjectCommands.h"

#include <QFileDialog>
#include <QFileInfo>

#include "platform/AtomicWrite.h"
#include "platform/Platform.h"
#include "ui/settings/ProjectHost.h"
#include "ui/settings/SettingsController.h"
#include "ui/window/MainMenus.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

const QString ProjectCommands::kProjectFilter = QStringLiteral("Project files (*.ksr)");

namespace {

QString pickFile(QWidget* parent, const QString& title, const QString& folder, bool save) {
  QFileDialog dialog(parent, title, folder, ProjectCommands::kProjectFilter);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(app::kProjectExtension);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

}  // namespace

ProjectCommands::ProjectCommands(QWidget& window, WindowState& state, SettingsController& settings,
                                 MainMenus& menus, ProjectHost& host)
    : QObject(&window), window_(window), state_(state), settings_(settings), host_(host) {
  openPicker_ = [this](const QString& title, const QString& folder) {
    return pickFile(&window_, title, folder, false);
  };
  savePicker_ = [this](const QString& title, const QString& folder) {
    return pickFile(&window_, title, folder, true);
  };
  menus.openProject.setEnabled(true);
  menus.saveProject.setEnabled(true);
  connectCommand(menus.openProject, this, &ProjectCommands::openWithDialog);
  connectCommand(menus.saveProject, this, &ProjectCommands::saveWithDialog);
}

void ProjectCommands::rememberFolder(const QString& path) {
  const QString folder = QFileInfo(path).absolutePath();
  settings_.setStartFolder(SettingsController::OpenProject, folder);
  settings_.setStartFolder(SettingsController::SaveProject, folder);
}

void ProjectCommands::openWithDialog() {
  if (state_.busy) return;
  const QString path =
      openPicker_("Open Project", settings_.startFolder(SettingsController::OpenProject));
  if (path.isEmpty()) return;
  rememberFolder(path);
  openProject(path);
}

void ProjectCommands::saveWithDialog() {
  if (state_.busy) return;
  const QString path =
      savePicker_("Save Project", settings_.startFolder(SettingsController::SaveProject));
  if (path.isEmpty()) return;
  rememberFolder(path);
  saveProject(path);
}

app::Project ProjectCommands::currentProject() {
  app::Project project;
  project.settings = settings_.currentSettings(true);
  project.batch = host_.batchState();
  return project;
}

bool ProjectCommands::saveProject(const QString& path) {
  try {
    app::writeProject(path.toStdString(), currentProject());
    return true;
  } catch (const platform::AtomicWriteError& e) {
    showWarning(&window_, "Save Project", QString::fromStdString(e.what()));
  } catch (const platform::PlatformError& e) {
    showWarning(&window_, "Save Project", QString::fromStdString(e.what()));
  }
  return false;
}

bool ProjectCommands::openProject(const QString& path) {
  if (state_.busy) return false;
  const std::string file = path.toStdString();
  if (platform::exists(file)) settings_.saveSettings(true);
  try {
    applyProject(app::readProject(file, currentProject()));
    return true;
  } catch (const app::ProjectError& e) {
    if (e.kind() == app::ProjectError::Kind::NotFound) {
      state_.stop.abortRequested = true;
    } else {
      rejectProject();
    }
    showWarning(&window_, programCaption(), QString::fromStdString(e.what()));
  }
  return false;
}

void ProjectCommands::rejectProject() {
  // Nothing of the file reached the window; it goes back to the settings saved just
  // before the read.
  projectLoaded_ = false;
  settings_.loadSettings(true);
  host_.showFindTab();
}

void ProjectCommands::applyProject(const app::ProjectRead& read) {
  if (read.loaded) projectLoaded_ = true;
  settings_.applyProject(read.project.settings, read.loaded);
  host_.setBatchState(read.project.batch);
  host_.clearBothLists();
  host_.showStoredTab(read.project.settings.tab);
}

}  // namespace kestrix::ui
