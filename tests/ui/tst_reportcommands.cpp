// Drives the report and file commands of the real main window: the report and context
// pages in the data folder, Save List / Save Lines, and Copy, Delete (into an injected
// trash), Rename and Open Directory through their dialogs' buttons, checking the disk and
// the list afterwards.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "WindowTestUtil.h"
#include "platform/Platform.h"
#include "ui/fileops/ConfirmDialog.h"
#include "ui/fileops/ExternalChangeCheck.h"
#include "ui/fileops/FileOpsController.h"
#include "ui/fileops/TRenameDlg.h"
#include "ui/find/FindTab.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ReportController.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/settings/OptionsTab.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/viewer/ViewerRefresh.h"
#include "ui/window/MainMenus.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using namespace kestrix::ui::testing;

namespace {

// Answers the modal dialogs as they open: each step names the dialog it expects and what
// to do in it (usually clicking a button by its object name).
class ModalDriver : public QObject {
 public:
  struct Step {
    QString dialog;
    std::function<void(QWidget*)> action;
  };
  explicit ModalDriver(QList<Step> steps) : steps_(std::move(steps)) {
    connect(&timer_, &QTimer::timeout, this, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr || steps_.isEmpty()) return;
      const Step step = steps_.takeFirst();
      seen << modal->objectName();
      if (modal->objectName() != step.dialog) {
        qWarning("expected %s, got %s", qPrintable(step.dialog), qPrintable(modal->objectName()));
      }
      step.action(modal);
    });
    timer_.start(20);
  }
  static std::function<void(QWidget*)> click(const QString& button) {
    return [button](QWidget* dialog) {
      auto* b = dialog->findChild<QPushButton*>(button);
      QVERIFY2(b != nullptr && b->isVisible(), qPrintable(button));
      b->click();
    };
  }
  bool done() const { return steps_.isEmpty(); }
  QStringList seen;

 private:
  QList<Step> steps_;
  QTimer timer_;
};

QByteArray readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

class ReportCommandsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir tree_;
  QString root_;
  QString dataFolder_;

  void runFind(TFind& window, const QString& folder, const QString& query) {
    window.ComboBoxPath->setEditText(folder);
    window.MasksComboBox->setEditText("*.*");
    window.findTab->FindEditComboBox->setEditText(query);
    QTest::mouseClick(window.findTab->FindButton, Qt::LeftButton);
  }

  static int rowNamed(const TFind& window, const QString& name) {
    for (int row = 0; row < window.results->rowCount(); ++row)
      if (QString::fromStdString(window.results->item(row).name) == name) return row;
    return -1;
  }

  static QStringList names(const TFind& window) {
    QStringList list;
    for (int row = 0; row < window.results->rowCount(); ++row)
      list << QString::fromStdString(window.results->item(row).name);
    return list;
  }

  // A fresh folder of the tree holding `files` (name -> content).
  QString folderWith(const QString& name, const QList<QPair<QString, QByteArray>>& files) {
    const QString folder = root_ + "/" + name;
    for (const auto& [file, content] : files) writeFile(folder, file, content);
    return folder;
  }

 private slots:
  void initTestCase() {
    QVERIFY(tree_.isValid());
    root_ = tree_.path();
    dataFolder_ = root_ + "/data/Kestrix Search & Replace";
    qputenv("XDG_DATA_HOME", (root_ + "/data").toUtf8());
    qputenv("HOME", (root_ + "/home").toUtf8());
  }

  void createReportWritesThePageAndRestoresTheWindow() {
    WarningRecorder recorder;
    const QString folder =
        folderWith("report", {{"a <&>.txt", "x needle\nneedle needle\n"}, {"b.txt", "none\n"}});
    TFind window;
    window.show();
    QStringList opened;
    window.reports().setPageOpener([&](const QString& path) {
      opened << path;
      return true;
    });
    QVERIFY(!window.menus->createReport.isEnabled());
    runFind(window, folder, "needle");
    QVERIFY(window.menus->createReport.isEnabled());
    window.menus->createReport.actions().front()->trigger();
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
    QCOMPARE(opened, QStringList{dataFolder_ + "/Report.htm"});
    const QByteArray page = readAll(dataFolder_ + "/Report.htm");
    QVERIFY(page.startsWith("<html>\r\n<head>\r\n"));
    QVERIFY(page.endsWith("</body>\r\n</html>\r\n"));
    QVERIFY(page.contains("<a href=\"#1\">a &lt;&amp;&gt;.txt</a>"));
    QVERIFY(page.contains("<strong>Found Occurrences: </strong><font color=\"#0000FF\">3</font>"));
    QCOMPARE(window.results->rowCount(), 1);
    QVERIFY(window.ListView1->selectedRows().empty());
    QVERIFY(window.ListXPCheckBox->isEnabled());
    QVERIFY(!window.state().busy);
    QVERIFY(window.findTab->FindButton->isEnabled());

    // No browser starts: the user learns where the page is.
    window.reports().setPageOpener([](const QString&) { return false; });
    window.menus->createReport.actions().front()->trigger();
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0].first, QString("Create Report"));
    QVERIFY(recorder.warnings[0].second.endsWith(dataFolder_ + "/Report.htm"));
    recorder.warnings.clear();

    // A data folder that cannot be created: the warning, and the window still restored.
    qputenv("XDG_DATA_HOME", (root_ + "/report/b.txt").toUtf8());
    window.menus->createReport.actions().front()->trigger();
    qputenv("XDG_DATA_HOME", (root_ + "/data").toUtf8());
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0].first, QString("Create Report"));
    QVERIFY(recorder.warnings[0].second.startsWith("Cannot open file "));
    QVERIFY(recorder.warnings[0].second.endsWith("/Report.htm"));
    QVERIFY(window.findTab->FindButton->isEnabled());
  }

  void createReportShowsTheFiltersInTheUnitsChosen() {
    const QString folder = folderWith("filters", {{"a.txt", "needle\n"}});
    TFind window;
    window.show();
    window.reports().setPageOpener([](const QString&) { return true; });
    OptionsTab& o = *window.optionsTab;
    o.AllSizeCheckBox->setChecked(true);
    o.AllMostRadioButton->setChecked(true);
    o.SizeSpinEdit->setValue(1000);
    o.KBComboBox->setCurrentText("KB");
    o.AllDateCheckBox->setChecked(true);
    o.BetweenRadioButton->setChecked(true);
    const QDate first(2001, 2, 3);
    const QDate last = QDate::currentDate().addDays(1);
    o.MinDateTimePicker->setDate(first);
    o.MaxDateTimePicker->setDate(last);
    runFind(window, folder, "needle");
    QCOMPARE(window.results->rowCount(), 1);
    window.menus->createReport.actions().front()->trigger();
    const auto shortDate = [](const QDate& d) {
      kestrix::platform::LocalTime t;
      t.year = d.year();
      t.month = d.month();
      t.day = d.day();
      return QByteArray::fromStdString(kestrix::platform::formatShortDate(t));
    };
    const QByteArray blue = "<font color=\"#0000FF\">";
    QByteArray page = readAll(dataFolder_ + "/Report.htm");
    QVERIFY(page.contains("File Size: " + blue + "ON</font> (Maximum " + blue + "1000 KB</font>)"));
    QVERIFY(page.contains("File Date: " + blue + "ON</font> (Between " + blue + shortDate(first) +
                          "</font> and " + blue + shortDate(last) + "</font>)"));

    o.AllLeastRadioButton->setChecked(true);
    o.SizeSpinEdit->setValue(0);
    o.KBComboBox->setCurrentText("MB");
    o.NewestRadioButton->setChecked(true);
    o.DaysAgoSpinEdit->setValue(3);
    window.menus->createReport.actions().front()->trigger();
    page = readAll(dataFolder_ + "/Report.htm");
    QVERIFY(page.contains("File Size: " + blue + "ON</font> (Minimum " + blue + "0 MB</font>)"));
    QVERIFY(page.contains("File Date: " + blue + "ON</font> (Newer than " + blue +
                          "3</font> days ago)"));
  }

  void createReportShowsEachFileInTheViewerWithTheListMenuShut() {
    WarningRecorder recorder;
    const QString folder = folderWith(
        "sections", {{"1.txt", "needle\n"}, {"2.txt", "a needle\n"}, {"3.txt", "needle!\n"}});
    TFind window;
    window.show();
    window.reports().setPageOpener([](const QString&) { return true; });
    runFind(window, folder, "needle");
    QCOMPARE(window.results->rowCount(), 3);
    window.selectRow(0);
    QTRY_VERIFY(window.ListBox1->hasLines());
    window.updateCommands();
    QVERIFY(window.menus->listMenu->isEnabled());
    // Every refill of the viewer while the report runs: its header and whether the list's
    // menu (and its Save List item) could be used at that moment.
    QStringList headers;
    QList<bool> menuUsable;
    connect(window.ListBox1->linesModel(), &QAbstractItemModel::modelReset, this, [&] {
      if (!window.state().busy || !window.ListBox1->hasLines()) return;
      headers << window.ListBox1->lineText(0);
      bool usable = window.menus->listMenu->isEnabled();
      for (QAction* action : window.menus->listMenu->actions()) usable |= action->isEnabled();
      menuUsable << usable;
    });
    window.menus->createReport.actions().front()->trigger();
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
    QCOMPARE(headers.size(), 3);
    for (int r = 0; r < 3; ++r)
      QVERIFY2(headers[r].contains(QString::number(r + 1) + ".txt"), qPrintable(headers[r]));
    QCOMPARE(menuUsable, (QList<bool>{false, false, false}));
    // Restored: a fresh viewer, the menu back, its items following the list again.
    QVERIFY(!window.ListBox1->hasLines());
    QVERIFY(window.menus->listMenu->isEnabled());
    QVERIFY(window.menus->saveList.isEnabled());
    for (QAction* action : window.menus->saveList.actions()) QVERIFY(action->isEnabled());
    QVERIFY(window.menus->selectAll.isEnabled());
  }

  void browseContextBringsUndoBackUnlessTheBackupsWereTouched() {
    WarningRecorder recorder;
    const QString folder = folderWith("undo", {{"u.txt", "foo\n"}, {"v.txt", "foo foo\n"}});
    TFind window;
    window.show();
    window.reports().setPageOpener([](const QString&) { return true; });
    SearchReplaceTab& tab = *window.replaceTab;
    const auto search = [&](const QString& query) {
      window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
      window.ComboBoxPath->setEditText(folder);
      window.MasksComboBox->setEditText("*.txt");
      tab.SearchEdit->setEditText(query);
      QTest::mouseClick(tab.SearchButton, Qt::LeftButton);
    };
    const auto browse = [&] {
      window.selectRow(0);
      QTRY_VERIFY(window.ListBox1->hasLines());
      window.menus->browseContext.actions().front()->trigger();
    };
    search("foo");
    tab.ReplaceButton->click();
    tab.Edit2->setEditText("bar");
    QTest::mouseClick(tab.ModifyAllButton, Qt::LeftButton);
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
    QCOMPARE(readAll(folder + "/u.txt"), QByteArray("bar\n"));
    QVERIFY(tab.UndoButton->isEnabled());
    // A search disables Undo; browsing the context of a row brings it back.
    search("bar");
    QVERIFY(!tab.UndoButton->isEnabled());
    browse();
    QVERIFY(tab.UndoButton->isEnabled());
    // The second search began with Undo enabled again: it still comes back.
    search("bar");
    browse();
    QVERIFY(tab.UndoButton->isEnabled());
    QTest::mouseClick(tab.UndoButton, Qt::LeftButton);
    QCOMPARE(readAll(folder + "/u.txt"), QByteArray("foo\n"));
    QVERIFY(!tab.UndoButton->isEnabled());
    // After the undo nothing is left to undo, whatever is browsed.
    search("foo");
    browse();
    QVERIFY(!tab.UndoButton->isEnabled());

    // A rename after the search: the backups no longer match, Undo stays off.
    QTest::mouseClick(tab.ModifyAllButton, Qt::LeftButton);
    QVERIFY(tab.UndoButton->isEnabled());
    search("bar");
    window.selectRow(rowNamed(window, "v.txt"));
    ModalDriver driver({{"TRenameDlg",
                         [](QWidget* dialog) {
                           auto* d = static_cast<TRenameDlg*>(dialog);
                           d->PrefixEdit->setText("r_");
                           d->RenameButton->click();
                         }},
                        {"TRenameDlg", ModalDriver::click("ExitButton")}});
    window.menus->renameFiles.actions().front()->trigger();
    QVERIFY(driver.done());
    QVERIFY(QFile::exists(folder + "/r_v.txt"));
    browse();
    QVERIFY(!tab.UndoButton->isEnabled());
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
  }

  void browseContextAndSaveLinesWriteTheViewersLines() {
    WarningRecorder recorder;
    QByteArray text;
    for (int k = 1; k <= 20; ++k)
      text += k == 10 ? "the needle\n" : "line " + QByteArray::number(k) + "\n";
    const QString folder = folderWith("context", {{"c.txt", text}});
    TFind window;
    window.show();
    QStringList opened;
    window.reports().setPageOpener([&](const QString& path) {
      opened << path;
      return true;
    });
    runFind(window, folder, "needle");
    window.selectRow(0);
    QTRY_VERIFY(window.ListBox1->hasLines());
    window.updateCommands();
    QVERIFY(window.menus->browseContext.isEnabled());
    window.state().contextLinesIndex = 10;  // "All"
    window.menus->browseContext.actions().front()->trigger();
    QCOMPARE(opened, QStringList{dataFolder_ + "/Browse.htm"});
    const QByteArray page = readAll(dataFolder_ + "/Browse.htm");
    QCOMPARE(page.count("\r\n"), 4 + 1 + 20 + 3);
    QVERIFY(
        page.contains("\r\n<font color=\"#0000FF\">*</font>line 10: the <font "
                      "color=\"#0000FF\">needle</font>\r\n"));
    QVERIFY(page.contains("\r\n line 20: line 20\r\n"));

    // Save Lines: Cancel writes nothing; a chosen file gets the page; the folder is kept.
    QStringList titles;
    QString answer;
    window.reports().setSavePicker(
        [&](const QString& title, const QString&, const QString&, const QString&) {
          titles << title;
          return answer;
        });
    window.menus->saveLines.actions().front()->trigger();
    QVERIFY(!QFile::exists(folder + "/lines.html"));
    answer = folder + "/lines.html";
    window.menus->saveLines.actions().front()->trigger();
    QCOMPARE(titles, (QStringList{"Save Lines", "Save Lines"}));
    const QByteArray lines = readAll(answer);
    QVERIFY(lines.startsWith("<html>\r\n<Title>Information from the Lines Viewer</Title>\r\n"));
    QVERIFY(lines.contains("\r\n line 10: the <font color=\"#0000FF\">needle</font>\r\n"));
    QCOMPARE(window.reports().linesFolder(), folder);

    // Save List: the table with CR LF lines.
    answer = folder + "/list.lst";
    window.menus->saveList.actions().front()->trigger();
    const QByteArray list = readAll(answer);
    QVERIFY(list.startsWith("Name   Path"));
    QVERIFY(list.contains("\r\nc.txt  " + folder.toUtf8()));
    QCOMPARE(list.count("\r\n"), 2);

    // The browsed file vanished: the message, and no page.
    QFile::remove(dataFolder_ + "/Browse.htm");
    QFile::remove(folder + "/c.txt");
    window.menus->browseContext.actions().front()->trigger();
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0],
             qMakePair(QString("Information"), "File " + folder + "/c.txt not found"));
    QVERIFY(!QFile::exists(dataFolder_ + "/Browse.htm"));
  }

  void deleteSkipsTheReadOnlySecondOfThree() {
    WarningRecorder recorder;
    const QString folder = folderWith("delete", {{"1.txt", "k"}, {"2.txt", "k"}, {"3.txt", "k"}});
    QFile::setPermissions(folder + "/2.txt", QFile::ReadOwner);
    const QString trash = folder + "/../delete-trash";
    QDir().mkpath(trash);
    TFind window;
    window.show();
    QStringList trashed;
    window.fileOps().setTrash([&](const std::string& name) {
      const QString from = QString::fromStdString(name);
      trashed << QFileInfo(from).fileName();
      return QFile::rename(from, trash + "/" + QFileInfo(from).fileName());
    });
    runFind(window, folder, "k");
    QCOMPARE(window.results->rowCount(), 3);
    window.ListView1->selectAllRows();
    ModalDriver driver({{"TDelFilesDlg", ModalDriver::click("YesButton")},
                        {"TDelReadOnlyDlg", ModalDriver::click("SkipButton")}});
    window.menus->deleteFiles.actions().front()->trigger();
    QVERIFY(driver.done());
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
    QCOMPARE(trashed, (QStringList{"1.txt", "3.txt"}));
    QVERIFY(QFile::exists(folder + "/2.txt"));
    QVERIFY(!QFile::exists(folder + "/1.txt"));
    QVERIFY(QFile::exists(trash + "/3.txt"));
    QCOMPARE(names(window), QStringList{"2.txt"});

    // One row: the three-line question with OK and Cancel; Cancel deletes nothing.
    window.selectRow(0);
    QString question;
    ModalDriver cancel({{"TDelFilesDlg", [&](QWidget* dialog) {
                           question = dialog->findChild<QLabel*>("TextLabel")->text();
                           QVERIFY(!dialog->findChild<QPushButton*>("SkipButton")->isVisible());
                           ModalDriver::click("CancelButton")(dialog);
                         }}});
    window.menus->deleteFiles.actions().front()->trigger();
    QVERIFY(question.startsWith("Are you sure you want to send\n"));
    QVERIFY(question.endsWith("\nto the Trash?"));
    QCOMPARE(names(window), QStringList{"2.txt"});
    QVERIFY(QFile::exists(folder + "/2.txt"));
  }

  void copyAsksBeforeReplacingAndNeverCopiesOntoItself() {
    const QString folder = folderWith("copy", {{"a.txt", "new a"}, {"b c.txt", "new b"}});
    const QString target = folderWith("copy-target", {{"a.txt", "old a"}});
    TFind window;
    window.show();
    QString picked = target;
    window.fileOps().setFolderPicker([&](const QString&) { return picked; });
    runFind(window, folder, "new");
    window.selectRow(rowNamed(window, "a.txt"));
    // One row: only OK and Cancel; Cancel keeps the old file.
    ModalDriver cancel({{"TCopyDlg", [](QWidget* dialog) {
                           QVERIFY(!dialog->findChild<QPushButton*>("YesToAllButton")->isVisible());
                           QCOMPARE(dialog->findChild<QPushButton*>("YesButton")->text(),
                                    QString("OK"));
                           ModalDriver::click("CancelButton")(dialog);
                         }}});
    window.menus->copyFiles.actions().front()->trigger();
    QVERIFY(cancel.done());
    QCOMPARE(readAll(target + "/a.txt"), QByteArray("old a"));
    // Both rows, Yes: a replaced, the other copied without a question.
    window.ListView1->selectAllRows();
    ModalDriver yes({{"TCopyDlg", ModalDriver::click("YesButton")}});
    window.menus->copyFiles.actions().front()->trigger();
    QCOMPARE(readAll(target + "/a.txt"), QByteArray("new a"));
    QCOMPARE(readAll(target + "/b c.txt"), QByteArray("new b"));
    QCOMPARE(window.fileOps().copyDestination(), target);
    // Into their own folder: nothing is asked, nothing changes.
    picked = folder;
    ModalDriver none({});
    window.menus->copyFiles.actions().front()->trigger();
    QVERIFY(none.seen.isEmpty());
    QCOMPARE(readAll(folder + "/a.txt"), QByteArray("new a"));
    QCOMPARE(window.results->rowCount(), 2);
  }

  void renameFollowsTheNewNameAndAClashChangesNothing() {
    WarningRecorder recorder;
    const QString folder =
        folderWith("rename", {{"report.log", "z"}, {"a.txt", "z"}, {"x_a.txt", "other"}});
    TFind window;
    window.show();
    runFind(window, folder, "z");
    window.modifyController().offerUndo(true);
    window.selectRow(rowNamed(window, "report.log"));
    ModalDriver driver({{"TRenameDlg",
                         [](QWidget* dialog) {
                           auto* d = static_cast<TRenameDlg*>(dialog);
                           d->PrefixEdit->setText("old_");
                           d->NewExtensionCheckBox->setChecked(true);
                           d->ExtensionEdit->setText(".txt");
                           d->RenameButton->click();
                         }},
                        {"TRenameDlg", ModalDriver::click("ExitButton")}});
    window.menus->renameFiles.actions().front()->trigger();
    QVERIFY(driver.done());
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
    QVERIFY(QFile::exists(folder + "/old_report.txt"));
    QVERIFY(!QFile::exists(folder + "/report.log"));
    const int row = rowNamed(window, "old_report.txt");
    QVERIFY(row >= 0);
    QCOMPARE(window.results->cellText(row, window.results->columnOf("Type")),
             window.results->typeNames().displayText("old_report.txt", "TXT File"));
    QVERIFY(!window.modifyController().canUndo());
    QVERIFY(!window.replaceTab->UndoButton->isEnabled());

    // A clash with one row selected: the message, both files untouched.
    window.selectRow(rowNamed(window, "a.txt"));
    ModalDriver clash({{"TRenameDlg",
                        [](QWidget* dialog) {
                          auto* d = static_cast<TRenameDlg*>(dialog);
                          d->clearCommands();
                          d->PrefixEdit->setText("x_");
                          d->RenameButton->click();
                        }},
                       {"TRenameDlg", ModalDriver::click("ExitButton")}});
    window.menus->renameFiles.actions().front()->trigger();
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0].first, QString("Error Renaming File"));
    QCOMPARE(recorder.warnings[0].second,
             "Cannot rename " + folder +
                 "/a.txt: A file with the name you specified (x_a.txt) already exists.");
    QCOMPARE(readAll(folder + "/x_a.txt"), QByteArray("other"));
    QCOMPARE(readAll(folder + "/a.txt"), QByteArray("z"));
  }

  void openDirectoryUsesTheFirstSelectedRowAndReportsAMissingFolder() {
    WarningRecorder recorder;
    const QString folder = folderWith("open", {{"o.txt", "q"}});
    TFind window;
    window.show();
    QStringList shown;
    window.fileOps().setFolderShower([&](const QString& f, const QString& full) {
      shown << f << full;
      return true;
    });
    runFind(window, folder, "q");
    window.viewerRefresh().clearViewer();
    window.ListView1->selectAllRows();
    window.menus->openDirectory.actions().front()->trigger();
    QCOMPARE(shown, (QStringList{folder, folder + "/o.txt"}));
    // A file handed to an editor was saved meanwhile: after the missing-folder message the
    // change is noticed at once.
    const QString edited = folderWith("open-edited", {{"e.txt", "q"}}) + "/e.txt";
    window.changeCheck().remember(edited);
    window.changeCheck().arm();
    {
      QFile file(edited);
      QVERIFY(file.open(QIODevice::ReadWrite));
      QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(30),
                               QFileDevice::FileModificationTime));
    }
    QSignalSpy changed(&window.changeCheck(), &ExternalChangeCheck::fileChanged);
    QDir(folder).removeRecursively();
    window.menus->openDirectory.actions().front()->trigger();
    QCOMPARE(recorder.warnings.value(0),
             qMakePair(QString("Information"), "Directory " + folder + " not found"));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toString(), edited);
    QVERIFY(!window.changeCheck().isArmed());
    QCOMPARE(shown.size(), 2);
  }
};

QTEST_MAIN(ReportCommandsTest)
#include "tst_reportcommands.moc"
