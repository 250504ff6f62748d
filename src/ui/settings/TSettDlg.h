// The "Settings" dialog: line separator of rewritten files, the external editor command
// with its placeholder menu and program picker, the context size of Browse Context, the
// two ignore-list switches with their "Edit List..." buttons and the permissions for
// read-only and hidden files, the cap of the undo history. Reads its values when created, writes
// them when destroyed; Cancel restores what it showed when it was opened.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "app/DialogSettings.h"

class QCheckBox;
class QLabel;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kestrix::ui {

struct SettingsBackend;

class TSettDlg : public QDialog {
  Q_OBJECT
 public:
  // Picks a program file starting in `folder`; returns its path, or empty when cancelled.
  using ProgramPicker = std::function<QString(QWidget* parent, const QString& folder)>;

  // `editorDefault` is the `Editor` default (a quoted program path).
  TSettDlg(std::shared_ptr<SettingsBackend> backend, const QString& editorDefault, QWidget* parent);
  ~TSettDlg() override;

  app::DialogSettings values() const;
  void setValues(const app::DialogSettings& values);
  // The cap of the undo history (kept apart from the values a project carries).
  app::HistoryCap historyCap() const;
  void setHistoryCap(const app::HistoryCap& cap);

  // The start folder of the program picker (`InitialDirOpenEditor`).
  QString editorFolder() const { return editorFolder_; }
  void setEditorFolder(const QString& folder) { editorFolder_ = folder; }
  void setProgramPicker(ProgramPicker picker) { pickProgram_ = std::move(picker); }

  // "Browse...": picks the editor program and sets the command to run it on the file.
  void browseEditor();
  // The placeholder menu's item: inserts `placeholder` at the caret of the editor box.
  void insertPlaceholder(const QString& placeholder);

  QRadioButton* WinXPRadioButton;
  QRadioButton* UnXPRadioButton;
  QRadioButton* MacXPRadioButton;
  QRadioButton* KeepXPRadioButton;
  QLineEdit* EditorEdit;
  QPushButton* XPButtonEditor;
  QMenu* PlaceholderMenu;
  QPushButton* Button2;
  QComboBox* BrowseComboBox;
  QComboBox* CodePageComboBox;  // the legacy code page of files not in UTF-8 or UTF-16
  QCheckBox* IgnorePathsXPCheck;
  QPushButton* EditPathsXPButton;
  QCheckBox* IgnoreFilesXPCheck;
  QPushButton* EditFilesXPButton;
  QCheckBox* ReadOnly;
  QLabel* ReadOnlyHint;  // says that replacing read-only files needs backups on
  QCheckBox* ReplaceHiddenCheckBox;
  QSpinBox* HistorySizeSpinBox;  // megabytes
  QSpinBox* HistoryRunsSpinBox;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 signals:
  // An "Edit List..." button was pressed.
  void editFolderListRequested();
  void editFileListRequested();
  // F1.
  void helpRequested(const QString& topic);

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void createControls();
  void buildLayout();
  void wire();
  void applyEditButtons();
  void showPlaceholderMenu();

  std::shared_ptr<SettingsBackend> backend_;
  // The separator choice kept beside Keep (see app::DialogSettings).
  app::SeparatorChoice storedChoice_ = app::SeparatorChoice::Windows;
  app::DialogSettings snapshot_;
  app::HistoryCap capSnapshot_;
  QString editorFolder_;
  ProgramPicker pickProgram_;
};

}  // namespace kestrix::ui
