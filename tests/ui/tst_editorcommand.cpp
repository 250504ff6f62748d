// Edit File and Execute File: the launcher's program and arguments (a hostile file name
// stays one argument) and messages, and the external-change check.
#include <utime.h>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/fileops/EditorCommand.h"
#include "ui/fileops/ExternalChangeCheck.h"
#include "ui/fileops/FileLauncher.h"

using namespace kestrix::ui;

namespace {

void setModifiedTime(const QString& file, qint64 secondsSinceEpoch) {
  utimbuf times{static_cast<time_t>(secondsSinceEpoch), static_cast<time_t>(secondsSinceEpoch)};
  QVERIFY(::utime(QFile::encodeName(file).constData(), &times) == 0);
}

}  // namespace

class EditorCommandTest : public QObject {
  Q_OBJECT
 private slots:
  void launcherStartsTheEditorOrWarns() {
    QTemporaryDir dir;
    const QString file = dir.filePath("a b.txt");
    QFile(file).open(QIODevice::WriteOnly);
    ExternalChangeCheck check;
    FileLauncher launcher(check);
    QStringList warnings;
    launcher.setWarningHook([&](const QString& c, const QString& t) { warnings << c + "|" + t; });
    QString program, folder;
    QStringList arguments;
    launcher.setStartProgramHook([&](const QString& p, const QStringList& a, const QString& w) {
      program = p;
      arguments = a;
      folder = w;
      return true;
    });
    const EditorTarget target{dir.path(), "a b.txt", 7};
    QVERIFY(launcher.editFile("\"/bin/true\" \"+%NumLine%\" \"%PrFullName%\"", target));
    QCOMPARE(program, QString("/bin/true"));
    QCOMPARE(arguments, QStringList({"+7", file}));
    QCOMPARE(folder, QString("/bin"));
    QVERIFY(check.isArmed());
    QCOMPARE(check.fileName(), file);

    // A file name that would split into editor options stays one argument.
    const EditorTarget hostile{dir.path(), "a\" \"+cd ~\" \"+!touch PWNED\" \"b.txt", 1};
    QVERIFY(launcher.editFile("/bin/true +%NumLine% \"%PrFullName%\"", hostile));
    QCOMPARE(arguments, QStringList({"+1", dir.path() + "/" + hostile.name}));

    QVERIFY(!launcher.editFile("/no/such/editor %PrFullName%", target));
    QCOMPARE(warnings, QStringList({"Information|Editor /no/such/editor not found"}));
    QVERIFY(!launcher.openFile(dir.path(), "missing.txt"));
    QCOMPARE(warnings.last(), "Information|File " + dir.path() + "/missing.txt not found");
  }

  void externalChangeCheckSeesLaterTimeStamps() {
    QTemporaryDir dir;
    const QString file = dir.filePath("edited.txt");
    QFile(file).open(QIODevice::WriteOnly);
    setModifiedTime(file, 1'000'000);
    ExternalChangeCheck check;
    QSignalSpy changed(&check, &ExternalChangeCheck::fileChanged);
    check.remember(file);
    QVERIFY(!check.check());  // not armed yet
    check.arm();
    QVERIFY(!check.check());  // unchanged: stays armed
    QVERIFY(check.isArmed());
    setModifiedTime(file, 1'000'100);
    QVERIFY(check.check());
    QVERIFY(!check.isArmed());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toString(), file);

    // Watching a window: a paint after the change reports it once, queued.
    QWidget window;
    check.watch(&window);
    check.remember(file);
    check.arm();
    setModifiedTime(file, 1'000'200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.repaint();
    QTRY_COMPARE(changed.count(), 2);
    QVERIFY(!check.isArmed());
  }
};

QTEST_MAIN(EditorCommandTest)
#include "tst_editorcommand.moc"
