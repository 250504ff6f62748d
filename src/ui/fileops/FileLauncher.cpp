// Execute File, Edit File and double-click on a listed file.
#include "ui/fileops/FileLauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

#include "app/DesktopEditors.h"
#include "ui/fileops/ExternalChangeCheck.h"

namespace kestrix::ui {

QString joinFullName(const QString& folder, const QString& name) {
  return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

FileLauncher::FileLauncher(ExternalChangeCheck& check) : check_(check) {}

void FileLauncher::warn(const QString& caption, const QString& text) const {
  if (warn_) warn_(caption, text);
}

bool FileLauncher::openFile(const QString& folder, const QString& name) {
  const QString fullName = joinFullName(folder, name);
  if (!QFileInfo(fullName).isFile()) {
    warn(QStringLiteral("Information"), QStringLiteral("File ") + fullName + " not found");
    check_.check();
    return false;
  }
  check_.remember(fullName);
  const QUrl url = QUrl::fromLocalFile(fullName);
  const bool started = openUrl_ ? openUrl_(url) : QDesktopServices::openUrl(url);
  check_.arm();
  if (!started)
    warn(QStringLiteral("Execute File"),
         QStringLiteral("No program could be started to open\n") + fullName);
  return started;
}

bool FileLauncher::editFile(const QString& command, const EditorTarget& target) {
  const std::string text = app::withLineSwitch(
      command.trimmed().isEmpty() ? app::defaultEditorCommand() : command.toStdString());
  const auto [named, arguments] = editorProgramAndArguments(QString::fromStdString(text), target);
  const QString program = locateProgram(named);
  if (program.isEmpty()) {
    warn(QStringLiteral("Information"), QStringLiteral("Editor ") + named + " not found");
    check_.check();
    return false;
  }
  check_.remember(joinFullName(target.path, target.name));
  const QString folder = QFileInfo(program).absolutePath();
  const bool started = start_ ? start_(program, arguments, folder)
                              : QProcess::startDetached(program, arguments, folder);
  check_.arm();
  return started;
}

}  // namespace kestrix::ui
