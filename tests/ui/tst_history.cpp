// The undo history from the window: the History dialog lists the runs made by the window,
// undoes any of them (a run whose files changed since names each file with its reason),
// clears the history only after a Yes; the cap of the Settings dialog drops the oldest runs;
// and three runs are undone one by one after a restart, mixed with `ksr undo` in either
// order, back to a byte-identical tree with the same modification times, modes and
// extended attributes.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "WindowTestUtil.h"
#include "modify/DataFolder.h"
#include "modify/History.h"
#include "ui/history/THistoryDlg.h"
#include "ui/modify/ModifyController.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/settings/SettingsController.h"
#include "ui/settings/TSettDlg.h"
#include "ui/window/MainMenus.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using namespace kestrix::ui::testing;

namespace {

// What undo must give back of a file: its bytes, mode, modification time and its user.*
// attribute.
struct FileFacts {
  QByteArray bytes;
  unsigned mode = 0;
  qint64 modificationNs = 0;
  QByteArray attribute;
  bool operator==(const FileFacts&) const = default;
};

FileFacts factsOf(const QString& path) {
  FileFacts facts;
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) facts.bytes = file.readAll();
  const QByteArray name = QFile::encodeName(path);
  struct stat st {};
  ::stat(name.constData(), &st);
  facts.mode = st.st_mode & 07777;
  facts.modificationNs = qint64{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
  char value[64];
  const ssize_t size = ::getxattr(name.constData(), "user.note", value, sizeof value);
  if (size > 0) facts.attribute = QByteArray(value, static_cast<int>(size));
  return facts;
}

// Every file of `root`; the ".bak" files only with `withBackups` (a later run replaces the
// backups of an earlier one, so they are part of the tree before the first run only).
QMap<QString, FileFacts> treeFacts(const QString& root, bool withBackups = true) {
  QMap<QString, FileFacts> facts;
  for (const QString& name : QDir(root).entryList(QDir::Files | QDir::Hidden))
    if (withBackups || !name.endsWith(".bak")) facts[name] = factsOf(root + "/" + name);
  return facts;
}

QByteArray readAll(const QString& path) {
  return factsOf(path).bytes;
}

// A tree of three files, two of which hold "foo"; a.txt carries an extended attribute
// (where the file system has them) and an old modification time.
void makeTree(const QString& root) {
  writeFile(root, "a.txt", "foo one\n");
  writeFile(root, "b.txt", "foo\r\nfoo two\r\n");
  writeFile(root, "c.txt", "nothing here\n");
  const QByteArray a = QFile::encodeName(root + "/a.txt");
  ::setxattr(a.constData(), "user.note", "kept", 4, 0);
  const struct timespec times[2] = {{1000000000, 0}, {1000000000, 123456789}};
  ::utimensat(AT_FDCWD, a.constData(), times, 0);
  QFile::setPermissions(root + "/b.txt", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

// Searches `root` for `from` on the Search and Replace tab and replaces it with `to`.
void replaceAll(TFind& window, const QString& root, const QString& from, const QString& to) {
  window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
  window.ComboBoxPath->setEditText(root);
  window.MasksComboBox->setEditText("*.txt");
  window.replaceTab->SearchEdit->setEditText(from);
  QTest::mouseClick(window.replaceTab->SearchButton, Qt::LeftButton);
  window.replaceTab->ReplaceButton->click();
  window.replaceTab->Edit2->setEditText(to);
  QVERIFY(window.replaceTab->ModifyAllButton->isEnabled());
  window.replaceTab->ModifyAllButton->click();
}

void selectRun(THistoryDlg& dialog, int row) {
  dialog.RunsList->setCurrentItem(dialog.RunsList->topLevelItem(row));
}

QString runCell(const THistoryDlg& dialog, int row, int column) {
  return dialog.RunsList->topLevelItem(row)->text(column);
}

}  // namespace

class HistoryTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir data_;

  QString history() const {
    return QString::fromStdString(kestrix::modify::historyFolderIn(kestrix::modify::dataFolder()));
  }

 private slots:
  void init() {
    QVERIFY(data_.isValid());
    qputenv("XDG_DATA_HOME", data_.path().toUtf8());
    kestrix::modify::clearHistory(history().toStdString());
  }

  void historyDialogListsUndoesAndClears() {
    QTemporaryDir tree;
    const QString root = tree.path();
    makeTree(root);
    const auto before = treeFacts(root);
    WarningRecorder warnings;
    TFind window;
    window.show();
    replaceAll(window, root, "foo", "one");
    replaceAll(window, root, "one", "two");
    replaceAll(window, root, "two", "three");

    // The menu opens the dialog on the runs, newest first.
    THistoryDlg& dialog = *window.historyDialog();
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.CloseButton->click(); });
    window.findChild<QAction*>("History1")->trigger();
    QCOMPARE(dialog.RunsList->topLevelItemCount(), 3);
    QVERIFY(runCell(dialog, 0, THistoryDlg::WhatColumn).contains("three"));
    QVERIFY(runCell(dialog, 2, THistoryDlg::WhatColumn).contains("foo"));
    QCOMPARE(runCell(dialog, 0, THistoryDlg::FilesColumn), "2");
    QCOMPARE(runCell(dialog, 1, THistoryDlg::StateColumn), "Not undone");
    QCOMPARE(runCell(dialog, 0, THistoryDlg::FolderColumn), QFileInfo(root).canonicalFilePath());

