// Expanding and splitting the external editor command, and choosing a default editor.
#include "ui/fileops/EditorCommand.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <array>

namespace kestrix::ui {
namespace {

// Name without extension and the extension with its dot; the extension starts at the
// last dot of the name.
std::pair<QString, QString> splitExtension(const QString& name) {
  const qsizetype dot = name.lastIndexOf(u'.');
  if (dot < 0) return {name, QString()};
  return {name.left(dot), name.mid(dot)};
}

QString folderWithSeparator(const QString& path) {
  return path.endsWith(u'/') ? path : path + u'/';
}

}  // namespace

QString expandEditorPlaceholders(const QString& command, const EditorTarget& target) {
  const auto [base, extension] = splitExtension(target.name);
  const QString folder = folderWithSeparator(target.path);
  QString text = command.trimmed();
  text.replace(QStringLiteral("%PrFullName%"), folder + target.name);
  text.replace(QStringLiteral("%PrPath%"), folder);
  text.replace(QStringLiteral("%PrName%"), base);
  text.replace(QStringLiteral("%PrExt%"), extension);
  text.replace(QStringLiteral("%NumLine%"), QString::number(target.lineNumber));
  return text;
}

ProgramAndParameters splitEditorCommand(const QString& command) {
  QString text = command;
  const bool quoted = text.startsWith(u'"');
  if (quoted) text.remove(0, 1);
  const qsizetype quote = text.indexOf(u'"');
  const qsizetype space = text.indexOf(u' ');
  qsizetype programEnd = text.size();  // exclusive
  if (quoted && quote >= 0) {
    programEnd = quote + 1;
  } else if (space >= 0) {
    programEnd = space;
  }
  ProgramAndParameters out;
  out.program = (quoted ? QStringLiteral("\"") : QString()) + text.left(programEnd);
  for (int removed = 0; removed < 2; ++removed) {
    const qsizetype q = out.program.indexOf(u'"');
    if (q < 0) break;
    out.program.remove(q, 1);
  }
  QString rest = text.mid(programEnd);
  qsizetype lead = 0;
  while (lead < rest.size() && rest[lead] == u' ') ++lead;
  out.parameters = rest.mid(lead);
  return out;
}

QStringList splitParameters(const QString& parameters) {
  return QProcess::splitCommand(parameters);
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
