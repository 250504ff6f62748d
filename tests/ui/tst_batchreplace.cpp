// The "Batch Replace" dialog and its run through the window: three pairs with backups then
// Undo reverting only the last pair, the run's summary and its failures in one notice, skipped
// empty rows, the None refusal, ".tbl" files (a round trip, a "100001" file refused, a typed name
// without extension), the state file, the grid's row rules and a 100 000-row table.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include "WindowTestUtil.h"
#include "modify/BatchTable.h"
#include "ui/batch/BatchReplaceCommand.h"
#include "ui/batch/BatchTableModel.h"
#include "ui/batch/TBatchDlg.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/settings/OptionsTab.h"
#include "ui/settings/SettingsController.h"
#include "ui/settings/TSettDlg.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using kestrix::search::QueryType;
using namespace kestrix::ui::testing;
using kestrix::modify::BatchPair;
using kestrix::modify::BatchTable;

namespace {
QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Types `name` into the file dialog that `button` opens and accepts it.
void typeIntoFileDialog(QPushButton* button, const QString& name) {
  QTimer::singleShot(0, [name] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    dialog->selectFile(name);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  button->click();
}
}  // namespace

class BatchReplaceTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir data_;

  static void prepare(TFind& window, const QString& root) {
    window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
    window.ComboBoxPath->setEditText(root);
    window.MasksComboBox->setEditText("*.txt");
    window.replaceTab->ReplaceButton->click();
  }

 private slots:
  void initTestCase() {
    QVERIFY(data_.isValid());
    qputenv("XDG_DATA_HOME", data_.path().toUtf8());
  }

  void threePairsThenUndoRevertsTheLastPair() {
    QTemporaryDir tree;
    const QString root = tree.path();
    writeFile(root, "a.txt", "red green\n");
    writeFile(root, "b.txt", "green only\n");
    writeFile(root, "c.txt", "nothing\n");
    WarningRecorder recorder;
    TFind window;
    window.show();
    prepare(window, root);
    BatchTable table;
    table.rows = {{"red", "blue"}, {"", "skipped"}, {"green", "yellow"}, {"blue", "black"}};
    window.replaceTab->SearchEdit->setEditText("typed");
    window.batchReplace().runTable(table);
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
    // The pairs went to the core, not into the tab's boxes; the list is not the boxes'
    // search, so Modify All waits for the next Search.
    QCOMPARE(window.replaceTab->SearchEdit->currentText(), QString("typed"));
    QVERIFY(!window.replaceTab->ModifyAllButton->isEnabled());
    // The status bar sums the pairs up as a single run's.
    QCOMPARE(window.statusText(1), QString("4 modified, 0 failed"));
    QCOMPARE(readAll(root + "/a.txt"), QByteArray("black yellow\n"));
    QCOMPARE(readAll(root + "/b.txt"), QByteArray("yellow only\n"));
    QCOMPARE(readAll(root + "/c.txt"), QByteArray("nothing\n"));
    // The list is the last pair's: only a.txt held "blue".
    QCOMPARE(window.results->rowCount(), 1);
    QVERIFY(window.replaceTab->UndoButton->isEnabled());
    QTest::mouseClick(window.replaceTab->UndoButton, Qt::LeftButton);
    QCOMPARE(readAll(root + "/a.txt"), QByteArray("blue yellow\n"));
    QCOMPARE(readAll(root + "/b.txt"), QByteArray("yellow only\n"));

    window.replaceTab->NoneButton->click();
    window.batchReplace().runTable(table);
    QCOMPARE(recorder.warnings.value(0),
             qMakePair(programCaption(), QString("The Modification Type is \"None\"")));
    QCOMPARE(readAll(root + "/a.txt"), QByteArray("blue yellow\n"));
  }

