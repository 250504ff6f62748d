// Stop in the middle of a search over a large generated tree: the busy state while the run
// works, the rows found so far kept, and the window idle again afterwards.
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "WindowTestUtil.h"
#include "ui/find/FindTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/window/BusyIndicator.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using namespace kestrix::ui::testing;

namespace {
constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 100;  // 20 000 files
}  // namespace

class StopRunTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir tree_;

 private slots:
  void initTestCase() {
    QVERIFY(tree_.isValid());
    const QByteArray text = QByteArray("some text with a needle inside\n").repeated(20);
    for (int d = 0; d < kFolders; ++d) {
      const QString folder = QString("%1/d%2").arg(tree_.path()).arg(d);
      QVERIFY(QDir().mkpath(folder));
      for (int f = 0; f < kFilesPerFolder; ++f) {
        QFile file(QString("%1/f%2.txt").arg(folder).arg(f));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
      }
    }
  }

  void stopKeepsTheRowsFoundSoFar_data() {
    QTest::addColumn<bool>("escapeKey");
    QTest::newRow("Stop button") << false;
    QTest::newRow("Escape key") << true;
  }

  void stopKeepsTheRowsFoundSoFar() {
    QFETCH(bool, escapeKey);
    WarningRecorder recorder;
    TFind window;
    window.show();
    QApplication::setActiveWindow(&window);
    window.ComboBoxPath->setEditText(tree_.path());
    window.MasksComboBox->setEditText("*.txt");
    window.findTab->FindEditComboBox->setEditText("needle");

    struct Seen {
      bool findDisabled = false, stopEnabled = false, pathDisabled = false, menuDisabled = false,
           otherTabsHidden = false, animating = false;
      QString panel0, panel1;
    } seen;
    QElapsedTimer sinceStop;
    // Once rows arrive, look at the busy window and press Stop.
    QTimer probe;
    probe.setInterval(5);
    connect(&probe, &QTimer::timeout, &window, [&] {
      if (window.results->rowCount() < 50 || sinceStop.isValid()) return;
      seen.findDisabled = !window.findTab->FindButton->isEnabled();
      seen.stopEnabled = window.findTab->StopButton->isEnabled();
      seen.pathDisabled = !window.ComboBoxPath->isEnabled();
      seen.menuDisabled = !window.menuBar()->isEnabled();
      seen.otherTabsHidden = !window.PageControl1->isTabVisible(TFind::OptionsPage);
      seen.animating = window.Animate1->isRunning();
      seen.panel0 = window.statusText(0);
      seen.panel1 = window.statusText(1);
      sinceStop.start();
      if (escapeKey)
        QTest::keyClick(&window, Qt::Key_Escape);
      else
        QTest::mouseClick(window.findTab->StopButton, Qt::LeftButton);
    });
    probe.start();

    window.find(kestrix::search::Origin::Find);
    const qint64 stopLatencyMs = sinceStop.isValid() ? sinceStop.elapsed() : -1;
    probe.stop();
    qInfo("Stop answered after %lld ms with %d rows", stopLatencyMs, window.results->rowCount());

    QVERIFY2(sinceStop.isValid(), "the run ended before Stop could be pressed");
    QVERIFY(seen.findDisabled && seen.stopEnabled && seen.pathDisabled && seen.menuDisabled);
    QVERIFY(seen.otherTabsHidden && seen.animating);
    QVERIFY2(seen.panel0.startsWith("Found Files:   "), qPrintable(seen.panel0));
    // The status bar followed the walk into the tree's folders.
    QVERIFY2(seen.panel1.startsWith(tree_.path() + "/d"), qPrintable(seen.panel1));
    const int rows = window.results->rowCount();
    QVERIFY(rows > 0 && rows < kFolders * kFilesPerFolder);
    QCOMPARE(window.statusText(0), QString("Found Files:   %1").arg(rows));
    QCOMPARE(window.statusText(1), QString("Stopped"));
    QVERIFY(window.ListView1->selectedRows().empty());  // a stopped run selects nothing
    QVERIFY(window.findTab->FindButton->isEnabled());
    QVERIFY(!window.findTab->StopButton->isEnabled());
    QVERIFY(window.PageControl1->isTabVisible(TFind::OptionsPage));
    QVERIFY(!window.Animate1->isRunning());
    QVERIFY(recorder.warnings.isEmpty());
  }
};

QTEST_MAIN(StopRunTest)
#include "tst_stoprun.moc"
