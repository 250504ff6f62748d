// Persistent settings of the window: every control survives a restart, first-start
// defaults, a damaged settings file, the Settings dialog and the ignore-list dialogs
// (Cancel, placeholders, pickers, help), and the ignore lists in a search.
#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>
#include <memory>

#include "ControlValues.h"
#include "WindowTestUtil.h"
#include "app/SideFiles.h"
#include "ui/fileops/FileOpsController.h"
#include "ui/find/FindTab.h"
#include "ui/results/ReportController.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/settings/OptionsTab.h"
#include "ui/settings/SettingsBackend.h"
#include "ui/settings/SettingsController.h"
#include "ui/settings/TFileIgnoreDlg.h"
#include "ui/settings/TPathIgnoreDlg.h"
#include "ui/settings/TSettDlg.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/window/HelpWindow.h"
#include "ui/window/MainMenus.h"
#include "ui/window/ScreenScale.h"
#include "ui/window/TFind.h"
#include "ui/window/WindowGeometry.h"

using namespace kestrix::ui;
using namespace kestrix::ui::testing;

namespace {

QString readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class SettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    home_ = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", (home_->path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home_->path() + "/data").toLocal8Bit());
    qunsetenv("KESTRIX_SETTINGS");
  }
  void cleanup() { qputenv("KESTRIX_SETTINGS", "memory"); }

  void everyControlSurvivesARestart() {
    QMap<QString, QString> before;
    QRect bounds;
    {
      TFind window;
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      changeEveryControl(window);
      window.settings().folderListDialog()->IgnoreSubFoldXPCheck->setChecked(true);
      window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
      window.ListView1->setColumnWidth(1, 250);
      window.resize(scaled(700), window.height());
      window.move(30, 40);
      QTRY_COMPARE(window.settings().normalBounds().left, 30);
      bounds = window.frameGeometry();
      before = controlValues(window);
      QVERIFY2(before.size() > 50, qPrintable(QString::number(before.size())));
    }
    QVERIFY(QFile::exists(settingsFilePath()));
    const QString data = home_->path() + "/data/Kestrix Search & Replace/";
    QCOMPARE(readFile(data + "FindMemo.tmp"), QString("text of FindMemo\r\nsecond line\r\n\r\n"));
    QVERIFY(QFile::exists(data + "DirectIgnoreList.tmp"));
    QVERIFY(QFile::exists(data + "FileIgnoreList.tmp"));

    TFind window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QMap<QString, QString> after = controlValues(window);
    for (auto it = before.begin(); it != before.end(); ++it)
      QVERIFY2(after.value(it.key()) == it.value(),
               qPrintable(it.key() + ": " + it.value() + " / " + after.value(it.key())));
    QCOMPARE(window.PageControl1->currentIndex(), int(TFind::SearchReplacePage));
    QCOMPARE(window.ListView1->columnWidth(1), 250);
    QCOMPARE(window.pos(), bounds.topLeft());
    QCOMPARE(window.frameGeometry().width(), bounds.width());
    // The dialogs' values reached the window.
    QCOMPARE(window.editorCommand(), QString("\"/opt/EditorEdit\" \"%PrFullName%\""));
    QCOMPARE(window.state().contextLinesIndex, 4);
  }

  void maximizedWindowKeepsItsNormalBounds() {
    kestrix::app::WindowBounds normal;
    {
      TFind window;
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      window.resize(scaled(680), window.height());
      window.move(20, 30);
      QTRY_COMPARE(window.settings().normalBounds().left, 20);
      normal = window.settings().normalBounds();
      window.showMaximized();
      QTRY_VERIFY(window.isMaximized());
    }
    QSettings stored(settingsFilePath(), QSettings::IniFormat);
    QCOMPARE(stored.value("Options/MaxFind").toString(), QString("1"));
    QCOMPARE(stored.value("Options/FindLeft").toString(), QString("20"));
    TFind window;
    window.show();
    QTRY_VERIFY(window.isMaximized());
    QCOMPARE(window.settings().normalBounds(), normal);
  }

  void listHeightComesBack() {
    {
      TFind window;
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      window.geometryController().expand();
      const QList<int> sizes = window.Splitter1->sizes();
      window.Splitter1->setSizes({scaled(100), sizes[0] + sizes[1] - scaled(100)});
      QTRY_COMPARE(window.settings().normalBounds().listHeight, scaled(100));
    }
    TFind window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.geometryController().expand();
    QTRY_COMPARE(window.ListView1->height(), scaled(100));
  }

  void firstStartDefaults() {
    qputenv("KESTRIX_SETTINGS", "memory");
    TFind window;
    const OptionsTab& o = *window.optionsTab;
    QVERIFY(o.AllMostRadioButton->isChecked());
    QCOMPARE(o.SizeSpinEdit->value(), 100);
    QCOMPARE(o.KBComboBox->currentText(), QString("KB"));
    QCOMPARE(o.DaysAgoSpinEdit->value(), 2);
    QCOMPARE(o.MinDateTimePicker->date(), QDate::currentDate().addMonths(-12));
    QCOMPARE(o.MaxDateTimePicker->date(), QDate::currentDate());
    QVERIFY(o.CreatBackupCheckBox->isChecked() && o.TrimLeftCheckBox->isChecked() &&
            o.IncludeSubdirectoriesCheckBox->isChecked());
    QCOMPARE(window.ComboBoxPath->currentText(), QDir::homePath());
    QCOMPARE(window.MasksComboBox->currentText(), QString("*.*"));
    QCOMPARE(window.MasksComboBox->count(), 2);
    QCOMPARE(window.PageControl1->currentIndex(), int(TFind::FindPage));
    // The size measured for the lists' rows, within the screen (tst_firststart checks the
    // rows it shows).
    const QRect area = window.screen()->availableGeometry();
    const WindowGeometry::StartSize start = window.geometryController().firstStartSize(area);
    QCOMPARE(window.width(), start.width);
    QVERIFY(window.width() >= window.minimumWidth() && window.width() <= area.width());
    QCOMPARE(window.geometryController().heightWithResults(), start.height);
    QCOMPARE(window.ListView1->columnWidth(0), scaled(96));
    const TSettDlg& dialog = *window.settings().settingsDialog();
    QVERIFY(dialog.KeepXPRadioButton->isChecked());
    QVERIFY(dialog.EditorEdit->text().endsWith(" \"%PrFullName%\""));
    QCOMPARE(dialog.BrowseComboBox->currentText(), QString("5"));
    QVERIFY(window.menus->settings.isEnabled());
  }

  void damagedSettingsGiveAUsableWindow() {
    {
      QDir().mkpath(home_->path() + "/config");
      QFile file(settingsFilePath());
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(
          "[General]\nComboBoxPathCountV=1000000\nComboBoxPathText=/x\nMasksComboBoxCountV=zz\n"
          "[Options]\nFindWidth=-5\nFindHeight=99999999\nFindLeft=100000\nFindTop=-100000\n"
          "FindListViewHeight=-1\nColumnName=-30\nColumnPath=abc\nSizeSpinEdit=-7\n"
          "KBComboBox=9\nNomTab=7\nBrowseComboBox=99\nMinDateTimePickerNum=999999999999\n"
          "DaysAgoSpinEdit=1e5\n");
    }
    const QString memo = home_->path() + "/data/Kestrix Search & Replace/FindMemo.tmp";
    writeFile(home_->path(), "data/Kestrix Search & Replace/FindMemo.tmp",
              QByteArray(10 * 1024 * 1024, 'x'));
    {
      TFind window;
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      const QRect screen = window.screen()->availableGeometry();
      QVERIFY(screen.contains(window.pos()));
      QVERIFY(window.width() <= screen.width());
      QCOMPARE(window.ComboBoxPath->count(), 100);
      QCOMPARE(window.MasksComboBox->count(), 2);
      QCOMPARE(window.PageControl1->currentIndex(), int(TFind::OptionsPage));
      QCOMPARE(window.ListView1->columnWidth(0), scaled(96));
      QCOMPARE(window.ListView1->columnWidth(1), scaled(165));
      QTRY_COMPARE(window.optionsTab->SizeSpinEdit->value(), 1);
      QCOMPARE(window.optionsTab->KBComboBox->currentIndex(), 0);
      QCOMPARE(window.optionsTab->DaysAgoSpinEdit->value(), 2);
      QCOMPARE(window.settings().settingsDialog()->BrowseComboBox->currentIndex(), 3);
      QVERIFY(window.findChild<QPlainTextEdit*>("FindMemo")->toPlainText().isEmpty());
    }
    QCOMPARE(QFileInfo(memo).size(), 10 * 1024 * 1024);  // too large to show, so kept
  }

  void cancelRestoresTheDialogs() {
    qputenv("KESTRIX_SETTINGS", "memory");
    TFind window;
    TSettDlg& dialog = *window.settings().settingsDialog();
    dialog.IgnorePathsXPCheck->setChecked(true);
    dialog.show();
    QVERIFY(dialog.EditPathsXPButton->isEnabled());
    QVERIFY(!dialog.EditFilesXPButton->isEnabled());
    dialog.IgnorePathsXPCheck->setChecked(false);
    QVERIFY(!dialog.EditPathsXPButton->isEnabled());  // follows its switch at once
    dialog.UnXPRadioButton->setChecked(true);
    dialog.EditorEdit->setText("changed");
    QCOMPARE(window.editorCommand(), QString("changed"));  // Edit File takes it
    dialog.BrowseComboBox->setCurrentIndex(10);
    QCOMPARE(window.state().contextLinesIndex, 10);
    dialog.ReadOnly->setChecked(true);
    dialog.reject();
    QVERIFY(dialog.IgnorePathsXPCheck->isChecked());
    QVERIFY(dialog.KeepXPRadioButton->isChecked());
    QVERIFY(dialog.EditorEdit->text() != "changed");
    QCOMPARE(dialog.BrowseComboBox->currentIndex(), 3);
    QCOMPARE(window.state().contextLinesIndex, 3);
    QCOMPARE(window.editorCommand(), dialog.EditorEdit->text());
    QVERIFY(!dialog.ReadOnly->isChecked());
    dialog.show();
    dialog.MacXPRadioButton->setChecked(true);
    dialog.accept();
    QVERIFY(dialog.MacXPRadioButton->isChecked());

    TPathIgnoreDlg& folders = *window.settings().folderListDialog();
    folders.setListText("/kept");
    folders.show();
    folders.setListText("/changed");
    folders.IgnoreSubFoldXPCheck->setChecked(true);
    folders.close();  // closing the window is a Cancel
    QCOMPARE(folders.listText(), QString("/kept"));
    QVERIFY(!folders.IgnoreSubFoldXPCheck->isChecked());
    TFileIgnoreDlg& files = *window.settings().fileListDialog();
    files.show();
    files.setListText("*.o");
    files.accept();
    QCOMPARE(files.listText(), QString("*.o"));
  }

  void emptiedListStaysEmpty() {
    const QString list = home_->path() + "/data/Kestrix Search & Replace/FileIgnoreList.tmp";
    writeFile(home_->path(), "data/Kestrix Search & Replace/FileIgnoreList.tmp", "*.o\r\n*.a\r\n");
    {
      TFind window;
      TFileIgnoreDlg& files = *window.settings().fileListDialog();
      QCOMPARE(files.listText(), QString("*.o\n*.a"));
      files.show();
      files.setListText({});
      files.accept();
    }
    QCOMPARE(readFile(list), QString("\r\n"));
    TFind window;
    QCOMPARE(window.settings().fileListDialog()->listText(), QString());
  }

  void placeholdersPickersAndHelp() {
    qputenv("KESTRIX_SETTINGS", "memory");
    TFind window;
    TSettDlg& dialog = *window.settings().settingsDialog();
    dialog.EditorEdit->setText("ed  file");
    dialog.EditorEdit->setSelection(3, 1);
    dialog.insertPlaceholder("%NumLine%");
    QCOMPARE(dialog.EditorEdit->text(), QString("ed %NumLine%file"));
    QCOMPARE(dialog.PlaceholderMenu->actions().size(), 5);
    QString start;
    dialog.setProgramPicker([&start](QWidget*, const QString& folder) {
      start = folder;
      return QString("/opt/tools/ed");
    });
    dialog.setEditorFolder("/usr/bin");
    dialog.browseEditor();
    QCOMPARE(start, QString("/usr/bin"));
    QCOMPARE(dialog.EditorEdit->text(), QString("\"/opt/tools/ed\" \"%PrFullName%\""));
    QCOMPARE(dialog.editorFolder(), QString("/opt/tools"));
    dialog.setProgramPicker([](QWidget*, const QString&) { return QString(); });
    dialog.browseEditor();  // cancelled: nothing changes
    QCOMPARE(dialog.EditorEdit->text(), QString("\"/opt/tools/ed\" \"%PrFullName%\""));

    TPathIgnoreDlg& folders = *window.settings().folderListDialog();
    folders.setListText("/one\n/two\n/three\n/four");
    QTextCursor cursor(folders.PathsMemo->document()->findBlockByNumber(2));
    cursor.movePosition(QTextCursor::Right);
    folders.PathsMemo->setTextCursor(cursor);
    folders.setFolderPicker([](QWidget*, const QString&) { return QString("/picked"); });
    folders.browseFolder();
    QCOMPARE(folders.listText(), QString("/one\n/two\n/picked\n/four"));
    QCOMPARE(folders.lastFolder(), QString("/picked"));

    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_F1);
    QCOMPARE(window.helpWindow()->currentTopic(), QString("Manual/Settings.htm"));
    dialog.reject();
    folders.show();
    QTest::keyClick(&folders, Qt::Key_F1);
    QCOMPARE(window.helpWindow()->currentTopic(), QString("Manual/Settings.htm#IgnoreLists"));
    folders.reject();
  }

  void saveAndCopyFoldersSurviveARestart() {
    QTemporaryDir tree;
    writeFile(tree.path(), "list/l.txt", "needle\n");
    const QString lists = tree.path() + "/lists";
    const QString pages = tree.path() + "/pages";
    const QString copies = tree.path() + "/copies";
    for (const QString& folder : {lists, pages, copies}) QVERIFY(QDir().mkpath(folder));
    // What each dialog was opened on, by its title.
    QMap<QString, QString> startedAt;
    const auto pickers = [&startedAt](TFind& window, const QString& listFile,
                                      const QString& linesFile, const QString& copyFolder) {
      window.reports().setSavePicker(
          [&startedAt, listFile, linesFile](const QString& title, const QString& folder,
                                            const QString&, const QString&) {
            startedAt[title] = folder;
            return title == "Save List" ? listFile : linesFile;
          });
      window.fileOps().setFolderPicker([&startedAt, copyFolder](const QString& start) {
        startedAt["Copy Files"] = start;
        return copyFolder;
      });
    };
    const auto runAll = [](TFind& window, const QString& root) {
      window.ComboBoxPath->setEditText(root);
      window.MasksComboBox->setEditText("*.*");
      window.findTab->FindEditComboBox->setEditText("needle");
      window.find(kestrix::search::Origin::Find);
      QCOMPARE(window.results->rowCount(), 1);
      window.selectRow(0);
      QTRY_VERIFY(window.ListBox1->hasLines());
      window.menus->saveList.actions().front()->trigger();
      window.menus->saveLines.actions().front()->trigger();
      window.menus->copyFiles.actions().front()->trigger();
    };
    {
      TFind window;
      window.show();
      pickers(window, lists + "/found.lst", pages + "/found.html", copies);
      runAll(window, tree.path() + "/list");
      QVERIFY(QFile::exists(lists + "/found.lst"));
      QVERIFY(QFile::exists(pages + "/found.html"));
      QVERIFY(QFile::exists(copies + "/l.txt"));
      // Cancel changes no folder.
      pickers(window, {}, {}, {});
      window.menus->saveList.actions().front()->trigger();
      window.menus->copyFiles.actions().front()->trigger();
      QCOMPARE(startedAt["Save List"], lists);
      QCOMPARE(startedAt["Copy Files"], copies);
    }
    QSettings stored(settingsFilePath(), QSettings::IniFormat);
    QCOMPARE(stored.value("Options/InitialDir").toString(), lists);
    QCOMPARE(stored.value("Options/InitialDirV").toString(), pages);
    QCOMPARE(stored.value("Options/InitialDirwCopy").toString(), copies);
    startedAt.clear();
    TFind window;
    window.show();
    QCOMPARE(window.reports().listFolder(), lists);
    QCOMPARE(window.reports().linesFolder(), pages);
    QCOMPARE(window.fileOps().copyDestination(), copies);
    pickers(window, {}, {}, {});
    runAll(window, tree.path() + "/list");
    QCOMPARE(startedAt["Save List"], lists);
    QCOMPARE(startedAt["Save Lines"], pages);
    QCOMPARE(startedAt["Copy Files"], copies);
  }

  void settingsReachTheRuns() {
    qputenv("KESTRIX_SETTINGS", "memory");
    QTemporaryDir tree;
    writeFile(tree.path(), "keep/a.txt", "x");
    writeFile(tree.path(), "skip/b.txt", "x");
    writeFile(tree.path(), "skip/deeper/c.txt", "x");
    writeFile(tree.path(), "d.o", "x");
    TFind window;
    window.show();
    window.ComboBoxPath->setEditText(tree.path());
    window.MasksComboBox->setEditText("*.*");
    window.findTab->FindEditComboBox->setEditText("x");
    const auto listed = [&window] {
      window.find(kestrix::search::Origin::Find);
      QStringList names;
      for (int row = 0; row < window.results->rowCount(); ++row)
        names << window.results->cellText(row, window.results->columnOf("Name"));
      names.sort();
      return names.join(",");
    };
    QCOMPARE(listed(), QString("a.txt,b.txt,c.txt,d.o"));
    SettingsController& settings = window.settings();
    settings.folderListDialog()->setListText(tree.path() + "/skip\n\n");
    settings.fileListDialog()->setListText("*.o");
    QCOMPARE(listed(), QString("a.txt,b.txt,c.txt,d.o"));  // switches off: lists unused
    settings.settingsDialog()->IgnorePathsXPCheck->setChecked(true);
    QCOMPARE(listed(), QString("a.txt,c.txt,d.o"));
    settings.folderListDialog()->IgnoreSubFoldXPCheck->setChecked(true);
    QCOMPARE(listed(), QString("a.txt,d.o"));
    settings.settingsDialog()->IgnoreFilesXPCheck->setChecked(true);
    QCOMPARE(listed(), QString("a.txt"));

    kestrix::modify::ModifyRequest request;
    settings.applyTo(request);
    QVERIFY(request.lineSeparator == kestrix::modify::LineSeparator::Keep);
    QVERIFY(!request.modifyReadOnly && !request.modifyHidden);
    settings.settingsDialog()->MacXPRadioButton->setChecked(true);
    settings.settingsDialog()->ReadOnly->setChecked(true);
    settings.settingsDialog()->ReplaceHiddenCheckBox->setChecked(true);
    settings.applyTo(request);
    QVERIFY(request.lineSeparator == kestrix::modify::LineSeparator::Macintosh);
    QVERIFY(request.modifyReadOnly && request.modifyHidden);

    // The code page reaches both requests.
    QCOMPARE(request.legacyCodePage, std::string("Windows-1252"));
    settings.settingsDialog()->CodePageComboBox->setCurrentText("KOI8-R");
    settings.applyTo(request);
    kestrix::search::SearchRequest search;
    settings.applyTo(search);
    QCOMPARE(request.legacyCodePage, std::string("KOI8-R"));
    QCOMPARE(search.legacyCodePage, std::string("KOI8-R"));
  }

 private:
  std::unique_ptr<QTemporaryDir> home_;
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
