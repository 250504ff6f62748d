// The window icon built into the program.
#include <QIcon>
#include <QPixmap>
#include <QtTest>

class WindowIconTest : public QObject {
  Q_OBJECT
 private slots:
  void windowIcon() {
    Q_INIT_RESOURCE(kestrix);
    const QIcon icon(":/icons/kestrix.svg");
    QVERIFY(!icon.isNull());
    const QPixmap pixmap = icon.pixmap(64, 64);
    QCOMPARE(pixmap.width(), 64);
    QVERIFY(pixmap.toImage().pixelColor(32, 32).alpha() > 0);
  }
};

QTEST_MAIN(WindowIconTest)
#include "tst_windowicon.moc"
