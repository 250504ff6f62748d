// Save Project and Open Project: a saved set-up comes back into the window, its fields and
// its dialogs; the lists are cleared and the project's tab is shown; files that cannot be
// read or written are reported and change nothing.
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "ControlValues.h"
#include "WindowTestUtil.h"
#include "ui/batch/BatchReplaceCommand.h"
#include "ui/batch/BatchTableModel.h"
#include "ui/batch/TBatchDlg.h"
#include "ui/find/FindTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/settings/ProjectCommands.h"
#include "ui/settings/SettingsController.h"
#include "ui/settings/TPathIgnoreDlg.h"
#include "ui/window/MainMenus.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using kestrix::search::QueryType;
using namespace kestrix::ui::testing;

namespace {

ProjectCommands& projectCommands(TFind& window) {
  return *window.findChild<ProjectCommands*>();
}

// Makes the dialogs of both commands answer `path` and records their titles and folders.
void answerDialogs(TFind& window, const QString& path, QStringList& asked) {
  const auto picker = [path, &asked](const QString& title, const QString& folder) {
    asked << title + " in " + folder;
    return path;
  };
  projectCommands(window).setOpenPicker(picker);
  projectCommands(window).setSavePicker(picker);
}

void trigger(const Command& command) {
  QVERIFY(command.isEnabled());
  command.actions().front()->trigger();
}

kestrix::modify::BatchTable pairs(std::initializer_list<kestrix::modify::BatchPair> rows) {
  kestrix::modify::BatchTable table;
  table.rows = rows;
  return table;
}

}  // namespace

class ProjectTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(tree_.isValid());
    writeFile(tree_.path(), "files/one.txt", "needle\n");
    writeFile(tree_.path(), "files/two.txt", "needle twice needle\n");
  }

  void saveThenOpenRestoresTheWindowAndItsDialogs() {
    WarningRecorder recorder;
    TFind window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString projectFolder = tree_.path() + "/projects";
    QVERIFY(QDir().mkpath(projectFolder));
    const QString path = projectFolder + "/set-up.ksr";
    QStringList asked;
    answerDialogs(window, path, asked);

    changeEveryControl(window);
    window.settings().folderListDialog()->IgnoreSubFoldXPCheck->setChecked(true);
    window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
    TBatchDlg& batch = *window.batchReplace().dialog();
    batch.model()->setTable(pairs({{"old", "new"}, {"a|b", ""}}));
    const QMap<QString, QString> saved = controlValues(window);
    QVERIFY2(saved.size() > 50, qPrintable(QString::number(saved.size())));
    const QString savedEditor = window.editorCommand();
    const QString saveFolder = window.settings().startFolder(SettingsController::SaveProject);
    trigger(window.menus->saveProject);
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
    QVERIFY(QFile::exists(path));
    QCOMPARE(asked.takeFirst(), "Save Project in " + saveFolder);
    QCOMPARE(window.settings().startFolder(SettingsController::OpenProject), projectFolder);
    QCOMPARE(window.settings().startFolder(SettingsController::SaveProject), projectFolder);

    // Everything changes again, and a search fills the list.
    changeEveryControl(window);
    window.settings().folderListDialog()->IgnoreSubFoldXPCheck->setChecked(false);
    batch.model()->setTable(pairs({{"other", "pair"}}));
    window.PageControl1->setCurrentIndex(TFind::FindPage);
    window.ComboBoxPath->setEditText(tree_.path() + "/files");
    window.MasksComboBox->setEditText("*.txt");
    window.findTab->setQueryType(QueryType::Phrase);
    window.findTab->FindEditComboBox->setEditText("needle");
    window.findTab->FindButton->click();
    QTRY_COMPARE(window.results->rowCount(), 2);
    QVERIFY(controlValues(window) != saved);
    recorder.warnings.clear();

    trigger(window.menus->openProject);
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
    QCOMPARE(asked.takeFirst(), "Open Project in " + projectFolder);
    const QMap<QString, QString> opened = controlValues(window);
    for (auto it = saved.begin(); it != saved.end(); ++it)
      QVERIFY2(opened.value(it.key()) == it.value(),
               qPrintable(it.key() + ": " + it.value() + " / " + opened.value(it.key())));
    QCOMPARE(window.results->rowCount(), 0);
    QCOMPARE(window.PageControl1->currentIndex(), int(TFind::SearchReplacePage));
    QCOMPARE(window.editorCommand(), savedEditor);
    QVERIFY(projectCommands(window).projectLoaded());
    QCOMPARE(batch.table(), pairs({{"old", "new"}, {"a|b", ""}}));
    QCOMPARE(batch.RowsSpinEdit->value(), 2);
  }

  void unreadableFilesChangeNothing() {
    WarningRecorder recorder;
    TFind window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    changeEveryControl(window);
    window.PageControl1->setCurrentIndex(TFind::OptionsPage);
    const QMap<QString, QString> before = controlValues(window);

    const QString garbage = tree_.path() + "/garbage.ksr";
    writeFile(tree_.path(), "garbage.ksr", "not\r\na\r\nproject\r\n");
    QVERIFY(!window.openProject(garbage));
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0].first, programCaption());
    QCOMPARE(recorder.warnings[0].second, QString("Incorrect project file"));
    QCOMPARE(window.PageControl1->currentIndex(), int(TFind::FindPage));
    QVERIFY(!projectCommands(window).projectLoaded());
    QMap<QString, QString> after = controlValues(window);
    after.remove("PageControl1");
    for (auto it = after.begin(); it != after.end(); ++it)
      QVERIFY2(before.value(it.key()) == it.value(),
               qPrintable(it.key() + ": " + before.value(it.key()) + " / " + it.value()));

    const QString missing = tree_.path() + "/missing.ksr";
    QVERIFY(!window.openProject(missing));
    QCOMPARE(recorder.warnings.size(), 2);
    QCOMPARE(recorder.warnings[1].second, "File \"" + missing + "\" not found");
    QVERIFY(window.state().stop.abortRequested);

    // A project that cannot be written says so.
    QVERIFY(!projectCommands(window).saveProject(tree_.path() + "/no/such/folder/p.ksr"));
    QCOMPARE(recorder.warnings.size(), 3);
    QCOMPARE(recorder.warnings[2].first, QString("Save Project"));
    QVERIFY(!QFile::exists(tree_.path() + "/no/such/folder/p.ksr"));
  }

 private:
  QTemporaryDir tree_;
};

QTEST_MAIN(ProjectTest)
#include "tst_project.moc"
