// The results model: cell texts, columns found by caption, batch appends, removal with
// intervals, and sorting with the header-click toggling rule.
#include <QSignalSpy>
#include <QtTest>

#include "ui/results/ResultsModel.h"

using kestrix::search::ResultItem;
using kestrix::ui::ResultsModel;

namespace {

ResultItem makeItem(const std::string& name, std::int64_t bytes = 0,
                    std::vector<std::int64_t> hits = {1}, std::int64_t time = 0) {
  ResultItem it;
  it.name = name;
  it.path = "/data";
  it.hits = std::move(hits);
  it.size = std::to_string(bytes) + " B";
  it.sizeBytes = bytes;
  it.lastWriteSec = time;
  it.time = "t" + std::to_string(time);
  it.type = "TXT File";
  return it;
}

QStringList column(const ResultsModel& m, const QString& caption) {
  QStringList out;
  const int c = m.columnOf(caption);
  for (int r = 0; r < m.rowCount(); ++r) out << m.index(r, c).data().toString();
  return out;
}

}  // namespace

class ResultsModelTest : public QObject {
  Q_OBJECT
 private slots:
  void cellsAndColumns() {
    ResultsModel m;
    ResultItem it = makeItem("a.txt", 1500, {2, 0, 5}, 100);
    it.attributes = "RH";
    it.size = "1.5 KB";
    it.time = "12/8/26 10:00:00";
    m.appendItem(it);
    const QStringList captions = {"Name", "Path", "Found", "Attributes", "Time", "Size", "Type"};
    QCOMPARE(m.columnCount(), 7);
    for (int c = 0; c < captions.size(); ++c)
      QCOMPARE(m.headerData(c, Qt::Horizontal).toString(), captions[c]);
    const QStringList cells = {"a.txt", "/data", "2, 0, 5", "RH", "12/8/26 10:00:00", "1.5 KB"};
    for (int c = 0; c < cells.size(); ++c) QCOMPARE(m.index(0, c).data().toString(), cells[c]);
    QCOMPARE(m.index(0, 0).data(ResultsModel::FullNameRole).toString(), QString("/data/a.txt"));
    QVERIFY(!m.index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(!(m.flags(m.index(0, 0)) & Qt::ItemIsEditable));

    // A name-only listing drops Found; the next search with a query puts it back third.
    m.setFoundColumnShown(false);
    QCOMPARE(m.columnOf("Found"), -1);
    QCOMPARE(m.columnOf("Attributes"), 2);
    m.setResultColumn(true, ResultsModel::kResultIntervalCaption);
    QCOMPARE(m.columnOf("Result"), 6);
    QCOMPARE(m.caption(6), QString("Result    |  Modification Interval"));
    m.setFoundColumnShown(true);
    QCOMPARE(m.columnOf("Found"), 2);
    QCOMPARE(m.columnOf("Result"), 7);
    m.setOutcome(0, {kestrix::search::RowResult::Modified, {}});
    QCOMPARE(m.index(0, 7).data().toString(), QString("Modified    \\All file"));
    m.setResultColumn(true);
    QCOMPARE(m.index(0, 7).data().toString(), QString("Modified"));
  }

  void typeColumnUsesDesktopNameForFallbackOnly() {
    ResultsModel m;
    ResultItem known = makeItem("a.txt");
    ResultItem own = makeItem("b.txt");
    own.type = "My own type";
    ResultItem unknown = makeItem("c.zzqq");
    unknown.type = "ZZQQ File";
    m.appendItems({known, own, unknown});
    const int c = m.columnOf("Type");
    const QString text = m.index(0, c).data().toString();
    QVERIFY2(!text.isEmpty() && text != "TXT File", qPrintable(text));
    QCOMPARE(m.index(1, c).data().toString(), QString("My own type"));
    QCOMPARE(m.index(2, c).data().toString(), QString("ZZQQ File"));
  }

  void namesAreEscapedAndTheTypeToolTipNamesTheEncoding() {
    QTemporaryDir dir;
    const std::pair<const char*, QByteArray> files[] = {
        {"le.txt", QByteArray("\xFF\xFEh\0i\0", 6)},
        {"legacy.txt", QByteArray("caf\xE9")},
        {"plain.txt", QByteArray("caf\xC3\xA9")},
    };
    ResultsModel m;
    for (const auto& [name, bytes] : files) {
      QFile f(dir.filePath(name));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(bytes);
      ResultItem it = makeItem(name);
      it.path = dir.path().toStdString();
      m.appendItem(it);
    }
    m.appendItem(makeItem("bad\xFF.txt"));
    m.setLegacyCodePage("KOI8-R");
    const int type = m.columnOf("Type");
    const QStringList encodings = {"UTF-16 LE", "KOI8-R", "UTF-8"};
    for (int r = 0; r < encodings.size(); ++r) {
      const QString tip = m.index(r, type).data(Qt::ToolTipRole).toString();
      QVERIFY2(tip.endsWith("\nEncoding: " + encodings[r]), qPrintable(tip));
    }
    QVERIFY(m.index(3, type).data(Qt::ToolTipRole).isNull());  // no such file
    QVERIFY(m.index(0, 0).data(Qt::ToolTipRole).isNull());
    QCOMPARE(m.index(3, 0).data().toString(), QString("bad\\xFF.txt"));
  }

  void batchAppendIsOneInsertion() {
    ResultsModel m;
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    std::vector<ResultItem> batch;
    for (int i = 0; i < 1000; ++i) batch.push_back(makeItem("f" + std::to_string(i)));
    m.appendItems(std::move(batch));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(m.rowCount(), 1000);
    m.clear();
    QCOMPARE(m.rowCount(), 0);
  }

  void removalKeepsIntervalsWithTheirRows() {
    ResultsModel m;
    std::vector<ResultItem> batch;
    for (int i = 0; i < 300; ++i) {
      batch.push_back(makeItem("f" + std::to_string(i)));
      batch.back().intervalFrom = i;
    }
    m.appendItems(std::move(batch));
    std::vector<int> scattered;  // many runs: removed through one reset
    for (int i = 0; i < 300; i += 2) scattered.push_back(i);
    m.removeRowsList(scattered);
    QCOMPARE(m.rowCount(), 150);
    for (int r = 0; r < 150; ++r) QCOMPARE(m.item(r).intervalFrom, std::int64_t(2 * r + 1));
    m.removeRowsList({0, 1, 1, 149, 500, -1});
    QCOMPARE(m.rowCount(), 147);
    QCOMPARE(m.item(0).name, std::string("f5"));
    QCOMPARE(m.item(146).name, std::string("f297"));
  }

  void sortingToggles() {
    ResultsModel m;
    m.appendItems({makeItem("b", 10000, {12}, 300), makeItem("C", 9500, {3}, 100),
                   makeItem("a", 20, {4}, 200)});
    const int size = m.columnOf("Size");
    QVERIFY(m.sortByColumn(size));
    QCOMPARE(column(m, "Name"), QStringList({"a", "C", "b"}));  // 20 B, 9.5 KB, 10.0 KB
    QVERIFY(m.sortByColumn(size));
    QCOMPARE(column(m, "Name"), QStringList({"b", "C", "a"}));

    const int found = m.columnOf("Found");
    QVERIFY(m.sortByColumn(found));  // another column starts ascending
    QCOMPARE(column(m, "Found"), QStringList({"3", "4", "12"}));
    QVERIFY(m.sortByColumn(found));
    QCOMPARE(column(m, "Found"), QStringList({"12", "4", "3"}));

    QVERIFY(m.sortByColumn(0));  // names without case
    QCOMPARE(column(m, "Name"), QStringList({"a", "b", "C"}));
    QVERIFY(m.sortByColumn(m.columnOf("Time")));
    QCOMPARE(column(m, "Time"), QStringList({"t100", "t200", "t300"}));

    // A click while a search runs changes neither the order nor the flags.
    m.setSearchRunning(true);
    QVERIFY(!m.sortByColumn(0));
    QCOMPARE(column(m, "Time"), QStringList({"t100", "t200", "t300"}));
    m.setSearchRunning(false);
    m.sortState().clearFlags();
    QVERIFY(m.sortByColumn(m.columnOf("Time")));
    QCOMPARE(column(m, "Time"), QStringList({"t100", "t200", "t300"}));
  }

  void sortKeepsPersistentIndexesOnTheirRows() {
    ResultsModel m;
    m.appendItems({makeItem("z"), makeItem("y"), makeItem("x")});
    const QPersistentModelIndex z = m.index(0, 0);
    m.sortByColumn(0);
    QCOMPARE(z.row(), 2);
    QCOMPARE(z.data().toString(), QString("z"));
  }
};

QTEST_MAIN(ResultsModelTest)
#include "tst_resultsmodel.moc"
