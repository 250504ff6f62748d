// The "Rename Files" dialog: prefix, suffix, removal of characters and a new extension,
// applied to the selected rows by "Rename"; it stays open until "Exit".
#pragma once

#include <QDialog>
#include <functional>

#include "fileops/Rename.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kestrix::ui {

class TRenameDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TRenameDlg(QWidget* parent);

  // The rules as the controls hold them.
  fileops::RenameRules rules() const;
  // Writes trimmed texts back into the edits (after validation).
  void showRules(const fileops::RenameRules& rules);
  // "Rename" calls this with the dialog's rules.
  void setRenameHandler(std::function<void()> handler) { onRename_ = std::move(handler); }
  // "Clear Commands".
  void clearCommands();

  QLineEdit* PrefixEdit;
  QLineEdit* SuffixEdit;
  QCheckBox* RemoveCheckBox;
  QSpinBox* FirstPositionSpinEdit;
  QSpinBox* NumberSpinEdit;
  QCheckBox* NewExtensionCheckBox;
  QLineEdit* ExtensionEdit;
  QPushButton* ClearButton;
  QPushButton* RenameButton;
  QPushButton* ExitButton;

 private:
  std::function<void()> onRename_;
};

}  // namespace kestrix::ui
