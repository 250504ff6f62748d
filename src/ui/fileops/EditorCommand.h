// The external editor command of Edit File: placeholder expansion, the split into program
// and parameters, the program look-up, and the default editor of this desktop.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace kestrix::ui {

// The file an editor command is expanded for.
struct EditorTarget {
  QString path;        // folder, without a trailing "/" (a root folder stays "/")
  QString name;        // file name with extension
  int lineNumber = 1;  // the line the editor should show; 1 for none
};

// Replaces, in this order, every "%PrFullName%" (full name), "%PrPath%" (folder + "/"),
// "%PrName%" (name without its extension), "%PrExt%" (the extension with its dot) and
// "%NumLine%" (the line number) in `command`, after trimming it.
QString expandEditorPlaceholders(const QString& command, const EditorTarget& target);

// Program and parameter text of an expanded command.
struct ProgramAndParameters {
  QString program;     // quotes removed
  QString parameters;  // as written, quotes kept, leading spaces removed
};

// Splits an expanded command. A command that starts with a double quote names the program
// up to the matching quote (spaces inside allowed); otherwise the program ends at the first
// space. The first two double quotes of the program are removed.
ProgramAndParameters splitEditorCommand(const QString& command);

// The parameter text as an argument list: blanks separate arguments, double quotes group
// them and are removed ("" inside quotes is one quote).
QStringList splitParameters(const QString& parameters);

// The absolute path of `program` when it exists as a file: a name with a "/" is taken as a
// path (relative to the current folder), a bare name is also searched in PATH. Empty when
// not found.
QString locateProgram(const QString& program);

// The command used when the user set none: the first installed of the common desktop
// editors with a line argument where it takes one, else "xdg-open". `isInstalled` answers
// for a bare program name (default: looked up in PATH).
QString defaultEditorCommand(const std::function<bool(const QString&)>& isInstalled = {});

// The file line number shown by a lines-viewer entry (" line 12: text",
// " line 3 - line 5", " line 7 "): drops the first six characters and reads the decimal
// number that ends at the first ":" or blank. Returns 0 when no number can be read.
int lineNumberOfEntry(const QString& entry);

}  // namespace kestrix::ui
