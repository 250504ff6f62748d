// The common part of the two ignore-list dialogs: a multi-line list with its hints and
// OK / Cancel. The list is read from its side file when the dialog is created and saved to
// it when the dialog is destroyed (an emptied list is saved as an empty file when its file
// existed); Cancel restores what the dialog showed when it was opened.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

namespace kestrix::ui {

struct SettingsBackend;

class IgnoreListDlg : public QDialog {
  Q_OBJECT
 public:
  ~IgnoreListDlg() override;

  QString listText() const;
  void setListText(const QString& text);

  QPlainTextEdit* memo() const { return memo_; }
  QPushButton* OKButton;
  QPushButton* CancelButton;

 signals:
  void helpRequested(const QString& topic);

 protected:
  // Builds the dialog with the list box `memoName` and `hints` above it, and loads the list
  // from `sideFile`.
  IgnoreListDlg(std::shared_ptr<SettingsBackend> backend, const char* sideFile,
                const QString& caption, const QStringList& hints, const char* memoName,
                QWidget* parent);
  // The box under the list where subclasses add their controls.
  QVBoxLayout* extraArea() const { return extra_; }
  SettingsBackend& backend() const { return *backend_; }
  // Subclasses snapshot and restore their own controls too.
  virtual void takeSnapshot();
  virtual void restoreSnapshot();

  void showEvent(QShowEvent* event) override;
  void done(int result) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::shared_ptr<SettingsBackend> backend_;
  std::string sideFile_;
  QPlainTextEdit* memo_;
  QVBoxLayout* extra_;
  QString snapshot_;
};

}  // namespace kestrix::ui