    // The middle run: its files were changed by the newest one, each is named with why.
    selectRun(dialog, 1);
    QVERIFY(dialog.UndoRunButton->isEnabled());
    dialog.UndoRunButton->click();
    QCOMPARE(warnings.warnings.size(), 1);
    const QString failures = warnings.warnings.front().second;
    QVERIFY2(failures.contains("0 restored, 2 failed") && failures.contains("a.txt: ") &&
                 failures.contains("changed since"),
             qPrintable(failures));
    QCOMPARE(readAll(root + "/a.txt"), QByteArray("three three\n"));

    // Newest first, then the middle one again, then the oldest: the tree is back.
    for (int row : {0, 1, 2}) {
      selectRun(dialog, row);
      dialog.UndoRunButton->click();
      QCOMPARE(runCell(dialog, row, THistoryDlg::StateColumn), "Undone");
    }
    QCOMPARE(warnings.warnings.size(), 1);
    QCOMPARE(dialog.StatusLabel->text(), "2 restored, 0 failed.");
    QCOMPARE(treeFacts(root), before);
    QVERIFY(!window.replaceTab->UndoButton->isEnabled());

    {
      QuestionAnswerer no({false});
      dialog.ClearButton->click();
      QCOMPARE(no.questions.size(), 1);
      QVERIFY(no.questions.front().contains("3 runs"));
    }
    QCOMPARE(dialog.RunsList->topLevelItemCount(), 3);
    QuestionAnswerer yes({true});
    dialog.ClearButton->click();
    QCOMPARE(dialog.RunsList->topLevelItemCount(), 0);
    QVERIFY(kestrix::modify::listRuns(history().toStdString()).empty());
    QVERIFY(!dialog.ClearButton->isEnabled());
  }

  void settingsCapDropsTheOldestRuns() {
    QTemporaryDir tree;
    makeTree(tree.path());
    WarningRecorder warnings;
    TFind window;
    window.show();
    TSettDlg& settings = *window.settings().settingsDialog();
    QCOMPARE(settings.historyCap(), kestrix::app::HistoryCap{});
    settings.HistoryRunsSpinBox->setValue(2);
    replaceAll(window, tree.path(), "foo", "one");
    replaceAll(window, tree.path(), "one", "two");
    replaceAll(window, tree.path(), "two", "three");
    const auto runs = kestrix::modify::listRuns(history().toStdString());
    QCOMPARE(runs.size(), std::size_t{2});
    QVERIFY(QString::fromStdString(runs.front().header.summary).contains("\"one\""));
    QVERIFY(warnings.warnings.isEmpty());
  }

  void eraseBackupsAsksTrashesAndOffersTheHistory() {
    QTemporaryDir tree, trash;
    const QString root = tree.path();
    makeTree(root);
    writeFile(root, "own/notes.txt.bak", "the user's");
    WarningRecorder warnings;
    TFind window;
    window.show();
    replaceAll(window, root, "foo", "one");  // a.txt.bak and b.txt.bak
    QStringList trashed;
    // The trash takes the files outside "own" (as if it were another file system without
    // a trash folder).
    window.modifyController().setTrash([&](const std::string& name) {
      const QString file = QString::fromStdString(name);
      if (file.contains("/own/")) return false;
      trashed.append(QFileInfo(file).fileName());
      return QFile::rename(file, trash.path() + "/" + QFileInfo(file).fileName());
    });
    window.ComboBoxPath->setEditText(root);
    const QString eraseQuestion =
        "Erase 3 backup files in " + root + "?\n\nThey are moved to the trash.";
    {
      QuestionAnswerer no({false});
      window.menus->eraseBackups.actions().front()->trigger();
      QCOMPARE(no.questions, QStringList{eraseQuestion});
      QVERIFY(QFile::exists(root + "/a.txt.bak"));
      QVERIFY(window.replaceTab->UndoButton->isEnabled());
    }
    {
      // Erase: yes; delete what the trash does not take: no; clear the history: no.
      QuestionAnswerer answers({true, false, false});
      window.modifyController().eraseBackups();
      QCOMPARE(answers.questions.size(), 3);
      QVERIFY(answers.questions[1].contains("/own/notes.txt.bak"));
      QVERIFY2(answers.questions[2].startsWith("Moved 2 backup files (\".bak\") to the trash, 1 "
                                               "left in place.\n\nAlso clear the undo history of " +
                                               root + " (1 run)?"),
               qPrintable(answers.questions[2]));
    }
    trashed.sort();
    QCOMPARE(trashed, (QStringList{"a.txt.bak", "b.txt.bak"}));
    QVERIFY(QFile::exists(root + "/own/notes.txt.bak"));
    QCOMPARE(kestrix::modify::listRuns(history().toStdString()).size(), std::size_t{1});
    QVERIFY(!window.replaceTab->UndoButton->isEnabled());
    {
      // Again: the user's own backup is deleted on a yes, and the history cleared on a yes.
      QuestionAnswerer yes({true});
      window.modifyController().eraseBackups();
      QCOMPARE(yes.questions.size(), 3);
    }
    QVERIFY(!QFile::exists(root + "/own/notes.txt.bak"));
    QVERIFY(kestrix::modify::listRuns(history().toStdString()).empty());
    QCOMPARE(window.statusText(1),
             "Deleted 1 backup file (\".bak\") for good. 1 run removed "
             "from the undo history.");
    QVERIFY(warnings.warnings.isEmpty());
  }

  // Each letter is one undo: "w" the window's Undo, "k" `ksr undo`.
  void restartUndoesThreeRuns_data() {
    QTest::addColumn<QString>("order");
    QTest::newRow("window, ksr, window") << "wkw";
    QTest::newRow("ksr, window, ksr") << "kwk";
  }

  void restartUndoesThreeRuns() {
    QFETCH(QString, order);
    QTemporaryDir tree;
    const QString root = tree.path();
    makeTree(root);
    QList<QMap<QString, FileFacts>> states{treeFacts(root)};
    WarningRecorder warnings;
    {
      TFind window;
      window.show();
      replaceAll(window, root, "foo", "one");
      states.append(treeFacts(root, false));
      replaceAll(window, root, "one", "two");
      states.append(treeFacts(root, false));
      replaceAll(window, root, "two", "three");
    }
    TFind window;  // started again on the same data folder
    window.show();
    window.ComboBoxPath->setEditText(root);
    QTRY_VERIFY(window.replaceTab->UndoButton->isEnabled());
    for (const QChar step : order) {
      if (step == 'w') {
        QVERIFY(window.replaceTab->UndoButton->isEnabled());
        window.replaceTab->UndoButton->click();
      } else {
        QProcess ksr;
        ksr.start(KESTRIX_KSR_PATH, {"undo"});
        QVERIFY(ksr.waitForFinished(60000));
        QVERIFY2(ksr.exitCode() == 0, ksr.readAllStandardError().constData());
      }
      QCOMPARE(treeFacts(root, states.size() == 1), states.takeLast());
    }
    // After a console undo the button may still be on: pressed, it finds nothing to undo.
    const auto restored = treeFacts(root);
    if (window.replaceTab->UndoButton->isEnabled()) window.replaceTab->UndoButton->click();
    QVERIFY(!window.replaceTab->UndoButton->isEnabled());
    QCOMPARE(treeFacts(root), restored);
    QVERIFY(warnings.warnings.isEmpty());
  }
};

QTEST_MAIN(HistoryTest)
#include "tst_history.moc"
