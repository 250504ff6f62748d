// Open Project and Save Project of the Project menu.
#include "ui/ProjectCommands.h"

#include <QFileInfo>

#include "ui/MessageBoxes.h"
#include "ui/TFind.h"

namespace kestrix::ui {

ProjectCommands::ProjectCommands(TFind& window) : QObject(&window), window_(window) {}

bool ProjectCommands::openProject(const QString& path) {
  if (!QFileInfo::exists(path)) {
    showWarning(&window_, programCaption(), "File \"" + path + "\" not found");
    window_.state().abortRequested = true;
    return false;
  }
  return false;
}

}  // namespace kestrix::ui
