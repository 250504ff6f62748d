// The window and the console program count the same hits: for every query type, the Found
// cells of a Find over one tree equal what `ksr find` prints, also after each row was
// browsed (the viewer's recount).
#include <QComboBox>
#include <QMap>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include "WindowTestUtil.h"
#include "ui/find/FindTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/viewer/ViewerRefresh.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using kestrix::search::QueryType;
using namespace kestrix::ui::testing;

class CountsAgreeTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir tree_;

  // Full name -> Found cell, as the window lists them.
  static QMap<QString, QString> windowCounts(const TFind& window) {
    QMap<QString, QString> counts;
    const ResultsModel& model = *window.results;
    for (int row = 0; row < model.rowCount(); ++row)
      counts[QString::fromStdString(model.item(row).fullName())] =
          model.cellText(row, model.columnOf(ResultsModel::Column::Found));
    return counts;
  }

  // Full name -> counts, as `ksr find` prints them (FULLPATH<TAB>FOUND lines).
  QMap<QString, QString> consoleCounts(const char* type, const QString& query) {
    QMap<QString, QString> counts;
#ifdef KESTRIX_KSR_PATH
    QProcess ksr;
    ksr.start(KESTRIX_KSR_PATH,
              {"find", "--type", type, "--masks", "*.txt", "--threads", "1", query, tree_.path()});
    if (!ksr.waitForFinished(60000)) return counts;
    for (const QByteArray& line : ksr.readAllStandardOutput().split('\n')) {
      const int tab = line.indexOf('\t');
      if (tab > 0) counts[QString::fromUtf8(line.left(tab))] = QString::fromUtf8(line.mid(tab + 1));
    }
#else
    Q_UNUSED(type);
    Q_UNUSED(query);
#endif
    return counts;
  }

 private slots:
  void initTestCase() {
    QVERIFY(tree_.isValid());
    const QString root = tree_.path();
    writeFile(root, "a.txt", "Foo bar foo\nbar baz\nfoo\r\nfoo bar\n");
    writeFile(root, "b.txt", "nothing\nFOO FOO foo\n\nbar\n");
    writeFile(root, "sub/c.txt", "foobar bar-foo\nfoo\nbar\nfoo\nbar\n");
    writeFile(root, "sub/none.txt", "quiet\n");
  }

  void windowAndConsoleCountAlike() {
#ifndef KESTRIX_KSR_PATH
    QSKIP("the console program is not built");
#endif
    const struct {
      QueryType type;
      const char* consoleType;
      const char* query;
    } cases[] = {{QueryType::Phrase, "phrase", "foo"},
                 {QueryType::WordsOr, "or", "foo baz"},
                 {QueryType::WordsAnd, "and", "foo bar"},
                 {QueryType::SearchEngine, "engine", "+foo -baz"},
                 {QueryType::Multiline, "multiline", "foo\nbar"},
                 {QueryType::RegExpr, "regex", "fo+ ?b"}};
    for (const auto& c : cases) {
      TFind window;
      window.show();
      window.ComboBoxPath->setEditText(tree_.path());
      window.MasksComboBox->setEditText("*.txt");
      window.findTab->setQueryType(c.type);
      if (window.findTab->usesMemo())
        window.findTab->FindMemo->setPlainText(c.query);
      else
        window.findTab->FindEditComboBox->setEditText(c.query);
      QTest::mouseClick(window.findTab->FindButton, Qt::LeftButton);
      const QMap<QString, QString> console = consoleCounts(c.consoleType, c.query);
      QVERIFY2(!console.isEmpty(), c.consoleType);
      QCOMPARE(windowCounts(window), console);
      // Browsing a row recounts it for the viewer: the counts stay the run's.
      for (int row = 0; row < window.results->rowCount(); ++row) {
        window.selectRow(row);
        QTRY_COMPARE(window.viewerRefresh().browsedRow(), row);
      }
      QCOMPARE(windowCounts(window), console);
    }
  }
};

QTEST_MAIN(CountsAgreeTest)
#include "tst_countsagree.moc"
