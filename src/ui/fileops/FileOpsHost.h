// What the file operations ask of the window: its folder box, the browsed file, the row
// commands and the undo offer.
#pragma once

#include <QString>

namespace kestrix::ui {

class FileOpsHost {
 public:
  // The folder box's text, trimmed.
  virtual QString folderText() const = 0;
  // The full name of the file the lines viewer shows; empty when it shows none.
  virtual QString browsedFileShown() const = 0;
  // The folder the last copy went to, kept with the settings (empty before the first).
  virtual QString copyTarget() const = 0;
  virtual void setCopyTarget(const QString& folder) = 0;
  // Updates the commands that depend on the rows, the selection and the viewer.
  virtual void updateCommands() = 0;
  // Delete Items: takes the selected rows off the list.
  virtual void deleteItems() = 0;
  // Takes Undo back: the files it would restore were renamed.
  virtual void withdrawUndo() = 0;
  // A file handed to another program may have changed: the viewer catches up.
  virtual void checkExternalChanges() = 0;

 protected:
  ~FileOpsHost() = default;
};

}  // namespace kestrix::ui
