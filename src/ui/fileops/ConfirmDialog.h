// The confirmation dialogs of the file operations: the copy overwrite question (TCopyDlg),
// the delete question (TDelFilesDlg) and the protected-file question (TDelReadOnlyDlg).
// Several rows give "Yes", "Skip", "Yes to All", "Cancel"; one row "OK" and "Cancel".
// Enter is the first button, Escape is Cancel.
#pragma once

#include <QDialog>
#include <QFontMetrics>
#include <QStringList>

#include "fileops/FileOps.h"

class QLabel;
class QPushButton;

namespace kestrix::ui {

class ConfirmDialog : public QDialog {
  Q_OBJECT
 public:
  enum class Buttons { YesSkipAllCancel, OkCancel };

  // `objectName` names the dialog ("TCopyDlg", ...); it lives as long as `parent`.
  ConfirmDialog(QWidget* parent, const QString& objectName);

  // Shows the question modally and returns the answer (Cancel for Escape or closing).
  fileops::Decision ask(const QString& caption, const QStringList& lines, Buttons buttons);

  QLabel* TextLabel;
  QPushButton* YesButton;  // "Yes" or "OK"
  QPushButton* SkipButton;
  QPushButton* YesToAllButton;
  QPushButton* CancelButton;

 private:
  fileops::Decision decision_ = fileops::Decision::Cancel;
};

// A message line made to fit `limitPx` (pixels at 96 dpi, scaled to the screen) in `font`:
// when wider, its first `head` characters + "..." + its last k characters, with k the
// smallest count that makes the text wider than the limit.
QString shortenedLine(const QString& line, const QFontMetrics& metrics, int limitPx, int head);

}  // namespace kestrix::ui