  // Files that fail in any pair are told once, after the batch, with their reasons.
  void failuresOfAllPairsInOneNotice() {
    QTemporaryDir tree;
    const QString root = tree.path();
    writeFile(root, "ok.txt", "one two\n");
    writeFile(root, "locked.txt", "one two\n");
    QFile::setPermissions(root + "/locked.txt", QFile::ReadOwner);
    WarningRecorder recorder;
    TFind window;
    window.show();
    prepare(window, root);
    window.settings().settingsDialog()->ReadOnly->setChecked(false);
    BatchTable table;
    table.rows = {{"one", "1"}, {"two", "2"}};
    window.batchReplace().runTable(table);
    QCOMPARE(window.statusText(1), QString("2 modified, 2 failed"));
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0].first, QString("Batch Replace"));
    QVERIFY2(recorder.warnings[0].second.startsWith("2 modified, 2 failed."),
             qPrintable(recorder.warnings[0].second));
    QCOMPARE(recorder.warnings[0].second.count(root + "/locked.txt: read-only file"), 2);
    QCOMPARE(readAll(root + "/ok.txt"), QByteArray("1 2\n"));
    QFile::setPermissions(root + "/locked.txt", QFile::ReadOwner | QFile::WriteOwner);
  }

  void multilineCellsSplitAtBars() {
    QTemporaryDir tree;
    writeFile(tree.path(), "m.txt", "a\nb\na|b\n");
    WarningRecorder recorder;
    TFind window;
    window.show();
    prepare(window, tree.path());
    window.replaceTab->setSearchType(QueryType::Multiline);
    window.replaceTab->ReplaceButton->click();
    BatchTable table;
    table.rows = {{"a|b", "x"}, {"a||b", "y|z"}};
    window.batchReplace().runTable(table);
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
    QCOMPARE(readAll(tree.path() + "/m.txt"), QByteArray("x\ny\nz\n"));
  }

  void tableFilesAndTheGridRules() {
    TBatchDlg dialog;
    BatchTableModel& model = *dialog.model();
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("To Search"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("To Replace or Insert"));
    dialog.RowsSpinEdit->setValue(3);
    QCOMPARE(model.rowCount(), 3);
    model.setData(model.index(0, 0), "first\r\nsecond");
    model.setData(model.index(0, 1), QString(1500, 'r'));
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString("first"));
    QCOMPARE(model.data(model.index(0, 1)).toString().size(), 1000);
    model.setData(model.index(2, 0), "third");
    dialog.StringGrid->setCurrentIndex(model.index(1, 0));
    dialog.RemoveRowButton->click();
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.data(model.index(1, 0)).toString(), QString("third"));
    dialog.StringGrid->setCurrentIndex(model.index(1, 0));
    dialog.InsertRowButton->click();
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(dialog.RowsSpinEdit->value(), 3);
    QCOMPARE(model.data(model.index(2, 0)).toString(), QString("third"));
    dialog.StringGrid->setFocus();
    QTest::keyClick(dialog.StringGrid, Qt::Key_Return);  // Enter appends a row
    QCOMPARE(model.rowCount(), 4);

    QTemporaryDir folder;
    const QString path = folder.path() + "/pairs.tbl";
    QVERIFY(dialog.saveTable(path));
    const BatchTable saved = dialog.table();
    QCOMPARE(readAll(path).left(3), QByteArray("4\r\n"));
    dialog.RemoveAllButton->click();
    QCOMPARE(model.rowCount(), 1);
    WarningRecorder recorder;
    QVERIFY(dialog.openTable(path));
    QVERIFY(dialog.table() == saved);
    QCOMPARE(dialog.RowsSpinEdit->value(), 4);
    writeFile(folder.path(), "big.tbl", "100001\r\n\r\na\r\nb\r\n");
    QVERIFY(!dialog.openTable(folder.path() + "/big.tbl"));
    QCOMPARE(recorder.warnings.value(0), qMakePair(programCaption(), QString("Incorrect file")));
    QVERIFY(dialog.table() == saved);
    QCOMPARE(TBatchDlg::kTableFilter, QString("Batch tables (*.tbl)"));
  }

  // A name typed without extension is saved as a ".tbl" file the dialogs' filter shows, and
  // the same name typed in Open finds it.
  void typedNameGetsTheTableExtension() {
    QTemporaryDir folder;
    TBatchDlg dialog;
    dialog.model()->setData(dialog.model()->index(0, 0), "alpha");
    typeIntoFileDialog(dialog.SaveButton, folder.path() + "/t1");
    QVERIFY(QFile::exists(folder.path() + "/t1.tbl"));
    QVERIFY(!QFile::exists(folder.path() + "/t1.csv"));
    dialog.RemoveAllButton->click();
    typeIntoFileDialog(dialog.OpenButton, folder.path() + "/t1");
    QCOMPARE(dialog.model()->data(dialog.model()->index(0, 0)).toString(), QString("alpha"));
  }

  void stateFileKeepsTheTableAcrossRuns() {
    QTemporaryDir folder;
    const QString state = folder.path() + "/Batch.tmp";
    {
      TBatchDlg dialog;
      dialog.setStateFile(state);
      dialog.show();
      dialog.model()->setData(dialog.model()->index(0, 0), "kept");
      dialog.reject();
    }
    QVERIFY(QFile::exists(state));
    TBatchDlg again;
    again.setStateFile(state);
    again.show();
    QCOMPARE(again.model()->data(again.model()->index(0, 0)).toString(), QString("kept"));
    again.resize(620, 380);
    again.grab().save(artifactFolder() + "/batch_dialog.png");
    again.reject();
  }

  void hundredThousandRowsOpenAndScroll() {
    TBatchDlg dialog;
    dialog.show();
    dialog.RowsSpinEdit->setValue(200000);  // set back to 100000
    QCOMPARE(dialog.model()->rowCount(), 100000);
    QCOMPARE(dialog.RowsSpinEdit->value(), 100000);
    dialog.StringGrid->scrollToBottom();
    dialog.StringGrid->setCurrentIndex(dialog.model()->index(99999, 1));
    QCOMPARE(dialog.StringGrid->currentIndex().row(), 99999);
    dialog.RowsSpinEdit->setValue(0);  // raised to 1
    QCOMPARE(dialog.model()->rowCount(), 1);
    dialog.reject();
  }

  void helpTopicOnF1AndHelp() {
    TBatchDlg dialog;
    QStringList topics;
    connect(&dialog, &TBatchDlg::helpRequested, this, [&](const QString& t) { topics << t; });
    dialog.show();
    dialog.HelpButton->click();
    QTest::keyClick(&dialog, Qt::Key_F1);
    QCOMPARE(topics, QStringList({"Manual/BatchReplace.htm", "Manual/BatchReplace.htm"}));
    dialog.reject();
  }
};

QTEST_MAIN(BatchReplaceTest)
#include "tst_batchreplace.moc"
