// The external editor command's program and arguments, and choosing a default editor.
#include "ui/fileops/EditorCommand.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <array>

#include "app/EditorCall.h"

namespace kestrix::ui {

std::pair<QString, QStringList> editorProgramAndArguments(const QString& command,
                                                          const EditorTarget& target) {
  const app::EditorCall call =
      app::editorCall(command.trimmed().toStdString(),
                      {target.path.toStdString(), target.name.toStdString(), target.lineNumber});
  QStringList arguments;
  for (const std::string& argument : call.arguments) arguments << QString::fromStdString(argument);
  return {QString::fromStdString(call.program), arguments};
}

QString locateProgram(const QString& program) {
  if (program.isEmpty()) return QString();
  if (program.contains(u'/')) {
    const QFileInfo info(program);
    return info.isFile() ? info.absoluteFilePath() : QString();
  }
  return QStandardPaths::findExecutable(program);
}

QString defaultEditorCommand(const std::function<bool(const QString&)>& isInstalled) {
  struct Editor {
    const char* program;
    const char* arguments;
  };
  // Editors that open a file at a line get the line argument they understand.
  static constexpr std::array<Editor, 8> kEditors = {{
      {"gnome-text-editor", "\"%PrFullName%\""},
      {"gedit", "\"+%NumLine%\" \"%PrFullName%\""},
      {"kate", "--line \"%NumLine%\" \"%PrFullName%\""},
      {"kwrite", "--line \"%NumLine%\" \"%PrFullName%\""},
      {"mousepad", "\"%PrFullName%\""},
      {"pluma", "\"+%NumLine%\" \"%PrFullName%\""},
      {"xed", "\"+%NumLine%\" \"%PrFullName%\""},
      {"geany", "\"+%NumLine%\" \"%PrFullName%\""},
  }};
  const auto installed = isInstalled ? isInstalled : [](const QString& name) {
    return !QStandardPaths::findExecutable(name).isEmpty();
  };
  for (const Editor& editor : kEditors) {
    const QString program = QString::fromLatin1(editor.program);
    if (installed(program)) return program + u' ' + QString::fromLatin1(editor.arguments);
  }
  return QStringLiteral("xdg-open \"%PrFullName%\"");
}

int lineNumberOfEntry(const QString& entry) {
  const QString rest = entry.mid(6);
  qsizetype end = 0;
  while (end < rest.size() && rest[end] != u':' && rest[end] != u' ') ++end;
  bool ok = false;
  const int number = rest.left(end).toInt(&ok);
  return ok ? number : 0;
}

}  // namespace kestrix::ui
