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

namespace {
struct Editor {
  const char* program;
  const char* lineSwitch;  // opens the file at "%NumLine%"; empty when the editor has none
};
// The desktop editors looked for, in order of preference, with their line switches.
constexpr std::array<Editor, 8> kEditors = {{
    {"gnome-text-editor", ""},
    {"gedit", "\"+%NumLine%\""},
    {"kate", "--line \"%NumLine%\""},
    {"kwrite", "--line \"%NumLine%\""},
    {"mousepad", ""},
    {"pluma", "\"+%NumLine%\""},
    {"xed", "\"+%NumLine%\""},
    {"geany", "\"+%NumLine%\""},
}};

QString withSwitch(const QString& program, const char* lineSwitch, const QString& rest) {
  const QString line = QString::fromLatin1(lineSwitch);
  return program + (line.isEmpty() ? QString() : u' ' + line) + rest;
}
}  // namespace

QString defaultEditorCommand(const std::function<bool(const QString&)>& isInstalled) {
  const auto installed = isInstalled ? isInstalled : [](const QString& name) {
    return !QStandardPaths::findExecutable(name).isEmpty();
  };
  for (const Editor& editor : kEditors) {
    const QString program = QString::fromLatin1(editor.program);
    if (installed(program))
      return withSwitch(program, editor.lineSwitch, QStringLiteral(" \"%PrFullName%\""));
  }
  return QStringLiteral("xdg-open \"%PrFullName%\"");
}

QString withLineSwitch(const QString& command) {
  const QString trimmed = command.trimmed();
  if (trimmed.contains(QStringLiteral("%NumLine%"))) return trimmed;
  // The program is the first word, or the first double-quoted text.
  qsizetype end = 0;
  if (trimmed.startsWith(u'"')) {
    end = trimmed.indexOf(u'"', 1);
    end = end < 0 ? trimmed.size() : end + 1;
  } else {
    end = trimmed.indexOf(u' ');
    if (end < 0) end = trimmed.size();
  }
  QString program = trimmed.left(end);
  program.remove(u'"');
  const QString name = QFileInfo(program).fileName();
  for (const Editor& editor : kEditors)
    if (name == QLatin1String(editor.program))
      return withSwitch(trimmed.left(end), editor.lineSwitch, trimmed.mid(end));
  return trimmed;
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
