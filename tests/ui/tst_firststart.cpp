// A first start on a 1366 x 768 screen opens wholly on the screen with a dozen result rows
// and eight lines of the lines viewer in view.
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QScreen>
#include <QTemporaryFile>
#include <QtTest>

#include "WindowTestUtil.h"
#include "ui/find/FindTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/viewer/LinesDelegate.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using namespace kestrix::ui::testing;

class FirstStartTest : public QObject {
  Q_OBJECT

 private slots:
  void opensWithRoomForTheListsOnASmallScreen() {
    QTemporaryDir dir;
    QByteArray lines;
    for (int i = 0; i < 20; ++i) lines += "a line with the word\n";
    for (int i = 0; i < 30; ++i) writeFile(dir.path(), QString("f%1.txt").arg(i), lines);
    TFind window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.ComboBoxPath->setEditText(dir.path());
    window.findTab->FindEditComboBox->setEditText("word");
    window.find(kestrix::search::Origin::Find);
    QCOMPARE(window.results->rowCount(), 30);
    QTest::qWait(400);  // the fit to the screen after the window was framed
    const QRect area = window.screen()->availableGeometry();
    QVERIFY2(area.contains(window.frameGeometry()),
             qPrintable(QString("frame %1,%2 %3x%4")
                            .arg(window.frameGeometry().x())
                            .arg(window.frameGeometry().y())
                            .arg(window.frameGeometry().width())
                            .arg(window.frameGeometry().height())));
    const ResultsView& list = *window.ListView1;
    const int listRows = list.viewport()->height() / list.verticalHeader()->defaultSectionSize();
    QVERIFY2(listRows >= 12, qPrintable(QString::number(listRows)));
    QTRY_VERIFY(window.ListBox1->lineCount() > 8);
    const LinesViewer& viewer = *window.ListBox1;
    const int viewerRows = viewer.viewport()->height() /
                           LinesDelegate::lineHeight(viewer.font(), viewer.logicalDpiY());
    QVERIFY2(viewerRows >= 8, qPrintable(QString::number(viewerRows)));
  }
};

int main(int argc, char** argv) {
  // An offscreen screen of a common laptop's size.
  QTemporaryFile config(QDir::tempPath() + "/screen-XXXXXX.json");
  if (!config.open()) return 2;
  config.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1366,
                   "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
  config.flush();
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
  QApplication app(argc, argv);
  FirstStartTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "tst_firststart.moc"
