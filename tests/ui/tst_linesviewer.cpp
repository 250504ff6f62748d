// The lines viewer: the viewer's lines and hits, the Etc line, the line-number reader, right
// clicks, the interval marker, and the hit colour where the hits are drawn.
#include <QSignalSpy>
#include <QtTest>

#include "ui/fileops/EditorCommand.h"
#include "ui/viewer/LinesDelegate.h"
#include "ui/viewer/LinesViewer.h"

using kestrix::search::FoundLines;
using kestrix::search::Hit;
using kestrix::search::HitLine;
using kestrix::ui::DisplayHit;
using kestrix::ui::DisplayHits;
using kestrix::ui::LinesModel;
using kestrix::ui::LinesViewer;

namespace {

// Adds a line entry with hits given as offsets into `text` (the prefix is added here).
void addLine(FoundLines& lines, std::int64_t number, const std::string& text,
             std::vector<std::pair<size_t, size_t>> hits) {
  HitLine hitLine{number, {}};
  const size_t prefix = FoundLines::prefixLength(number);
  for (auto [start, length] : hits) hitLine.hits.push_back(Hit{prefix + start, length, 0});
  lines.hitLines.push_back(hitLine);
  lines.appendLine(number, text, static_cast<int>(lines.hitLines.size()) - 1);
}

bool isHitBlue(QRgb c) {
  return qBlue(c) > 150 && qRed(c) < 110 && qGreen(c) < 110;
}

}  // namespace

class LinesViewerTest : public QObject {
  Q_OBJECT
 private slots:
  void showsLinesAndHits() {
    FoundLines lines;
    lines.begin("a.txt", "/data");
    addLine(lines, 3, "x\xC3\xA9 needle", {{4, 6}});
    addLine(lines, 12, "caf\xE9 needle needle", {{5, 6}, {12, 6}});
    LinesViewer viewer;
    QCOMPARE(viewer.objectName(), QString("ListBox1"));
    viewer.setFoundLines(lines);
    QCOMPARE(viewer.lineCount(), 3);
    QCOMPARE(viewer.lineText(0), QString("     File:  a.txt      Path:  /data"));
    QCOMPARE(viewer.lineText(1), u" line 3: x\u00E9 needle"_qs);
    QCOMPARE(viewer.hitsOf(1), DisplayHits({{12, 6}}));
    QCOMPARE(viewer.lineText(1).mid(12, 6), QString("needle"));
    QCOMPARE(viewer.hitsOf(2), DisplayHits({{15, 6}, {22, 6}}));
    QCOMPARE(viewer.lineText(2).mid(22, 6), QString("needle"));
    QVERIFY(viewer.hitsOf(0).isEmpty());
    QVERIFY(viewer.contentWidth() >=
            kestrix::ui::LinesDelegate::textWidth(viewer.lineText(2), viewer.font(), false));
    viewer.clear();
    QCOMPARE(viewer.lineCount(), 0);
  }

  void etcLineAfter5001Entries() {
    FoundLines lines;
    lines.begin("big.txt", "/data");
    for (int n = 1; n <= 6000 && !lines.full(); ++n) addLine(lines, n, "hit", {{0, 3}});
    LinesViewer viewer;
    viewer.setFoundLines(lines);
    QCOMPARE(viewer.lineCount(), 5003);
    const LinesModel* model = viewer.linesModel();
    QCOMPARE(model->kind(5001), LinesModel::Kind::Etc);
    QCOMPARE(viewer.lineText(5001), QString("    Etc (too many messages for the Lines Viewer)"));
    QCOMPARE(model->kind(5002), LinesModel::Kind::Line);
    QCOMPARE(viewer.lineText(5002), QString(" line 5001: hit"));
  }

