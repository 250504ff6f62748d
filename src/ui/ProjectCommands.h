// "&Open Project" and "&Save Project": the file dialogs with their remembered folders, and
// the exchange of a project file's values with the window, its fields and its dialogs.
#pragma once

#include <QObject>
#include <QString>

namespace kestrix::ui {

class TFind;

class ProjectCommands : public QObject {
  Q_OBJECT
 public:
  explicit ProjectCommands(TFind& window);

  // Reads the project at `path` into the window (see TFind::openProject).
  bool openProject(const QString& path);

 private:
  TFind& window_;
};

}  // namespace kestrix::ui
