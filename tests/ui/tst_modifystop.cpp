// Stop in the middle of Modify All over a large tree: the pass ends soon after Stop, every
// file is either fully old or fully new, and the rows tell which.
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "WindowTestUtil.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using namespace kestrix::ui::testing;

namespace {
constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;  // 10 000 files: quick enough under the sanitizers
const QByteArray kOld = QByteArray("line with a needle in it\n").repeated(8);
const QByteArray kNew = QByteArray("line with a thread in it\n").repeated(8);
}  // namespace

class ModifyStopTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir tree_;
  QTemporaryDir data_;

 private slots:
  void initTestCase() {
    QVERIFY(tree_.isValid() && data_.isValid());
    qputenv("XDG_DATA_HOME", data_.path().toUtf8());
  }

  // Every case starts from the unmodified tree.
  void init() {
    for (int d = 0; d < kFolders; ++d) {
      const QString folder = QString("%1/d%2").arg(tree_.path()).arg(d, 3, 10, QChar('0'));
      QVERIFY(QDir().mkpath(folder));
      for (int f = 0; f < kFilesPerFolder; ++f) {
        QFile file(QString("%1/f%2.txt").arg(folder).arg(f));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kOld);
      }
    }
  }

  void stopLeavesEveryFileWholeOldOrWholeNew_data() {
    QTest::addColumn<bool>("escapeKey");
    QTest::newRow("Stop button") << false;
    QTest::newRow("Escape key") << true;
  }

  void stopLeavesEveryFileWholeOldOrWholeNew() {
    QFETCH(bool, escapeKey);
    WarningRecorder recorder;
    TFind window;
    window.show();
    QApplication::setActiveWindow(&window);
    window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
    window.ComboBoxPath->setEditText(tree_.path());
    window.MasksComboBox->setEditText("*.txt");
    window.replaceTab->SearchEdit->setEditText("needle");
    window.replaceTab->ReplaceButton->click();
    window.replaceTab->Edit2->setEditText("thread");
    QTest::mouseClick(window.replaceTab->SearchButton, Qt::LeftButton);
    QCOMPARE(window.results->rowCount(), kFolders * kFilesPerFolder);

    // Stop as soon as the first files report their result, like a user watching the list.
    QElapsedTimer sinceStop;
    bool stopEnabled = false;
    const auto connection = connect(window.results, &QAbstractItemModel::dataChanged, this, [&] {
      if (sinceStop.isValid()) return;
      stopEnabled = window.replaceTab->StopReplaceButton->isEnabled();
      sinceStop.start();
      if (escapeKey)
        QTest::keyClick(&window, Qt::Key_Escape);
      else
        QTest::mouseClick(window.replaceTab->StopReplaceButton, Qt::LeftButton);
    });
    QTest::mouseClick(window.replaceTab->ModifyAllButton, Qt::LeftButton);
    disconnect(connection);
    QVERIFY(stopEnabled);
    QVERIFY(sinceStop.isValid());
    QVERIFY(!window.state().busy);
    QVERIFY(recorder.warnings.isEmpty());

    int modified = 0, untouched = 0;
    for (int row = 0; row < window.results->rowCount(); ++row) {
      const kestrix::search::ResultItem& item = window.results->item(row);
      QFile file(QString::fromStdString(item.fullName()));
      QVERIFY(file.open(QIODevice::ReadOnly));
      const QByteArray bytes = file.readAll();
      if (item.outcome.result == kestrix::search::RowResult::Modified) {
        QCOMPARE(bytes, kNew);
        ++modified;
      } else {
        QVERIFY(item.outcome.result == kestrix::search::RowResult::Found);
        QCOMPARE(bytes, kOld);
        ++untouched;
      }
    }
    QVERIFY2(modified > 0 && untouched > 0,
             qPrintable(QString("%1 / %2").arg(modified).arg(untouched)));
    // Undo is offered for the files that were changed before the stop.
    QVERIFY(window.replaceTab->UndoButton->isEnabled());
    QCOMPARE(window.modifyController().journal().entries.size(), static_cast<size_t>(modified));
  }
};

QTEST_MAIN(ModifyStopTest)
#include "tst_modifystop.moc"
