// Drives the real main window on the offscreen platform.
#include <QtTest>

#include "ui/TFind.h"

class TFindTest : public QObject {
  Q_OBJECT
 private slots:
  void windowHasTitle() {
    kestrix::ui::TFind window;
    QCOMPARE(window.windowTitle(), QString("Kestrix Search & Replace"));
    QCOMPARE(window.objectName(), QString("TFind"));
  }
};

QTEST_MAIN(TFindTest)
#include "TFindTest.moc"
