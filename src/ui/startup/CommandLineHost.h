// What the command-line run asks of the window around it: a project to open, the fields
// that the switches set, the Search and Replace tab, and Modify All. TFind implements it.
#pragma once

#include <QString>

#include "app/CommandLine.h"

namespace kestrix::ui {

class CommandLineHost {
 public:
  virtual ~CommandLineHost() = default;

  // Opens a project file as "&Open Project" does; true when it was read.
  virtual bool openProject(const QString& path) = 0;
  virtual void setFolderText(const QString& text) = 0;
  virtual void showSearchReplaceTab() = 0;
  // The folder, masks, search and replacement texts and types the switches may change.
  virtual app::CommandRunFields commandRunFields() const = 0;
  // Writes the fields that differ from the controls into them.
  virtual void applyCommandRunFields(const app::CommandRunFields& fields) = 0;
  // Modify All on the listed files.
  virtual void runModifyAll() = 0;
};

}  // namespace kestrix::ui
