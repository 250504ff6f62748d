// Message boxes and dialogs carry a dialog's decorations (no minimize or maximize) and a
// box is wide enough for its whole caption; a notice does not block the window.
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "ui/fileops/ConfirmDialog.h"
#include "ui/fileops/TRenameDlg.h"
#include "ui/results/TMaskForm.h"
#include "ui/window/MessageBoxes.h"

using namespace kestrix::ui;

namespace {
bool hasDialogDecorations(const QWidget& widget) {
  const Qt::WindowFlags flags = widget.windowFlags();
  return !(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)) &&
         (flags & Qt::WindowCloseButtonHint) && (flags & Qt::WindowTitleHint);
}
}  // namespace

class MessageBoxesTest : public QObject {
  Q_OBJECT

 private slots:
  void warningBoxShowsItsWholeCaption() {
    const QString caption = "Kestrix Search & Replace";
    int width = 0;
    bool decorated = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      width = box->width();
      decorated = hasDialogDecorations(*box);
      box->accept();
    });
    showWarning(nullptr, caption, "No");
    QVERIFY(decorated);
    QVERIFY2(width > QFontMetrics(QApplication::font()).horizontalAdvance(caption) + 60,
             qPrintable(QString::number(width)));
  }

  void dialogsHaveNoMinimizeOrMaximize() {
    QWidget parent;
    TMaskForm mask(&parent);
    TRenameDlg rename(&parent);
    ConfirmDialog confirm(&parent, "TCopyDlg");
    for (const QDialog* dialog : {static_cast<QDialog*>(&mask), static_cast<QDialog*>(&rename),
                                  static_cast<QDialog*>(&confirm)})
      QVERIFY2(hasDialogDecorations(*dialog), qPrintable(dialog->objectName()));
  }

  void noticeDoesNotBlock() {
    QWidget parent;
    parent.show();
    showNotice(&parent, "Modify", "1 modified, 1 failed", "/a/b.txt: read-only file");
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    auto boxes = parent.findChildren<QMessageBox*>();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.front()->detailedText(), QString("/a/b.txt: read-only file"));
    QVERIFY(hasDialogDecorations(*boxes.front()));
    boxes.front()->close();
  }
};

QTEST_MAIN(MessageBoxesTest)
#include "tst_messageboxes.moc"
