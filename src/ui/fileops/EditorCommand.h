// The external editor command of Edit File: its program and arguments for a file, and the
// program look-up.
#pragma once

#include <QString>
#include <QStringList>
#include <utility>

namespace kestrix::ui {

// The file an editor command is started for.
struct EditorTarget {
  QString path;        // folder, without a trailing "/" (a root folder stays "/")
  QString name;        // file name with extension
  int lineNumber = 1;  // the line the editor should show; 1 for none
};

// The program (first word) and arguments of `command` for `target`: the command is split
// into words first, then each word's placeholders are filled (app::editorCall), so the file
// name is always inside exactly one argument.
std::pair<QString, QStringList> editorProgramAndArguments(const QString& command,
                                                          const EditorTarget& target);

// The absolute path of `program` when it exists as a file: a name with a "/" is taken as a
// path (relative to the current folder), a bare name is also searched in PATH. Empty when
// not found.
QString locateProgram(const QString& program);

// The file line number shown by a lines-viewer entry (" line 12: text",
// " line 3 - line 5", " line 7 "): drops the first six characters and reads the decimal
// number that ends at the first ":" or blank. Returns 0 when no number can be read.
int lineNumberOfEntry(const QString& entry);

}  // namespace kestrix::ui
