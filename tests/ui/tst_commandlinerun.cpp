// The window's command line end to end: the real `kestrix` binary started without a
// display runs a search and Modify All over a temporary tree, with the settings it finds
// in its settings file; a run killed in the middle of its Modify All leaves temporaries
// that the next run removes; and, inside this process, a run whose search fails routes the
// failure like its own errors and closes the window.
#include <sys/stat.h>

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include "WindowTestUtil.h"
#include "ui/startup/CommandLineController.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using namespace kestrix::ui::testing;

namespace {

QByteArray readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll();
}

struct Outcome {
  int status = -1;
  QByteArray standardError;
};

}  // namespace

class CommandLineRunTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString tree_;
  QString config_;

  // The settings the run repeats: "Options" values as the window stores them.
  void writeSettings(const QStringList& options) {
    QDir().mkpath(config_);
    QFile file(config_ + "/Kestrix Search & Replace.conf");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[Options]\n" + options.join('\n').toUtf8() + "\n");
  }

  // Runs the binary with no display at all, with its own home and settings file; under
  // `wrapper` (a program and its arguments, the binary's name and `args` following) when
  // given.
  Outcome runWindow(const QStringList& args, const QStringList& wrapper = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "KESTRIX_SETTINGS"})
      env.remove(name);
    env.insert("HOME", dir_.path() + "/home");
    env.insert("XDG_CONFIG_HOME", config_);
    env.insert("XDG_DATA_HOME", dir_.path() + "/home/.local/share");
    QProcess process;
    process.setProcessEnvironment(env);
    if (wrapper.isEmpty()) {
      process.start(KESTRIX_WINDOW_PATH, args);
    } else {
      process.start(wrapper.front(), wrapper.mid(1) + QStringList{KESTRIX_WINDOW_PATH} + args);
    }
    Outcome outcome;
    if (!process.waitForFinished(120000)) {
      process.kill();
      process.waitForFinished();
      return outcome;
    }
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    outcome.standardError = process.readAllStandardError();
    return outcome;
  }

  // Runs the console program with the same home and data folder as the window's runs.
  Outcome runKsr(const QStringList& args, QByteArray* standardOutput) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir_.path() + "/home");
    env.insert("XDG_DATA_HOME", dir_.path() + "/home/.local/share");
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(KESTRIX_KSR_PATH, args);
    Outcome outcome;
    if (!process.waitForFinished(120000)) return outcome;
    outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    outcome.standardError = process.readAllStandardError();
    *standardOutput = process.readAllStandardOutput();
    return outcome;
  }

  void writeTree() {
    QDir(tree_).removeRecursively();
    writeFile(tree_, "a.txt", "foo one\r\nno\r\nfoofoo\r\n");
    writeFile(tree_, "sub/b.txt", "a food fight\nFoo\n");
    writeFile(tree_, "none.txt", "nothing here\n");
    writeFile(tree_, "c.dat", "foo\n");
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    tree_ = dir_.path() + "/tree";
    config_ = dir_.path() + "/config";
  }

  void runsSearchAndModifyAllWithoutDisplay() {
    writeTree();
    writeSettings({"PhraseButtonReplace=1", "TextSearchButton=0", "RegExpSearch=0", "NoneButton=0",
                   "ReplaceButton=1", "SensitiveCheckBox=1", "WholeWordsCheckBox=0",
                   "CreatBackupCheckBox=1", "IncludeSubdirectoriesCheckBox=1", "FindWidth=1600",
                   "FindHeight=900", "FindLeft=40", "FindTop=30", "MaxFind=1"});
    const QString list = dir_.path() + "/found list.lst";
    const Outcome run =
        runWindow({"-path=" + tree_, "-com", "-s1=foo", "-r1=bar", "-ms=*.txt", "-fs=" + list});
    QCOMPARE(run.status, 0);
    // A clean job prints nothing (Qt's notes about the missing screen included).
    QVERIFY2(run.standardError.isEmpty(), run.standardError.constData());
    // The stand-in screen's size never replaces the user's window geometry.
    const QSettings stored(config_ + "/Kestrix Search & Replace.conf", QSettings::IniFormat);
    for (const auto& [name, value] : {std::pair{"FindWidth", "1600"},
                                      {"FindHeight", "900"},
                                      {"FindLeft", "40"},
                                      {"FindTop", "30"},
                                      {"MaxFind", "1"}})
      QVERIFY2(stored.value(QString("Options/") + name).toString() == value, name);
    // What `sed -i s/foo/bar/g` gives, with every line break kept.
    QCOMPARE(readAll(tree_ + "/a.txt"), QByteArray("bar one\r\nno\r\nbarbar\r\n"));
    QCOMPARE(readAll(tree_ + "/sub/b.txt"), QByteArray("a bard fight\nFoo\n"));
    QCOMPARE(readAll(tree_ + "/none.txt"), QByteArray("nothing here\n"));
    QCOMPARE(readAll(tree_ + "/c.dat"), QByteArray("foo\n"));  // outside the masks
    QCOMPARE(readAll(tree_ + "/a.txt.bak"), QByteArray("foo one\r\nno\r\nfoofoo\r\n"));
    QVERIFY(!QFile::exists(tree_ + "/none.txt.bak"));

    const QList<QByteArray> lines = readAll(list).split('\n');
    QVERIFY2(lines.size() > 4, readAll(list).constData());
    const QByteArray commandLine =
        "Command Line: " + QByteArray(KESTRIX_WINDOW_PATH) + " -path=" + tree_.toUtf8() +
        " -com -s1=foo -r1=bar '-ms=*.txt' '-fs=" + list.toUtf8() + "'\r";
    QCOMPARE(lines[0], commandLine);
    QCOMPARE(lines[1], QByteArray("\r"));
    const QByteArray listText = readAll(list);
    QVERIFY(listText.contains("a.txt"));
    QVERIFY(listText.contains("b.txt"));
    QVERIFY(listText.contains("Modified"));
    QVERIFY(!listText.contains("none.txt"));

    // A file the pass may not change (read-only, not allowed by the settings) fails the
    // job with status 2 and is named on standard error with -shr; the others are changed.
    writeFile(tree_, "ro.txt", "foo\n");
    writeFile(tree_, "rw.txt", "foo\n");
    QFile::setPermissions(tree_ + "/ro.txt", QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const Outcome partial =
        runWindow({"-path=" + tree_, "-com", "-shr", "-s1=foo", "-r1=bar", "-ms=r?.txt"});
    QCOMPARE(partial.status, 2);
    QVERIFY2(partial.standardError.contains(
                 QString("kestrix: %1/ro.txt: Failed Modification\n").arg(tree_).toUtf8()),
             partial.standardError.constData());
    QCOMPARE(readAll(tree_ + "/ro.txt"), QByteArray("foo\n"));
    QCOMPARE(readAll(tree_ + "/rw.txt"), QByteArray("bar\n"));

    // A list file that cannot be written: the run goes through, the job is told.
    writeFile(tree_, "new.txt", "foo\n");
    const QString noList = dir_.path() + "/no such folder/x.lst";
    const Outcome lost = runWindow(
        {"-path=" + tree_, "-com", "-shr", "-s1=foo", "-r1=bar", "-ms=new.txt", "-fs=" + noList});
    QCOMPARE(lost.status, 2);
    QVERIFY2(lost.standardError.contains("the list could not be written"),
             lost.standardError.constData());
    QCOMPARE(readAll(tree_ + "/new.txt"), QByteArray("bar\n"));
  }

  // The temporaries (".ksr" + six letters or digits) under the tree.
  QStringList temporaries() const {
    QStringList found;
    QDirIterator it(tree_, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      if (QRegularExpression("^\\.ksr[a-z0-9]{6}$").match(it.fileName()).hasMatch()) found << path;
    }
    found.sort();
    return found;
  }

  // Killed at the first rename of its Modify All (every file and backup is staged by then,
  // none renamed): the files are untouched and the temporaries stay; the next run removes
  // them, and never a file of the user's that only looks like one.
  // The window's runs go into the undo history the console shares: after two runs and the
  // window's exit, `ksr undo` takes back the window's latest run, then the one before.
  void windowRunsAreUndoneRunByRunFromTheSharedHistory() {
    writeTree();
    QDir(dir_.path() + "/home/.local/share").removeRecursively();
    writeSettings({"PhraseButtonReplace=1", "TextSearchButton=0", "RegExpSearch=0", "NoneButton=0",
                   "ReplaceButton=1", "SensitiveCheckBox=1", "WholeWordsCheckBox=0",
                   "CreatBackupCheckBox=1", "IncludeSubdirectoriesCheckBox=1"});
    QCOMPARE(runWindow({"-path=" + tree_, "-com", "-s1=foo", "-r1=bar", "-ms=*.txt"}).status, 0);
    QCOMPARE(runWindow({"-path=" + tree_, "-com", "-s1=bar", "-r1=baz", "-ms=*.txt"}).status, 0);
    QCOMPARE(readAll(tree_ + "/a.txt"), QByteArray("baz one\r\nno\r\nbazbaz\r\n"));
    QByteArray out;
    QCOMPARE(runKsr({"history"}, &out).status, 0);
    QCOMPARE(out.count("\tdone\t2\tkestrix -com\t"), 2);
    QVERIFY2(out.contains("Replace \"bar\" with \"baz\""), out.constData());
    QCOMPARE(runKsr({"undo"}, &out).status, 0);
    QCOMPARE(readAll(tree_ + "/a.txt"), QByteArray("bar one\r\nno\r\nbarbar\r\n"));
    QCOMPARE(runKsr({"undo"}, &out).status, 0);
    QCOMPARE(readAll(tree_ + "/a.txt"), QByteArray("foo one\r\nno\r\nfoofoo\r\n"));
    QCOMPARE(readAll(tree_ + "/sub/b.txt"), QByteArray("a food fight\nFoo\n"));
    QVERIFY(!QFile::exists(tree_ + "/a.txt.bak"));
  }

  void killedRunsTemporariesAreRemovedByTheNextRun() {
    const QString strace = QStandardPaths::findExecutable("strace");
    if (strace.isEmpty()) QSKIP("strace is needed to kill the window at a chosen call");
    writeTree();
    writeFile(tree_, "sub/.ksrmine00", "mine");
    writeSettings({"PhraseButtonReplace=1", "TextSearchButton=0", "RegExpSearch=0", "NoneButton=0",
                   "ReplaceButton=1", "SensitiveCheckBox=1", "WholeWordsCheckBox=0",
                   "CreatBackupCheckBox=1", "IncludeSubdirectoriesCheckBox=1"});
    const QStringList args{"-path=" + tree_, "-com", "-s1=foo", "-r1=bar", "-ms=*.txt"};
    const QStringList killer{strace,
                             "-f",
                             "-qq",
                             "-o",
                             "/dev/null",
                             "-e",
                             "trace=renameat",
                             "-e",
                             "inject=renameat:error=EIO:signal=KILL:when=1"};
    const Outcome killed = runWindow(args, killer);
    if (killed.status == 1 && killed.standardError.contains("ptrace"))
      QSKIP("this system does not let strace trace the window");
    QVERIFY2(killed.status != 0, killed.standardError.constData());
    QCOMPARE(readAll(tree_ + "/a.txt"), QByteArray("foo one\r\nno\r\nfoofoo\r\n"));
    QCOMPARE(readAll(tree_ + "/sub/b.txt"), QByteArray("a food fight\nFoo\n"));
    // Two files and their backups were staged.
    QCOMPARE(temporaries().size(), 4 + 1);

    const Outcome next = runWindow(args);
    QCOMPARE(next.status, 0);
    QCOMPARE(temporaries(), QStringList{tree_ + "/sub/.ksrmine00"});
    QCOMPARE(readAll(tree_ + "/sub/.ksrmine00"), QByteArray("mine"));
    QCOMPARE(readAll(tree_ + "/a.txt"), QByteArray("bar one\r\nno\r\nbarbar\r\n"));
    QCOMPARE(readAll(tree_ + "/a.txt.bak"), QByteArray("foo one\r\nno\r\nfoofoo\r\n"));
    QFile::remove(tree_ + "/sub/.ksrmine00");
  }

  void errorsAreLoggedShownOnStandardErrorAndFailTheRun() {
    writeTree();
    writeSettings({"PhraseButtonReplace=1", "NoneButton=0", "ReplaceButton=1"});
    const QString log = dir_.path() + "/run.log";
    // No replacement text in the settings nor in the switches: a second message. A read-only
    // log of an earlier run is replaced.
    writeFile(dir_.path(), "run.log", "old");
    QFile::setPermissions(log, QFileDevice::ReadOwner);
    const Outcome bad =
        runWindow({"-path=" + tree_, "-com", "-x1=y", "-shr", "-s1=foo", "-fr=" + log});
    QCOMPARE(bad.status, 1);
    QCOMPARE(readAll(log), "Command Line: " + QByteArray(KESTRIX_WINDOW_PATH) + " -path=" +
                               tree_.toUtf8() + " -com -x1=y -shr -s1=foo -fr=" + log.toUtf8() +
                               "\r\n\r\nIncorrect parameter \"-x1=y\"\r\n"
                               "Please specify the string to replace or insert\r\n");
    QVERIFY2(bad.standardError.contains("kestrix: Incorrect parameter \"-x1=y\"\n"),
             bad.standardError.constData());
    QCOMPARE(readAll(tree_ + "/a.txt"), QByteArray("foo one\r\nno\r\nfoofoo\r\n"));

    // Modification type None: refused before searching; without -shr nothing is printed.
    writeSettings({"PhraseButtonReplace=1", "NoneButton=1", "ReplaceButton=0"});
    const Outcome none = runWindow({"-path=" + tree_, "-com", "-s1=foo", "-r1=bar", "-fr=" + log});
    QCOMPARE(none.status, 1);
    QVERIFY(readAll(log).endsWith("\r\n\r\nModify Type is \"None\"\r\n"));
    QVERIFY2(!none.standardError.contains("Modify Type"), none.standardError.constData());
    QCOMPARE(readAll(tree_ + "/a.txt"), QByteArray("foo one\r\nno\r\nfoofoo\r\n"));

    // A regular-expression error of the search itself is logged as "Error: ...".
    writeSettings({"RegExpSearch=1", "PhraseButtonReplace=0", "NoneButton=0", "ReplaceButton=1"});
    const Outcome regex =
        runWindow({"-path=" + tree_, "-com", "-s2=fo(o", "-r2=bar", "-fr=" + log});
    QCOMPARE(regex.status, 1);
    const QList<QByteArray> logLines = readAll(log).split('\n');
    QVERIFY2(logLines.size() == 4 && logLines[2].startsWith("Error: "), readAll(log).constData());
    QCOMPARE(readAll(tree_ + "/a.txt"), QByteArray("foo one\r\nno\r\nfoofoo\r\n"));

    // A clean run writes no log.
    QFile::remove(log);
    writeSettings({"PhraseButtonReplace=1", "NoneButton=0", "ReplaceButton=1"});
    const Outcome clean = runWindow({"-path=" + tree_, "-com", "-s1=none", "-r1=x", "-fr=" + log});
    QCOMPARE(clean.status, 0);
    QVERIFY(!QFile::exists(log));
  }

  // In this process: a search failure of another part ("Too many masks") during the run is
  // shown as the run's own error (with -shr), ends the run and closes the window.
  void otherFailuresEndTheRunAndCloseTheWindow() {
    writeTree();
    QStringList masks;
    for (int i = 0; i < 120; ++i) masks << QString("*.x%1").arg(i);
    WarningRecorder recorder;
    TFind window;
    window.commandLine().setArguments({("-path=" + tree_).toStdString(), "-com", "-shr", "-s1=foo",
                                       "-r1=bar", ("-ms=" + masks.join(';')).toStdString()},
                                      "kestrix");
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 20000);
    QVERIFY(window.commandLine().errorReported());
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0].second, QString("Too many masks"));
    QCOMPARE(readAll(tree_ + "/a.txt"), QByteArray("foo one\r\nno\r\nfoofoo\r\n"));
    QCOMPARE(window.PageControl1->currentIndex(), int(TFind::SearchReplacePage));
  }

  // A FIFO in place of the settings file is neither read (which would wait for a writer
  // forever) nor replaced: the run goes on with the default settings and leaves it there.
  void aFifoInPlaceOfTheSettingsFileDoesNotHangTheRun() {
    writeTree();
    const QString settings = config_ + "/Kestrix Search & Replace.conf";
    QDir().mkpath(config_);
    QFile::remove(settings);
    QCOMPARE(::mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
    const Outcome run = runWindow({"-path=" + tree_, "-com", "-s1=foo", "-r1=bar", "-ms=*.txt"});
    struct ::stat st {};
    const bool stillFifo =
        ::stat(QFile::encodeName(settings).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
    QFile::remove(settings);
    QCOMPARE(run.status, 0);
    QVERIFY(stillFifo);
    QVERIFY(readAll(tree_ + "/a.txt") != QByteArray("foo one\r\nno\r\nfoofoo\r\n"));
  }
};

QTEST_MAIN(CommandLineRunTest)
#include "tst_commandlinerun.moc"
