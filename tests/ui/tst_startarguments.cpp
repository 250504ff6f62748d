// The start arguments of `kestrix` (help, version, the folder of "-path") and the window
// icon built into the program.
#include <QIcon>
#include <QPixmap>
#include <QtTest>

#include "ui/startup/StartArguments.h"

using namespace kestrix::ui;

class StartArgumentsTest : public QObject {
  Q_OBJECT
 private slots:
  void actions() {
    using Args = std::vector<std::string>;
    QCOMPARE(startActionOf(Args{}), StartAction::OpenWindow);
    QCOMPARE(startActionOf(Args{"--help"}), StartAction::PrintHelp);
    QCOMPARE(startActionOf(Args{"-h"}), StartAction::PrintHelp);
    QCOMPARE(startActionOf(Args{"--version"}), StartAction::PrintVersion);
    // A window switch or a project file is never taken for help.
    QCOMPARE(startActionOf(Args{"-path=/tmp", "--help"}), StartAction::OpenWindow);
    QCOMPARE(startActionOf(Args{"project.ksr"}), StartAction::OpenWindow);
    QVERIFY(QString(startHelpText()).startsWith("Usage: kestrix"));
    QVERIFY(QString::fromStdString(startVersionText()).startsWith("kestrix (Kestrix Search"));
  }

  void startFolder() {
    struct Case {
      std::vector<std::string> args;
      std::optional<std::string> folder;
    } cases[] = {
        {{"-path=/home/u/my docs"}, "/home/u/my docs"},
        {{" \t-PATH=/srv", "-com"}, "/srv"},
        {{"-Path:rel/dir"}, "rel/dir"},
        {{"-path="}, std::nullopt},  // a launcher without a folder keeps the remembered one
        {{"-pat"}, std::nullopt},
        {{"project.ksr", "-path=/x"}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const Case& c : cases) QCOMPARE(startFolderOf(c.args), c.folder);
  }

  void windowIcon() {
    Q_INIT_RESOURCE(kestrix);
    const QIcon icon(":/icons/kestrix.svg");
    QVERIFY(!icon.isNull());
    const QPixmap pixmap = icon.pixmap(64, 64);
    QCOMPARE(pixmap.width(), 64);
    QVERIFY(pixmap.toImage().pixelColor(32, 32).alpha() > 0);
  }
};

QTEST_MAIN(StartArgumentsTest)
#include "tst_startarguments.moc"
