// The external editor command's program and arguments, and the program look-up.
#include "ui/fileops/EditorCommand.h"

#include <QFileInfo>
#include <QStandardPaths>

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

int lineNumberOfEntry(const QString& entry) {
  const QString rest = entry.mid(6);
  qsizetype end = 0;
  while (end < rest.size() && rest[end] != u':' && rest[end] != u' ') ++end;
  bool ok = false;
  const int number = rest.left(end).toInt(&ok);
  return ok ? number : 0;
}

}  // namespace kestrix::ui