  void lineNumbersForTheEditor() {
    struct Case {
      const char* entry;
      int number;
    } cases[] = {{" line 12: text", 12}, {" line 3 - line 5", 3}, {" line 7 ", 7},
                 {" line 40:", 40},      {"     File:  a", 0},    {"", 0}};
    for (const Case& c : cases) {
      QVERIFY2(kestrix::ui::lineNumberOfEntry(c.entry) == c.number, c.entry);
    }
    FoundLines lines;
    lines.begin("a.txt", "/d");
    addLine(lines, 12, "twelve", {{0, 3}});
    lines.appendBlock(3, 5, false);
    LinesViewer viewer;
    viewer.setFoundLines(lines);
    QCOMPARE(viewer.selectedLineNumber(), 1);  // nothing selected
    viewer.selectLine(0);
    QCOMPARE(viewer.selectedLineNumber(), 1);  // header
    viewer.selectLine(1);
    QCOMPARE(viewer.selectedLineNumber(), 12);
    viewer.selectLine(2);
    QCOMPARE(viewer.selectedLineNumber(), 3);
  }

  void rightClickSelectsOnlyALine() {
    FoundLines lines;
    lines.begin("a.txt", "/d");
    addLine(lines, 1, "one", {});
    addLine(lines, 2, "two", {});
    LinesViewer viewer;
    viewer.resize(300, 200);
    viewer.setFoundLines(lines);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    const QRect second = viewer.visualRect(viewer.linesModel()->index(2));
    QTest::mousePress(viewer.viewport(), Qt::RightButton, {}, second.center());
    QCOMPARE(viewer.selectedLine(), 2);
    QTest::mousePress(viewer.viewport(), Qt::RightButton, {}, second.center() + QPoint(0, 60));
    QCOMPARE(viewer.selectedLine(), 2);
    QSignalSpy edit(&viewer, &LinesViewer::editRequested);
    QTest::mouseDClick(viewer.viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(edit.count(), 1);
  }

  void intervalMarkerFollowsTheViewer() {
    LinesViewer viewer;
    QVERIFY(!viewer.linesDelegate()->marksLine(10));
    viewer.setIntervalMarker(true, 10, 0);
    QVERIFY(viewer.linesDelegate()->intervalMarkerEnabled());
    QVERIFY(viewer.linesDelegate()->marksLine(10) && !viewer.linesDelegate()->marksLine(9));
  }

  void hitsAreDrawnWhereTheyAre() {
    // A tab before the hit is drawn as one space, so the hit's pixels start where the
    // plain text has its hit characters.
    FoundLines lines;
    lines.begin("a.txt", "/d");
    addLine(lines, 1, "ab\tcd XYZ tail", {{6, 3}});
    addLine(lines, 2, "caf\xC3\xA9 XYZ", {{6, 3}});
    lines.appendBlock(3, 5, false);
    LinesViewer viewer;
    viewer.resize(600, 120);
    viewer.setFoundLines(lines);
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    const QImage image = viewer.viewport()->grab().toImage();
    const QString artifacts = qEnvironmentVariable("KESTRIX_TEST_TMP");
    if (!artifacts.isEmpty()) viewer.grab().save(artifacts + "/linesviewer.png");
    const QRect row = viewer.visualRect(viewer.linesModel()->index(1));
    const QFontMetrics metrics(viewer.font());
    const QString text = viewer.lineText(1);
    const int hitColumn = viewer.hitsOf(1).first().column;
    QCOMPARE(text.mid(hitColumn, 3), QString("XYZ"));
    const int x0 = row.left() + 2 + metrics.horizontalAdvance(text.left(hitColumn));
    const int x1 = x0 + metrics.horizontalAdvance(QStringLiteral("XYZ"));
    int inside = 0, outside = 0;
    for (int y = row.top(); y <= row.bottom(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (!isHitBlue(image.pixel(x, y))) continue;
        (x >= x0 - 1 && x <= x1 + 1 ? inside : outside)++;
      }
    }
    if (inside == 0 && outside == 0) QSKIP("no glyphs rendered on this platform");
    QVERIFY2(inside > 0 && outside == 0, qPrintable(QString("%1 %2").arg(inside).arg(outside)));
  }
};

QTEST_MAIN(LinesViewerTest)
#include "tst_linesviewer.moc"
