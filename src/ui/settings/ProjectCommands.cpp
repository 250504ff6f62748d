// Open Project and Save Project of the Project menu.
#include "ui/settings/ProjectCommands.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>

#include "platform/AtomicWrite.h"
#include "platform/Platform.h"
#include "ui/batch/BatchReplaceCommand.h"
#include "ui/batch/TBatchDlg.h"
#include "ui/find/FindTab.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/settings/SettingsController.h"
#include "ui/window/MainMenus.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/TFind.h"
#include "ui/window/WindowGeometry.h"

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

ProjectCommands::ProjectCommands(TFind& window) : QObject(&window), window_(window) {
  openPicker_ = [this](const QString& title, const QString& folder) {
    return pickFile(&window_, title, folder, false);
  };
  savePicker_ = [this](const QString& title, const QString& folder) {
    return pickFile(&window_, title, folder, true);
  };
  MainMenus& menus = *window.menus;
  menus.openProject.setEnabled(true);
  menus.saveProject.setEnabled(true);
  connectCommand(menus.openProject, this, &ProjectCommands::openWithDialog);
  connectCommand(menus.saveProject, this, &ProjectCommands::saveWithDialog);
}

void ProjectCommands::rememberFolder(const QString& path) {
  const QString folder = QFileInfo(path).absolutePath();
  window_.settings().setStartFolder(SettingsController::OpenProject, folder);
  window_.settings().setStartFolder(SettingsController::SaveProject, folder);
}

void ProjectCommands::openWithDialog() {
  if (window_.state().busy) return;
  const QString path =
      openPicker_("Open Project", window_.settings().startFolder(SettingsController::OpenProject));
  if (path.isEmpty()) return;
  rememberFolder(path);
  openProject(path);
}

void ProjectCommands::saveWithDialog() {
  if (window_.state().busy) return;
  const QString path =
      savePicker_("Save Project", window_.settings().startFolder(SettingsController::SaveProject));
  if (path.isEmpty()) return;
  rememberFolder(path);
  saveProject(path);
}

app::Project ProjectCommands::currentProject() {
  app::Project project;
  project.settings = window_.settings().currentSettings(true);
  TBatchDlg& batch = *window_.batchReplace().dialog();
  // A hidden dialog's state lives in its state file; it is read again when it shows.
  if (!batch.isVisible()) batch.readState();
  project.batch = batch.state();
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
  if (window_.state().busy) return false;
  const std::string file = path.toStdString();
  if (platform::exists(file)) window_.settings().saveSettings(true);
  try {
    applyProject(app::readProject(file, currentProject()));
    return true;
  } catch (const app::ProjectError& e) {
    if (e.kind() == app::ProjectError::Kind::NotFound) {
      window_.state().stop.abortRequested = true;
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
  window_.settings().loadSettings(true);
  window_.PageControl1->setCurrentIndex(TFind::FindPage);
}

void ProjectCommands::applyProject(const app::ProjectRead& read) {
  if (read.loaded) projectLoaded_ = true;
  window_.settings().applyProject(read.project.settings, read.loaded);
  TBatchDlg& batch = *window_.batchReplace().dialog();
  batch.setState(read.project.batch);
  batch.writeState();
  clearBothLists();
  showTab(read.project.settings.tab);
}

void ProjectCommands::clearBothLists() {
  QTabWidget& tabs = *window_.PageControl1;
  tabs.setCurrentIndex(TFind::FindPage);
  if (window_.findTab->HideListButton->isEnabled()) window_.hideList();
  tabs.setCurrentIndex(TFind::SearchReplacePage);
  if (window_.replaceTab->HideListReplaceButton->isEnabled()) window_.hideList();
}

void ProjectCommands::showTab(int tab) {
  const int page = tab == 1   ? TFind::FindPage
                   : tab == 2 ? TFind::SearchReplacePage
                              : TFind::OptionsPage;
  QTabWidget& tabs = *window_.PageControl1;
  if (tabs.currentIndex() == page)
    window_.geometryController().applyTabLayout();
  else
    tabs.setCurrentIndex(page);
}

}  // namespace kestrix::ui
