// Drives the real window through modifications of a temporary tree and checks the bytes
// on disk after each step: Modify All and Undo (line breaks, untouched bytes, permission
// bits), Modify Selected on two of five rows, the enable rules of the modify commands,
// intervals marked through the menus, and Preview against `ksr replace --dry-run`.
#include <sys/stat.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include "WindowTestUtil.h"
#include "modify/DataFolder.h"
#include "modify/ModificationType.h"
#include "modify/TemporaryLog.h"
#include "ui/find/FindTab.h"
#include "ui/modify/ChangeTreeModel.h"
#include "ui/modify/IntervalCommands.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/PreviewDialog.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/settings/OptionsTab.h"
#include "ui/settings/SettingsController.h"
#include "ui/settings/TSettDlg.h"
#include "ui/viewer/LinesDelegate.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/window/MainMenus.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using kestrix::search::QueryType;
using namespace kestrix::ui::testing;

namespace {

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every file under `root` with its bytes and modification time.
QMap<QString, QPair<QByteArray, qint64>> snapshot(const QString& root) {
  QMap<QString, QPair<QByteArray, qint64>> files;
  QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    files[path] = {readAll(path),
                   static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
  }
  return files;
}

unsigned modeOf(const QString& path) {
  struct stat st {};
  ::stat(QFile::encodeName(path).constData(), &st);
  return st.st_mode & 07777;
}

QString cell(const TFind& window, int row, const QString& caption) {
  return window.results->cellText(row, window.results->columnOf(caption));
}

// Runs `act` once `widget` shows (a modal dialog's own event loop keeps the timer going).
void whenShown(QWidget* widget, std::function<void()> act) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, widget, act] {
    if (!widget->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act();
  });
  timer->start();
}

int rowNamed(const TFind& window, const QString& name) {
  for (int row = 0; row < window.results->rowCount(); ++row)
    if (cell(window, row, "Name") == name) return row;
  return -1;
}

}  // namespace

class ModifyRunTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir data_;

  // A window on the Search and Replace tab that searched `root` for the phrase `query`.
  void search(TFind& window, const QString& root, const QString& query,
              const QString& masks = "*.txt") {
    window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
    window.ComboBoxPath->setEditText(root);
    window.MasksComboBox->setEditText(masks);
    window.replaceTab->SearchEdit->setEditText(query);
    QTest::mouseClick(window.replaceTab->SearchButton, Qt::LeftButton);
  }

  static void replaceWith(TFind& window, const QString& text) {
    window.replaceTab->ReplaceButton->click();
    window.replaceTab->Edit2->setEditText(text);
  }

  static void waitForViewer(TFind& window) { QTRY_VERIFY(window.ListBox1->hasLines()); }

 private slots:
  void initTestCase() {
    QVERIFY(data_.isValid());
    qputenv("XDG_DATA_HOME", data_.path().toUtf8());
  }

  void modifyAllThenUndoRestoresEveryByte() {
    QTemporaryDir tree;
    const QString root = tree.path();
    writeFile(root, "crlf.txt", "one foo\r\ntwo\r\nfoo foo\r\n");
    writeFile(root, "nofinal.txt", "foo without a final break");
    writeFile(root, "mode.txt", "keep my mode: foo\n");
    writeFile(root, "other.txt", "nothing to change\n");
    writeFile(root, "sub/deep.txt", "FOO in a subfolder\n");
    QFile::setPermissions(root + "/mode.txt", QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ReadGroup | QFile::ExeOwner);
    const unsigned mode = modeOf(root + "/mode.txt");
    const auto before = snapshot(root);

    WarningRecorder recorder;
    TFind window;
    window.show();
    window.settings().settingsDialog()->UnXPRadioButton->setChecked(true);
    search(window, root, "foo");
    QCOMPARE(window.results->rowCount(), 4);
    replaceWith(window, "bar");
    QVERIFY(window.replaceTab->ModifyAllButton->isEnabled());
    QVERIFY(!window.replaceTab->UndoButton->isEnabled());
    QTest::mouseClick(window.replaceTab->ModifyAllButton, Qt::LeftButton);
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));

    QCOMPARE(readAll(root + "/crlf.txt"), QByteArray("one bar\ntwo\nbar bar\n"));
    QCOMPARE(readAll(root + "/nofinal.txt"), QByteArray("bar without a final break"));
    QCOMPARE(readAll(root + "/sub/deep.txt"), QByteArray("bar in a subfolder\n"));
    QCOMPARE(readAll(root + "/mode.txt"), QByteArray("keep my mode: bar\n"));
    QCOMPARE(modeOf(root + "/mode.txt"), mode);
    QCOMPARE(snapshot(root)[root + "/other.txt"], before[root + "/other.txt"]);
    QCOMPARE(readAll(root + "/crlf.txt.bak"), before[root + "/crlf.txt"].first);
    for (int row = 0; row < window.results->rowCount(); ++row) {
      QCOMPARE(cell(window, row, "Result"), QString("Modified"));
      QCOMPARE(cell(window, row, "Found"), QString("0"));  // recounted from the new content
    }
    QVERIFY(window.replaceTab->UndoButton->isEnabled());
    QVERIFY(window.replaceTab->ModifyAllButton->isEnabled());
    window.grab().save(artifactFolder() + "/modify_tab_after_modify_all.png");

    QTest::mouseClick(window.replaceTab->UndoButton, Qt::LeftButton);
    QVERIFY(!window.replaceTab->UndoButton->isEnabled());
    for (int row = 0; row < window.results->rowCount(); ++row)
      QCOMPARE(cell(window, row, "Result"), QString("Undid"));
    for (const char* name : {"crlf.txt", "nofinal.txt", "mode.txt", "sub/deep.txt"}) {
      QCOMPARE(readAll(root + "/" + name), before[root + "/" + name].first);
      QVERIFY2(!QFile::exists(root + "/" + name + ".bak"), name);
    }
    QCOMPARE(modeOf(root + "/mode.txt"), mode);
    QCOMPARE(cell(window, rowNamed(window, "crlf.txt"), "Found"), QString("3"));
  }

  // Ctrl+Z runs Undo. Hide List throws the rows away, and Undo with them: a new search does
  // not bring it back; the next modification does.
  void failedFilesAreToldWithTheirReasons() {
    QTemporaryDir dir;
    writeFile(dir.path(), "ok1.txt", "old\n");
    writeFile(dir.path(), "ok2.txt", "old\n");
    writeFile(dir.path(), "locked.txt", "old\n");
    QFile::setPermissions(dir.path() + "/locked.txt", QFile::ReadOwner);
    WarningRecorder recorder;
    TFind window;
    window.show();
    search(window, dir.path(), "old");
    QCOMPARE(window.results->rowCount(), 3);
    replaceWith(window, "new");
    window.settings().settingsDialog()->ReadOnly->setChecked(false);
    window.modifyController().modifyAll();
    QCOMPARE(window.statusText(1), QString("2 modified, 1 failed"));
    // One non-modal notice naming the file and why.
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0].first, QString("Modify"));
    QVERIFY2(recorder.warnings[0].second.startsWith("2 modified, 1 failed."),
             qPrintable(recorder.warnings[0].second));
    QVERIFY2(recorder.warnings[0].second.contains(dir.path() + "/locked.txt: read-only file"),
             qPrintable(recorder.warnings[0].second));
    // The Result cell keeps its word; its tooltip gives the reason.
    const int locked = rowNamed(window, "locked.txt");
    QCOMPARE(cell(window, locked, "Result"), QString("Failed Modification"));
    const QModelIndex index = window.results->index(locked, window.results->columnOf("Result"));
    QVERIFY(index.data(Qt::ToolTipRole).toString().startsWith("read-only file"));
    QVERIFY(window.results->index(rowNamed(window, "ok1.txt"), index.column())
                .data(Qt::ToolTipRole)
                .toString()
                .isEmpty());
    // Undo says what it did too.
    recorder.warnings.clear();
    window.modifyController().undo();
    QCOMPARE(window.statusText(1), QString("2 undone, 0 failed"));
    QVERIFY(recorder.warnings.isEmpty());
    QFile::setPermissions(dir.path() + "/locked.txt", QFile::ReadOwner | QFile::WriteOwner);
  }

  // Replacing read-only files needs backups: the Settings dialog says so beside its box, and
  // a read-only file met with backups off fails with that reason, then changes with them on.
  void readOnlyFilesNeedBackups() {
    QTemporaryDir dir;
    writeFile(dir.path(), "locked.txt", "old\n");
    QFile::setPermissions(dir.path() + "/locked.txt", QFile::ReadOwner);
    WarningRecorder recorder;
    TFind window;
    window.show();
    TSettDlg* dialog = window.settings().settingsDialog();
    dialog->show();
    QVERIFY(dialog->ReadOnlyHint->isVisible());
    QVERIFY(dialog->ReadOnlyHint->text().contains("Create Backups"));
    const QRect box = dialog->ReadOnly->geometry(), hint = dialog->ReadOnlyHint->geometry();
    QVERIFY2(hint.left() >= box.right() && hint.center().y() - box.center().y() < box.height() / 2,
             "the note sits beside the box");
    dialog->hide();
    dialog->ReadOnly->setChecked(true);
    window.optionsTab->CreatBackupCheckBox->setChecked(false);
    search(window, dir.path(), "old");
    replaceWith(window, "new");
    window.modifyController().modifyAll();
    QCOMPARE(readAll(dir.path() + "/locked.txt"), QByteArray("old\n"));
    QCOMPARE(recorder.warnings.size(), 1);
    const QString reason = "read-only file (backups are off)";
    QVERIFY2(recorder.warnings[0].second.contains(dir.path() + "/locked.txt: " + reason),
             qPrintable(recorder.warnings[0].second));
    const QModelIndex result = window.results->index(0, window.results->columnOf("Result"));
    QCOMPARE(result.data(Qt::ToolTipRole).toString(), reason);
    window.optionsTab->CreatBackupCheckBox->setChecked(true);
    search(window, dir.path(), "old");
    window.modifyController().modifyAll();
    QCOMPARE(readAll(dir.path() + "/locked.txt"), QByteArray("new\n"));
    QCOMPARE(recorder.warnings.size(), 1);
    window.modifyController().undo();
    QFile::setPermissions(dir.path() + "/locked.txt", QFile::ReadOwner | QFile::WriteOwner);
  }

  void undoKeyAndHideList() {
    QTemporaryDir tree;
    const QString root = tree.path();
    writeFile(root, "a.txt", "foo\n");
    WarningRecorder recorder;
    TFind window;
    window.show();
    search(window, root, "foo");
    replaceWith(window, "bar");
    QTest::mouseClick(window.replaceTab->ModifyAllButton, Qt::LeftButton);
    QVERIFY(window.replaceTab->UndoButton->isEnabled());
    // The File menu's Undo is the button's: enabled with it, and Ctrl+Z runs it, except in a
    // text field, where it takes back the typing.
    auto* undo = window.findChild<QAction*>("Undo1");
    QVERIFY(undo->isEnabled());
    QApplication::setActiveWindow(&window);
    QLineEdit* field = window.replaceTab->Edit2->lineEdit();
    field->setFocus();
    QTest::keyClicks(field, "x");
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(field->text(), QString("bar"));
    QCOMPARE(readAll(root + "/a.txt"), QByteArray("bar\n"));
    window.ListView1->setFocus();
    QTest::keyClick(window.ListView1, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(readAll(root + "/a.txt"), QByteArray("foo\n"));
    QVERIFY(!window.replaceTab->UndoButton->isEnabled());
    QVERIFY(!undo->isEnabled());
    QTest::mouseClick(window.replaceTab->ModifyAllButton, Qt::LeftButton);
    QVERIFY(window.replaceTab->UndoButton->isEnabled());
    QVERIFY(undo->isEnabled());
    QTest::mouseClick(window.replaceTab->HideListReplaceButton, Qt::LeftButton);
    QCOMPARE(window.results->rowCount(), 0);
    QVERIFY(!window.replaceTab->UndoButton->isEnabled() && !undo->isEnabled());
    search(window, root, "bar");
    QCOMPARE(window.results->rowCount(), 1);
    QVERIFY(!window.replaceTab->UndoButton->isEnabled());
    replaceWith(window, "baz");
    QTest::mouseClick(window.replaceTab->ModifyAllButton, Qt::LeftButton);
    QVERIFY(window.replaceTab->UndoButton->isEnabled());
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
  }

  // The window's passes share the console's log of temporaries: what a killed run left is
  // removed by the next Undo (and pass), and a file the log does not name never is.
  void undoRemovesTheTemporariesOfAKilledRun() {
    QTemporaryDir tree;
    const QString root = tree.path();
    writeFile(root, "a.txt", "foo\n");
    writeFile(root, ".ksrmine01", "mine");
    WarningRecorder recorder;
    TFind window;
    window.show();
    search(window, root, "foo");
    replaceWith(window, "bar");
    QTest::mouseClick(window.replaceTab->ModifyAllButton, Qt::LeftButton);
    QCOMPARE(readAll(root + "/a.txt"), QByteArray("bar\n"));
    // Another run (killed meanwhile) had recorded a temporary before creating it.
    const QString log =
        QString::fromStdString(kestrix::modify::temporaryLogPath(kestrix::modify::dataFolder()));
    QFile file(log);
    QVERIFY(file.open(QIODevice::Append));
    file.write("+" + QFile::encodeName(root + "/.ksrdead01") + '\0');
    file.close();
    writeFile(root, ".ksrdead01", "left by a kill");
    QTest::mouseClick(window.replaceTab->UndoButton, Qt::LeftButton);
    QCOMPARE(readAll(root + "/a.txt"), QByteArray("foo\n"));
    QVERIFY(!QFile::exists(root + "/.ksrdead01"));
    QCOMPARE(readAll(root + "/.ksrmine01"), QByteArray("mine"));
    QCOMPARE(readAll(log), QByteArray());
  }

  void modifySelectedChangesOnlyTheSelectedRows() {
    QTemporaryDir tree;
    const QString root = tree.path();
    for (int i = 0; i < 5; ++i) writeFile(root, QString("f%1.txt").arg(i), "alpha beta\n");
    WarningRecorder recorder;
    TFind window;
    window.show();
    search(window, root, "alpha");
    QCOMPARE(window.results->rowCount(), 5);
    replaceWith(window, "gamma");
    window.ListView1->clearSelection();
    QVERIFY(!window.replaceTab->ModifySelectedButton->isEnabled());
    QTest::mouseClick(window.replaceTab->ModifySelectedButton, Qt::LeftButton);  // disabled
    QCOMPARE(readAll(root + "/f1.txt"), QByteArray("alpha beta\n"));
    const int first = rowNamed(window, "f1.txt"), second = rowNamed(window, "f3.txt");
    auto* selection = window.ListView1->selectionModel();
    selection->select(window.results->index(first, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->select(window.results->index(second, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(window.replaceTab->ModifySelectedButton->isEnabled());
    QTest::mouseClick(window.replaceTab->ModifySelectedButton, Qt::LeftButton);
    for (int i = 0; i < 5; ++i) {
      const bool chosen = i == 1 || i == 3;
      QCOMPARE(readAll(QString("%1/f%2.txt").arg(root).arg(i)),
               QByteArray(chosen ? "gamma beta\n" : "alpha beta\n"));
      QCOMPARE(cell(window, rowNamed(window, QString("f%1.txt").arg(i)), "Result"),
               QString(chosen ? "Modified" : "Found"));
    }
    // The replacement went to the top of its history.
    QCOMPARE(window.replaceTab->Edit2->itemText(0), QString("gamma"));
    // The lines viewer shows the first selected file's new content.
    waitForViewer(window);
    QVERIFY(window.ListBox1->lineText(0).contains("f1.txt"));
  }

  void validationAndLimitMessages() {
    QTemporaryDir tree;
    writeFile(tree.path(), "a.txt", "x\n");
    WarningRecorder recorder;
    TFind window;
    window.show();
    search(window, tree.path(), "x");
    window.replaceTab->SearchEdit->setEditText({});
    window.modifyController().modifyAll();
    QCOMPARE(recorder.warnings.value(0),
             qMakePair(QString("Modify"), QString("Please specify the string to search and click "
                                                  "Search before modification")));
    search(window, tree.path(), "x");
    replaceWith(window, QString(4001, 'y'));
    QTest::mouseClick(window.replaceTab->ModifyAllButton, Qt::LeftButton);
    QCOMPARE(recorder.warnings.value(1),
             qMakePair(programCaption(),
                       QString("The string is too long for the To Replace or Insert field")));
    QCOMPARE(readAll(tree.path() + "/a.txt"), QByteArray("x\n"));
    window.ListView1->clearSelection();
    window.modifyController().modifySelected();
    QCOMPARE(recorder.warnings.value(2),
             qMakePair(QString("Modify"), QString("Please select some items")));
    QVERIFY(!window.state().busy);
  }

  void enableRulesFollowTheTransitions() {
    QTemporaryDir tree;
    writeFile(tree.path(), "a.txt", "needle\n");
    WarningRecorder recorder;
    TFind window;
    window.show();
    SearchReplaceTab& tab = *window.replaceTab;
    const auto enabled = [&] {
      return QString("%1%2")
          .arg(tab.ModifyAllButton->isEnabled() ? "A" : "-")
          .arg(tab.ModifySelectedButton->isEnabled() ? "S" : "-");
    };
    QCOMPARE(enabled(), QString("--"));
    const struct {
      const char* step;
      std::function<void()> act;
      const char* expected;
    } steps[] = {
        {"search", [&] { search(window, tree.path(), "needle"); }, "AS"},
        {"replacement edited", [&] { tab.Edit2->setEditText("other"); }, "AS"},
        {"None chosen", [&] { tab.NoneButton->click(); }, "--"},
        {"Replace again (parked)", [&] { tab.ReplaceButton->click(); }, "AS"},
        {"deselect", [&] { window.ListView1->clearSelection(); }, "A-"},
        {"search text edited", [&] { tab.SearchEdit->setEditText("needl"); }, "--"},
        {"Delete chosen (outdated)", [&] { tab.DeleteButton->click(); }, "--"},
        {"search again", [&] { search(window, tree.path(), "needle"); }, "AS"},
        {"Multiline chosen", [&] { tab.setSearchType(QueryType::Multiline); }, "--"},
        {"search Multiline",
         [&] {
           tab.SearchMemo->setPlainText("needle");
           QTest::mouseClick(tab.SearchButton, Qt::LeftButton);
         },
         "AS"},
        {"Clear then Reg Expr",
         [&] {
           tab.ClearButton->click();
           tab.setSearchType(QueryType::RegExpr);
         },
         "--"},
        {"search Reg Expr with None",
         [&] {
           tab.SearchMemo->setPlainText("need.e");
           QTest::mouseClick(tab.SearchButton, Qt::LeftButton);
         },
         "--"},
        {"Replace after the Reg Expr search", [&] { tab.ReplaceButton->click(); }, "AS"},
        {"expression option toggled", [&] { window.optionsTab->ExpPointCheckBox->toggle(); }, "--"},
        {"Find-tab search",
         [&] {
           window.PageControl1->setCurrentIndex(TFind::FindPage);
           QTest::mouseClick(window.findTab->FindButton, Qt::LeftButton);
           window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
         },
         "--"},
    };
    for (const auto& step : steps) {
      step.act();
      QVERIFY2(enabled() == step.expected,
               qPrintable(QString("%1: %2, expected %3").arg(step.step, enabled(), step.expected)));
      if (QString(step.step) == "Clear then Reg Expr") {
        QVERIFY(tab.NoneButton->isChecked());  // Clear is not offered for Reg Expr
        QVERIFY(!tab.ClearButton->isEnabled());
      }
    }
    QVERIFY(window.menus->modifyAll.isEnabled() == tab.ModifyAllButton->isEnabled());
  }

  void intervalsMarkedThroughTheMenusLimitTheChange() {
    QTemporaryDir tree;
    const QString root = tree.path();
    QByteArray text;
    for (int i = 1; i <= 6; ++i) text += QByteArray("word line ") + QByteArray::number(i) + "\n";
    writeFile(root, "a.txt", text);
    writeFile(root, "b.txt", "word in b\n");
    WarningRecorder recorder;
    TFind window;
    window.show();
    window.optionsTab->PhraseXPCheckBox->setChecked(true);
    search(window, root, "word");
    QCOMPARE(window.results->caption(window.results->columnOf(ResultsModel::Column::Result)),
             ResultsModel::kResultIntervalCaption);
    const int a = rowNamed(window, "a.txt"), b = rowNamed(window, "b.txt");
    QCOMPARE(cell(window, a, "Result"), QString("Found       All file"));
    replaceWith(window, "WORD");
    window.selectRow(a);
    waitForViewer(window);
    window.ListBox1->selectLine(2);  // " line 2: word line 2"
    window.intervalCommands().updateItems();
    QVERIFY(window.menus->markFrom.isEnabled());
    window.menus->markFrom.actions().front()->trigger();
    window.ListBox1->selectLine(4);
    window.menus->markTo.actions().front()->trigger();
    QCOMPARE(cell(window, a, "Result"), QString("Found       2 - 4"));
    window.intervalCommands().updateStatus();
    QCOMPARE(window.statusText(1),
             QString("Modification interval for the browsed file: From line 2 to line 4"));
    QVERIFY(window.ListBox1->linesDelegate()->marksLine(3));
    QVERIFY(!window.ListBox1->linesDelegate()->marksLine(5));
    window.ListBox1->selectLine(0);  // the heading row cannot be marked
    window.intervalCommands().updateItems();
    QVERIFY(!window.menus->markFrom.isEnabled());
    window.selectRow(b);
    window.menus->unmarkSelected.actions().front()->trigger();
    QCOMPARE(cell(window, b, "Result"), QString("Found       Nil"));
    window.window()->grab().save(artifactFolder() + "/modify_tab_intervals.png");
    QTest::mouseClick(window.replaceTab->ModifyAllButton, Qt::LeftButton);
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
    QCOMPARE(readAll(root + "/a.txt"),
             QByteArray("word line 1\nWORD line 2\nWORD line 3\nWORD line 4\nword line 5\n"
                        "word line 6\n"));
    QCOMPARE(readAll(root + "/b.txt"), QByteArray("word in b\n"));  // "Nil" is skipped
    QCOMPARE(cell(window, a, "Result"), QString("Modified    \\2 - 4"));
    // Switching intervals off brings the plain heading back on the next refresh.
    window.optionsTab->PhraseXPCheckBox->setChecked(false);
    window.PageControl1->setCurrentIndex(TFind::OptionsPage);
    window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
    QCOMPARE(cell(window, b, "Result"), QString("Found"));
  }

  void previewChangesNothingAndAppliesTheCheckedChanges() {
    QTemporaryDir tree;
    const QString root = tree.path();
    writeFile(root, "a.txt", "old text\nkeep\nold again\n");
    writeFile(root, "b.txt", "no final old");
    writeFile(root, "nul.txt", QByteArray("old\0binary", 10));
    const auto before = snapshot(root);
    WarningRecorder recorder;
    TFind window;
    window.show();
    window.settings().settingsDialog()->UnXPRadioButton->setChecked(true);
    search(window, root, "old");
    replaceWith(window, "new");
    QVERIFY(window.replaceTab->PreviewButton->isEnabled());
    PreviewDialog* dialog = window.modifyController().previewDialog();
    ChangeTreeModel& model = dialog->changes();
    QString failures;
    QStringList counts;
    QString beforeCell, lineCell;
    int mark = -1;
    // The row of a.txt among the files (in list order).
    auto fileA = [&] {
      for (int f = 0; f < model.rowCount(); ++f) {
        if (model.index(f, 0).data().toString().startsWith(root + "/a.txt"))
          return model.index(f, 0);
      }
      return QModelIndex();
    };
    whenShown(dialog, [&] {
      failures = dialog->failuresText();
      counts << dialog->countsText();
      const QModelIndex a = fileA();
      beforeCell = model.index(1, ChangeTreeModel::BeforeColumn, a).data().toString();
      mark = model.index(1, ChangeTreeModel::AfterColumn, a)
                 .data(ChangeTreeModel::MarkStartRole)
                 .toInt();
      lineCell = model.index(1, 0, a).data().toString();
      // Unchecking a file unchecks its changes; Uncheck All and Check All follow.
      model.setData(a, Qt::Unchecked, Qt::CheckStateRole);
      counts << dialog->countsText();
      dialog->UncheckAllButton->click();
      counts << dialog->countsText();
      counts << (dialog->ApplyButton->isEnabled() ? "Apply enabled" : "Apply disabled");
      dialog->CheckAllButton->click();
      counts << dialog->countsText();
      dialog->resize(760, 420);
      dialog->grab().save(artifactFolder() + "/preview_dialog.png");
      dialog->CloseButton->click();
    });
    QTest::mouseClick(window.replaceTab->PreviewButton, Qt::LeftButton);
    QCOMPARE(snapshot(root), before);
    QVERIFY(!window.replaceTab->UndoButton->isEnabled());
    QVERIFY(failures.contains("Would fail (1 file):"));
    QVERIFY(failures.contains(root + "/nul.txt: "));
    QCOMPARE(beforeCell, QString("old again"));
    QCOMPARE(lineCell, QString("3"));
    QCOMPARE(mark, 0);
    QCOMPARE(counts, QStringList({"3 of 3 changes in 2 files", "1 of 3 changes in 1 files",
                                  "0 of 3 changes in 0 files", "Apply disabled",
                                  "3 of 3 changes in 2 files"}));
    // Space on the second change of a.txt leaves it out; Apply writes the others.
    whenShown(dialog, [&] {
      dialog->ChangeView->setCurrentIndex(model.index(1, 0, fileA()));
      QTest::keyClick(dialog->ChangeView, Qt::Key_Space);
      counts << dialog->countsText();
      dialog->ApplyButton->click();
    });
    QTest::mouseClick(window.replaceTab->PreviewButton, Qt::LeftButton);
    QCOMPARE(counts.back(), QString("2 of 3 changes in 2 files"));
    QCOMPARE(readAll(root + "/a.txt"), QByteArray("new text\nkeep\nold again\n"));
    QCOMPARE(readAll(root + "/b.txt"), QByteArray("no final new"));
    QCOMPARE(cell(window, rowNamed(window, "a.txt"), "Result"), QString("Modified"));
    QCOMPARE(readAll(root + "/nul.txt"), before[root + "/nul.txt"].first);
    // The applied changes are undone like any run.
    QVERIFY(window.replaceTab->UndoButton->isEnabled());
    QTest::mouseClick(window.replaceTab->UndoButton, Qt::LeftButton);
    QCOMPARE(readAll(root + "/a.txt"), before[root + "/a.txt"].first);
    QCOMPARE(readAll(root + "/b.txt"), before[root + "/b.txt"].first);
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
  }

  void eraseBackupsWalksThePathBoxFolder() {
    QTemporaryDir tree;
    const QString root = tree.path();
    writeFile(root, "top.txt.bak", "b");
    writeFile(root, "sub/low.txt.BAK", "b");
    writeFile(root, "keep.txt", "k");
    WarningRecorder recorder;
    QuestionAnswerer yes({true});
    TFind window;
    window.show();
    window.modifyController().setTrash({});
    window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
    window.ComboBoxPath->setEditText("   ");
    window.menus->eraseBackups.actions().front()->trigger();
    QCOMPARE(recorder.warnings.value(0),
             qMakePair(QString("Erase Backup"), QString("Please specify the Path")));
    QCOMPARE(window.ComboBoxPath->currentText(), QString());
    window.ComboBoxPath->setEditText(root);
    window.optionsTab->IncludeSubdirectoriesCheckBox->setChecked(false);
    window.modifyController().eraseBackups();
    QVERIFY(!QFile::exists(root + "/top.txt.bak"));
    QVERIFY(QFile::exists(root + "/sub/low.txt.BAK"));
    QCOMPARE(recorder.warnings.value(1),
             qMakePair(QString("Erase Backup"), QString("Erased 1 backup file (\".bak\").")));
    QCOMPARE(yes.questions.value(0),
             "Erase 1 backup file in " + root + "?\n\nThey are deleted for good.");
    window.optionsTab->IncludeSubdirectoriesCheckBox->setChecked(true);
    window.modifyController().eraseBackups();
    QVERIFY(!QFile::exists(root + "/sub/low.txt.BAK"));
    QVERIFY(QFile::exists(root + "/keep.txt"));
    QVERIFY(window.replaceTab->SearchButton->isEnabled());
    QVERIFY(!window.replaceTab->UndoButton->isEnabled());
  }
};

QTEST_MAIN(ModifyRunTest)
#include "tst_modifyrun.moc"
