// Opens a listed file with the desktop's default application (Execute File, double-click)
// or in the external editor (Edit File), and arms the external-change check for it.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

#include "ui/fileops/EditorCommand.h"

namespace kestrix::ui {

class ExternalChangeCheck;

class FileLauncher {
 public:
  using Warn = std::function<void(const QString& caption, const QString& text)>;
  using OpenUrl = std::function<bool(const QUrl& url)>;
  using StartProgram = std::function<bool(const QString& program, const QStringList& arguments,
                                          const QString& workingFolder)>;

  // `check` must outlive the launcher. Until hooks are set, warnings are dropped, files
  // open through QDesktopServices::openUrl and programs start through
  // QProcess::startDetached.
  explicit FileLauncher(ExternalChangeCheck& check);

  void setWarningHook(Warn warn) { warn_ = std::move(warn); }
  void setOpenUrlHook(OpenUrl openUrl) { openUrl_ = std::move(openUrl); }
  void setStartProgramHook(StartProgram start) { start_ = std::move(start); }

  // Opens folder/name with its default application and arms the check. A missing file
  // gives the warning "File " + full name + " not found" (caption "Information"), runs the
  // check at once and returns false.
  bool openFile(const QString& folder, const QString& name);

  // Starts the program of `command` with its arguments for `target` (the file name always
  // inside one argument, no shell), in the program's folder, then arms the check. A program that
  // cannot be found gives "Editor " + program + " not found" (caption "Information"), runs the
  // check at once and returns false. An empty command uses app::defaultEditorCommand(); a
  // desktop editor's line switch is added (app::withLineSwitch).
  bool editFile(const QString& command, const EditorTarget& target);

 private:
  void warn(const QString& caption, const QString& text) const;

  ExternalChangeCheck& check_;
  Warn warn_;
  OpenUrl openUrl_;
  StartProgram start_;
};

// path + "/" + name; a root folder "/" gives "/" + name.
QString joinFullName(const QString& folder, const QString& name);

}  // namespace kestrix::ui
