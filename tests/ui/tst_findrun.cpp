// Drives the real main window through searches on a generated tree: the rows and cells,
// the lines viewer with its hits, sorting, selection by mask, Delete Items, viewer
// invalidation, vanished files, regular-expression errors, and a screenshot.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "WindowTestUtil.h"
#include "search/RunEndStatus.h"
#include "ui/find/FindRunController.h"
#include "ui/find/FindTab.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using kestrix::search::QueryType;
using namespace kestrix::ui::testing;

class FindRunTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir tree_;
  QString root_;

  // A window searching the tree for `query` (Phrase unless `type` says otherwise).
  void runFind(TFind& window, const QString& query, const QString& masks = "*.txt",
               QueryType type = QueryType::Phrase) {
    window.ComboBoxPath->setEditText(root_);
    window.MasksComboBox->setEditText(masks);
    window.findTab->setQueryType(type);
    if (window.findTab->usesMemo())
      window.findTab->FindMemo->setPlainText(query);
    else
      window.findTab->FindEditComboBox->setEditText(query);
    QTest::mouseClick(window.findTab->FindButton, Qt::LeftButton);
  }

  static QString cell(const TFind& window, int row, const QString& caption) {
    return window.results->cellText(row, window.results->columnOf(caption));
  }

  static int rowNamed(const TFind& window, const QString& name) {
    for (int row = 0; row < window.results->rowCount(); ++row)
      if (cell(window, row, "Name") == name) return row;
    return -1;
  }

 private slots:
  void initTestCase() {
    QVERIFY(tree_.isValid());
    root_ = tree_.path();
    writeFile(root_, "alpha.txt", "hello world\nnothing here\nsay hello, hello\n");
    writeFile(root_, "beta.txt", "no match in this file\n");
    writeFile(root_, "sub/gamma.txt", "HELLO from below\n");
    writeFile(root_, "sub/page.htm", "hello in html\n");
    writeFile(root_, "tabs.txt", "a\thello\n");
  }

  void findListsMatchingFilesWithCells() {
    WarningRecorder recorder;
    TFind window;
    window.show();
    runFind(window, "hello");
    QVERIFY2(recorder.warnings.isEmpty(), qPrintable(recorder.warnings.value(0).second));
    QCOMPARE(window.results->rowCount(), 3);
    QCOMPARE(window.statusText(0), QString("Found Files:   3"));
    QCOMPARE(window.statusText(1), QString());
    const struct {
      const char* name;
      const char* found;
      QString path;
    } expected[] = {
        {"alpha.txt", "3", root_}, {"gamma.txt", "1", root_ + "/sub"}, {"tabs.txt", "1", root_}};
    for (const auto& want : expected) {
      const int row = rowNamed(window, want.name);
      QVERIFY2(row >= 0, want.name);
      QCOMPARE(cell(window, row, "Found"), QString(want.found));
      QCOMPARE(cell(window, row, "Path"), want.path);
    }
    QVERIFY(cell(window, rowNamed(window, "beta.txt") < 0 ? 0 : 0, "Size").endsWith(" KB"));
    // The window is idle again: inputs back, Stop off, Search in Results offered.
    QVERIFY(window.findTab->FindButton->isEnabled());
    QVERIFY(!window.findTab->StopButton->isEnabled());
    QVERIFY(window.ListXPCheckBox->isEnabled());
    QVERIFY(window.PageControl1->isTabVisible(TFind::OptionsPage));
    QVERIFY(window.ListView1->isVisible());
  }

  void viewerShowsLinesAndHitsOfTheFirstRow() {
    TFind window;
    window.show();
    runFind(window, "hello");
    const int alpha = rowNamed(window, "alpha.txt");
    window.selectRow(alpha);
    QTRY_COMPARE(window.ListBox1->lineCount(), 3);
    QCOMPARE(window.ListBox1->lineText(0), QString("     File:  alpha.txt      Path:  ") + root_);
    QCOMPARE(window.ListBox1->lineText(1), QString(" line 1: hello world"));
    QCOMPARE(window.ListBox1->lineText(2), QString(" line 3: say hello, hello"));
    const DisplayHits first = window.ListBox1->hitsOf(1);
    QCOMPARE(first.size(), 1);
    QCOMPARE(first[0].column, 9);
    QCOMPARE(first[0].length, 5);
    const DisplayHits third = window.ListBox1->hitsOf(2);
    QCOMPARE(third.size(), 2);
    QCOMPARE(third[0].column, 13);
    QCOMPARE(third[1].column, 20);
    // A tab is shown as a space and the hit after it keeps its column.
    window.selectRow(rowNamed(window, "tabs.txt"));
    QTRY_COMPARE(window.ListBox1->lineCount(), 2);
    QCOMPARE(window.ListBox1->lineText(1), QString(" line 1: a hello"));
    QCOMPARE(window.ListBox1->hitsOf(1).value(0).column, 11);
    QVERIFY(window.menus != nullptr);
  }

  void headerClicksSortAscendingThenDescending() {
    TFind window;
    window.show();
    runFind(window, "hello");
    QHeaderView* header = window.ListView1->horizontalHeader();
    const int found = window.results->columnOf("Found");
    auto click = [&] {
      const QPoint at(header->sectionViewportPosition(found) + 5, header->height() / 2);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    click();
    QStringList ascending;
    for (int row = 0; row < 3; ++row) ascending << cell(window, row, "Found");
    QCOMPARE(ascending.last(), QString("3"));
    click();
    QCOMPARE(cell(window, 0, "Found"), QString("3"));
  }

  void selectByMaskAndDeleteItems() {
    WarningRecorder recorder;
    TFind window;
    window.show();
    runFind(window, "hello");
    QVERIFY(window.ListView1->applyMask("*a.txt", true));
    QCOMPARE(window.ListView1->selectedRows().size(), std::size_t{2});
    window.ListView1->clearSelection();
    window.selectRow(0);
    window.deleteItems();
    QCOMPARE(window.results->rowCount(), 2);
    QCOMPARE(window.statusText(0), QString("Files in List:   2"));
    QCOMPARE(window.ListView1->selectedRows(), std::vector<int>{0});
    // Emptying the list collapses the window.
    window.ListView1->selectAllRows();
    window.deleteItems();
    QCOMPARE(window.results->rowCount(), 0);
    QVERIFY(!window.ListView1->isVisible());
    QVERIFY(!window.ListXPCheckBox->isEnabled());
    QVERIFY(recorder.warnings.isEmpty());
  }

  void optionChangeClearsTheViewer() {
    TFind window;
    window.show();
    runFind(window, "hello");
    QTRY_VERIFY(window.ListBox1->hasLines());
    window.SensitiveCheckBox->setChecked(true);
    QVERIFY(!window.ListBox1->hasLines());
    QVERIFY(window.ListView1->selectedRows().empty());
    // Changing the query text of the Find tab invalidates the same way.
    window.selectRow(0);
    QTRY_VERIFY(window.ListBox1->hasLines());
    window.findTab->FindEditComboBox->setEditText("other");
    QVERIFY(!window.ListBox1->hasLines());
  }

  void emptyQueryListsNamesAndNotFoundResets() {
    TFind window;
    window.show();
    runFind(window, "");
    QCOMPARE(window.results->rowCount(), 4);
    QCOMPARE(window.results->columnOf("Found"), -1);
    runFind(window, "no such text anywhere");
    QCOMPARE(window.results->rowCount(), 0);
    QCOMPARE(window.statusText(0), QString("Not Found"));
    QVERIFY(!window.ListXPCheckBox->isEnabled());
    QVERIFY(window.results->columnOf("Found") >= 0);
  }

  void folderAndMaskSlipsAreExplained() {
    WarningRecorder recorder;
    TFind window;
    window.show();
    const QString missing = root_ + "/no such folder";
    window.ComboBoxPath->setEditText(missing);
    window.find(kestrix::search::Origin::Find);
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0].first, QString("Find"));
    QCOMPARE(recorder.warnings[0].second, "Folder \"" + missing + "\" does not exist");
    QCOMPARE(window.ComboBoxPath->findText(missing), -1);  // kept out of the history
    QCOMPARE(window.results->rowCount(), 0);
    // Masks that match nothing because of their separator get a hint.
    const struct {
      QString masks;
      bool hint;
    } masks[] = {{"*.txt, *.md", true}, {"*.txt *.md", true}, {"*.md; *.rst", false}};
    for (const auto& m : masks) {
      runFind(window, "hello", m.masks);
      QCOMPARE(window.results->rowCount(), 0);
      QCOMPARE(window.statusText(1),
               m.hint ? QString(kestrix::search::kMaskSeparatorHint) : QString());
    }
  }

  void vanishedFileGivesNotFound() {
    WarningRecorder recorder;
    writeFile(root_, "gone/doomed.txt", "hello\n");
    TFind window;
    window.show();
    runFind(window, "hello");
    const int row = rowNamed(window, "doomed.txt");
    QVERIFY(row >= 0);
    QVERIFY(QFile::remove(root_ + "/gone/doomed.txt"));
    window.selectRow(row);
    QTRY_COMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0].first, QString("Kestrix Search & Replace"));
    QCOMPARE(recorder.warnings[0].second, QString("File ") + root_ + "/gone/doomed.txt not found");
    QVERIFY(window.results->item(row).outcome.result == kestrix::search::RowResult::NotFound);
    QVERIFY(!window.ListBox1->hasLines());
  }

  void regexErrorSelectsTheCharacter() {
    WarningRecorder recorder;
    TFind window;
    window.show();
    runFind(window, "first line\nab)c", "*.txt", QueryType::RegExpr);
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0].first, QString("Regular Expression"));
    const QTextCursor cursor = window.findTab->FindMemo->textCursor();
    QVERIFY2(cursor.hasSelection(), qPrintable(recorder.warnings[0].second));
    QCOMPARE(cursor.selectedText().size(), 1);
    QVERIFY(cursor.selectionStart() > QString("first line").size());
    QCOMPARE(window.results->rowCount(), 0);
    QVERIFY(window.findTab->FindButton->isEnabled());
  }

  void searchTabRunAndSearchInResults() {
    TFind window;
    window.show();
    window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
    window.ComboBoxPath->setEditText(root_);
    window.MasksComboBox->setEditText("*.txt");
    window.replaceTab->SearchEdit->setEditText("hello");
    QTest::mouseClick(window.replaceTab->SearchButton, Qt::LeftButton);
    QCOMPARE(window.results->rowCount(), 3);
    QCOMPARE(window.statusText(0), QString("Files in List:    3"));
    QCOMPARE(cell(window, 0, "Result"), QString("Found"));
    QCOMPARE(window.statusText(2), QString("Search Backup Files: Cannot"));
    // Narrow the list: only the listed files are searched, the folder box is off.
    window.ListXPCheckBox->setChecked(true);
    QVERIFY(!window.ComboBoxPath->isEnabled());
    window.replaceTab->SearchEdit->setEditText("say");
    QTest::mouseClick(window.replaceTab->SearchButton, Qt::LeftButton);
    QCOMPARE(window.results->rowCount(), 1);
    QCOMPARE(cell(window, 0, "Name"), QString("alpha.txt"));
    // Switching to the Find tab drops the found lines of the other tab's search.
    QTRY_VERIFY(window.ListBox1->hasLines());
    window.PageControl1->setCurrentIndex(TFind::FindPage);
    QVERIFY(!window.ListBox1->hasLines());
    QVERIFY(window.ListView1->selectedRows().empty());
  }

  void limitsEndTheRunWithTheirMessages() {
    const struct {
      QueryType type;
      QString query;
      QString masks;
      const char* caption;
      const char* text;
    } cases[] = {
        {QueryType::Phrase, QString(4001, 'x'), "*.txt", "Kestrix Search & Replace",
         "The query is too long"},
        {QueryType::Multiline, QString(1001, 'x'), "*.txt", "Kestrix Search & Replace",
         "The lines are too long for the Query field"},
        {QueryType::Phrase, "hello", QString("a;").repeated(100), "Kestrix Search & Replace",
         "Too many masks"},
        {QueryType::WordsOr, QString("w ").repeated(500), "*.txt", "Kestrix Search & Replace",
         "Too many words"},
    };
    for (const auto& c : cases) {
      WarningRecorder recorder;
      TFind window;
      window.show();
      runFind(window, c.query, c.masks, c.type);
      QVERIFY2(recorder.warnings.size() == 1, c.text);
      QCOMPARE(recorder.warnings[0].first, QString(c.caption));
      QCOMPARE(recorder.warnings[0].second, QString(c.text));
      QCOMPARE(window.results->rowCount(), 0);
      QCOMPARE(window.statusText(0), QString("Not Found"));
      QVERIFY(window.findTab->FindButton->isEnabled());
    }
  }

  void screenshotAfterASearch() {
    TFind window;
    window.show();
    QCoreApplication::processEvents();
    QVERIFY(window.grab().save(artifactFolder() + "/screenshot-start.png"));
    runFind(window, "hello");
    QTRY_VERIFY(window.ListBox1->hasLines());
    const QString file = artifactFolder() + "/screenshot.png";
    QVERIFY(window.grab().save(file));
    qInfo("screenshot: %s", qPrintable(file));
    // The other two tabs, for a look at their layouts.
    const struct {
      TFind::Tab tab;
      const char* file;
    } tabs[] = {{TFind::SearchReplacePage, "/screenshot-replace.png"},
                {TFind::OptionsPage, "/screenshot-options.png"}};
    for (const auto& t : tabs) {
      window.PageControl1->setCurrentIndex(t.tab);
      QCoreApplication::processEvents();  // let the layouts settle
      QVERIFY(window.grab().save(artifactFolder() + t.file));
    }
  }
};

QTEST_MAIN(FindRunTest)
#include "tst_findrun.moc"
