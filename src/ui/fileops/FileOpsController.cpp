// Copy, delete, rename and open-folder commands of the window.
#include "ui/fileops/FileOpsController.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

#ifdef KESTRIX_HAS_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#endif

#include "fileops/Questions.h"
#include "fileops/Rename.h"
#include "ui/fileops/ConfirmDialog.h"
#include "ui/fileops/FileOpsHost.h"
#include "ui/fileops/TRenameDlg.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/viewer/ViewerRefresh.h"
#include "ui/window/MainMenus.h"
#include "ui/window/MessageBoxes.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

using fileops::Decision;
using Buttons = ConfirmDialog::Buttons;

namespace {

QString qs(const std::string& s) {
  return QString::fromStdString(s);
}

// Shows the folder with the file selected through the file manager's D-Bus interface;
// opens the folder itself when no file manager answers.
bool showInFileManager(const QString& folder, const QString& fullName) {
#ifdef KESTRIX_HAS_DBUS
  const QString service = QStringLiteral("org.freedesktop.FileManager1");
  QDBusConnection bus = QDBusConnection::sessionBus();
  QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
  // A file manager that is installed but not running is started by the bus.
  if (daemon != nullptr && (daemon->isServiceRegistered(service).value() ||
                            daemon->activatableServiceNames().value().contains(service))) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", "ShowItems");
    call << QStringList{QUrl::fromLocalFile(fullName).toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    // No answer in time: the file manager is still starting and shows the file itself.
    if (reply.type() != QDBusMessage::ErrorMessage ||
        reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
      return true;
  }
#endif
  return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace

FileOpsController::FileOpsController(QWidget& window, WindowState& state, ResultsModel& results,
                                     ResultsView& list, ViewerRefresh& viewer, MainMenus& menus,
                                     FileOpsHost& host)
    : QObject(&window),
      window_(window),
      state_(state),
      results_(results),
      list_(list),
      viewer_(viewer),
      host_(host),
      copyDlg_(new ConfirmDialog(&window, "TCopyDlg")),
      delFilesDlg_(new ConfirmDialog(&window, "TDelFilesDlg")),
      delReadOnlyDlg_(new ConfirmDialog(&window, "TDelReadOnlyDlg")),
      renameDlg_(new TRenameDlg(&window)) {
  trash_ = [](const std::string& name) {
    return QFile::moveToTrash(QFile::decodeName(name.c_str()));
  };
  folderPicker_ = [this](const QString& start) {
    return QFileDialog::getExistingDirectory(&window_, "Select the directory", start,
                                             QFileDialog::ShowDirsOnly);
  };
  folderShower_ = showInFileManager;
  renameDlg_->setRenameHandler([this] { applyRename(); });
  connectCommand(menus.copyFiles, this, &FileOpsController::copyFiles);
  connectCommand(menus.deleteFiles, this, &FileOpsController::deleteFiles);
  connectCommand(menus.renameFiles, this, &FileOpsController::renameFiles);
  connectCommand(menus.openDirectory, this, &FileOpsController::openDirectory);
}

std::vector<std::string> FileOpsController::selectedNames(std::vector<int>& rows) const {
  rows = list_.selectedRows();
  std::vector<std::string> names;
  for (int row : rows) names.push_back(results_.item(row).fullName());
  return names;
}

Decision FileOpsController::ask(ConfirmDialog& dialog, const fileops::Question& question,
                                bool offerAll, int limitPx, int head) {
  const QFontMetrics metrics(dialog.TextLabel->font());
  QStringList lines;
  for (std::size_t i = 0; i < question.lines.size(); ++i) {
    const QString line = qs(question.lines[i]);
    lines << (i == question.nameLine ? shortenedLine(line, metrics, limitPx, head) : line);
  }
  return dialog.ask(qs(question.caption), lines,
                    offerAll ? Buttons::YesSkipAllCancel : Buttons::OkCancel);
}

Decision FileOpsController::askProtected(const std::string& fullName, bool rename, bool several) {
  return ask(*delReadOnlyDlg_, fileops::protectedQuestion(fullName, rename), several, 360, 12);
}

// --- Copy Files ---

QString FileOpsController::copyDestination() const {
  // The last folder copied to, else the folder searched (never the program's folder).
  const QString folder = host_.copyTarget();
  if (!folder.isEmpty()) return folder;
  const QString searched = host_.folderText();
  return QFileInfo(searched).isDir() ? searched : QDir::homePath();
}

void FileOpsController::copyFiles() {
  if (state_.busy || list_.selectedRows().empty()) return;
  const QString folder = folderPicker_(copyDestination());
  if (folder.isEmpty()) return;
  host_.setCopyTarget(folder);
  std::vector<int> rows;
  const std::vector<std::string> sources = selectedNames(rows);
  const bool several = rows.size() > 1;
  fileops::copyFiles(sources, folder.toStdString(), [&](const std::string& target) {
    return ask(*copyDlg_, fileops::overwriteQuestion(target), several, 360, 3);
  });
  list_.setEnabled(true);
  host_.updateCommands();
}

// --- Delete Files ---

void FileOpsController::deleteFiles() {
  if (state_.busy) return;
  std::vector<int> rows;
  const std::vector<std::string> names = selectedNames(rows);
  if (names.empty()) return;
  const bool several = names.size() > 1;
  const fileops::Question sure = fileops::deleteQuestion(names);
  if (ask(*delFilesDlg_, sure, /*offerAll=*/false, 319, 3) != Decision::Yes) return;
  const fileops::DeleteOutcome outcome = fileops::deleteFiles(
      names, trash_, [&](const std::string& name) { return askProtected(name, false, several); });
  if (outcome.error) showWarning(&window_, "Error Deleting File", qs(*outcome.error));
  QItemSelectionModel* selection = list_.selectionModel();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (outcome.deselected[i] || !outcome.deleted[i]) {
      selection->select(results_.index(rows[i], 0),
                        QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
  }
  if (!list_.selectedRows().empty()) host_.deleteItems();
  host_.updateCommands();
}

// --- Rename Files ---

void FileOpsController::renameFiles() {
  if (state_.busy || list_.selectedRows().empty()) return;
  renameDlg_->exec();
  afterRenameDialog();
}

void FileOpsController::applyRename() {
  fileops::RenameRules rules = renameDlg_->rules();
  if (const auto message = fileops::validateRules(rules)) {
    showWarning(renameDlg_, "Rename Files", qs(*message));
    return;
  }
  renameDlg_->showRules(rules);
  std::vector<int> rows;
  const std::vector<std::string> names = selectedNames(rows);
  const bool several = names.size() > 1;
  const QFontMetrics metrics(copyDlg_->TextLabel->font());
  fileops::RenamePrompts prompts;
  prompts.askProtected = [&](const std::string& n) { return askProtected(n, true, several); };
  prompts.askGoOn = [&](const std::string& line1, const std::string& line2) {
    QStringList lines{shortenedLine(qs(line1), metrics, 360, 17)};
    if (!line2.empty()) lines << shortenedLine(qs(line2), metrics, 360, 17);
    return copyDlg_->ask("Error Renaming File", lines, Buttons::YesSkipAllCancel) !=
           Decision::Cancel;
  };
  prompts.error = [this](const std::string& text) {
    showWarning(renameDlg_, "Error Renaming File", qs(text));
  };
  const fileops::RenameOutcome outcome = fileops::renameFiles(names, rules, several, prompts);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (outcome.newNames[i])
      results_.setItem(rows[i], fileops::renamedItem(results_.item(rows[i]), *outcome.newNames[i]));
  }
  // Backups no longer match the renamed files.
  if (outcome.renamedAny) host_.withdrawUndo();
}

void FileOpsController::afterRenameDialog() {
  const int browsed = viewer_.browsedRow();
  if (browsed < 0 || browsed >= results_.rowCount()) return;
  const QString now = qs(results_.item(browsed).fullName());
  if (now != viewer_.browsedFullName()) {
    viewer_.clearViewer();
    list_.clearSelection();
  }
  host_.updateCommands();
}

// --- Open Directory ---

void FileOpsController::openDirectory() {
  if (state_.busy) return;
  QString fullName = host_.browsedFileShown();
  if (fullName.isEmpty()) {
    const std::vector<int> rows = list_.selectedRows();
    if (rows.empty()) return;
    fullName = qs(results_.item(rows.front()).fullName());
  }
  const QString folder = QFileInfo(fullName).path();
  if (!QFileInfo(folder).isDir()) {
    showWarning(&window_, "Information", "Directory " + folder + " not found");
    // A file handed to an editor may have been saved meanwhile: the viewer catches up.
    host_.checkExternalChanges();
    return;
  }
  if (!folderShower_(folder, fullName))
    showWarningWithPath(&window_, "Open Directory",
                        "No file manager could be started to show the folder\n" + folder, folder);
}

}  // namespace kestrix::ui
