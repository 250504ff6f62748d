// The results view's commands: select / deselect by mask through the mask prompt, Delete
// Items with its re-selection rule and status texts, header clicks, and double-click on a
// vanished file. Also the mask prompt dialog itself.
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

#include "ui/fileops/ExternalChangeCheck.h"
#include "ui/fileops/FileLauncher.h"
#include "ui/results/ResultsDelegate.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/results/TMaskForm.h"

using kestrix::search::ResultItem;
using kestrix::ui::ResultsModel;
using kestrix::ui::ResultsView;

namespace {

struct Warning {
  QString caption, text;
};

struct Fixture {
  ResultsModel model;
  ResultsView view;
  std::vector<Warning> warnings;
  explicit Fixture(const std::vector<std::string>& names) {
    std::vector<ResultItem> items;
    for (const std::string& n : names) {
      ResultItem it;
      it.name = n;
      it.path = "/nowhere/kestrix-test";
      items.push_back(it);
    }
    model.appendItems(std::move(items));
    view.setModel(&model);
    view.setWarningHook([this](const QString& c, const QString& t) { warnings.push_back({c, t}); });
  }
  QStringList selectedNames() const {
    QStringList out;
    for (int r : view.selectedRows()) out << QString::fromStdString(model.item(r).name);
    return out;
  }
};

// A shown list `width` pixels wide, for the tests of how the columns fit; rows come later.
struct ShownList {
  ResultsModel model;
  ResultsView view;
  explicit ShownList(int width) {
    view.setModel(&model);
    view.resize(width, 300);
    view.show();
  }
};

// A row with every cell the columns are fitted to.
ResultItem typedRow(const std::string& name, const std::string& path) {
  ResultItem it;
  it.name = name;
  it.path = path;
  it.time = "12/09/2026 17:35:01";
  it.type = "plain text document";
  return it;
}

std::vector<std::string> numbered(int n) {
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back("row" + std::to_string(i));
  return names;
}

}  // namespace

class ResultsViewTest : public QObject {
  Q_OBJECT
 private slots:
  void selectByMaskTable() {
    struct Case {
      const char* mask;
      QStringList selected;
    } cases[] = {
        // Separate runs of rows; the mask rules themselves are the core's.
        {"*", {"readme", "a", "ab", "Makefile"}},
        {"*.txt", {"readme.txt", "x.TXT"}},
    };
    for (const Case& c : cases) {
      Fixture f({"readme", "readme.txt", "a", "ab", "Makefile", "x.TXT"});
      QVERIFY(f.view.applyMask(c.mask, true));
      QVERIFY2(f.selectedNames() == c.selected,
               qPrintable(QString(c.mask) + " -> " + f.selectedNames().join(",")));
    }
  }

  void deselectAndInvalidMask() {
    Fixture f({"a.txt", "b.log", "c.txt"});
    QSignalSpy done(&f.view, &ResultsView::maskCommandDone);
    f.view.selectAllRows();
    QVERIFY(f.view.applyMask("*.txt", false));
    QCOMPARE(f.selectedNames(), QStringList({"b.log"}));
    QVERIFY(!f.view.applyMask("[abc", true));
    QCOMPARE(f.warnings.size(), size_t(1));
    QCOMPARE(f.warnings[0].caption, QString("Error"));
    QCOMPARE(f.warnings[0].text, QString("Invalid mask"));
    QCOMPARE(f.selectedNames(), QStringList({"b.log"}));
    QCOMPARE(done.count(), 3);
  }

  void promptCancelChangesNothing() {
    Fixture f({"a.txt", "b.txt"});
    std::optional<QString> answer;
    f.view.setMaskPrompt([&] { return answer; });
    QVERIFY(!f.view.selectByMask());
    QVERIFY(f.view.selectedRows().empty());
    answer = "b*.*";
    QVERIFY(f.view.selectByMask());
    QCOMPARE(f.selectedNames(), QStringList({"b.txt"}));
  }

  void deleteReselectsTheFollowingRow() {
    Fixture f(numbered(10));
    QSignalSpy status(&f.view, &ResultsView::statusTextChanged);
    f.view.selectionModel()->select(f.model.index(2, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    f.view.selectionModel()->select(f.model.index(4, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(f.view.deleteSelectedItems());
    QCOMPARE(f.model.rowCount(), 8);
    QCOMPARE(f.selectedNames(), QStringList({"row5"}));
    QCOMPARE(f.view.currentIndex().row(), 3);
    QCOMPARE(status.last().at(0).toString(), QString("Files in List:   8"));

    f.view.selectOnlyRow(6);
    f.view.selectionModel()->select(f.model.index(7, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QVERIFY(f.view.deleteSelectedItems());
    QCOMPARE(f.selectedNames(), QStringList({"row7"}));  // the new last row
  }

  void keysAfterDelete() {
    Fixture f(numbered(10));
    f.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.view));
    QSignalSpy deleteKey(&f.view, &ResultsView::deleteKeyPressed);
    QSignalSpy home(&f.view, &ResultsView::homePressed);
    QTest::keyClick(&f.view, Qt::Key_Delete);
    QCOMPARE(deleteKey.count(), 0);  // nothing selected
    f.view.selectOnlyRow(2);
    f.view.selectionModel()->select(f.model.index(4, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(&f.view, Qt::Key_Delete);
    QCOMPARE(deleteKey.count(), 1);
    QVERIFY(f.view.deleteSelectedItems());
    QTest::keyClick(&f.view, Qt::Key_Down);  // movement goes on from the re-selected row
    QCOMPARE(f.selectedNames(), QStringList({"row6"}));
    QTest::keyClick(&f.view, Qt::Key_Home);
    QCOMPARE(f.selectedNames(), QStringList({"row0"}));
    QCOMPARE(home.count(), 1);
  }

  void deleteStatusTextsAndEmptyList() {
    Fixture f(numbered(3));
    QSignalSpy status(&f.view, &ResultsView::statusTextChanged);
    QSignalSpy emptied(&f.view, &ResultsView::listEmptied);
    QVERIFY(!f.view.deleteSelectedItems());
    QCOMPARE(f.warnings.size(), size_t(1));
    QCOMPARE(f.warnings[0].caption, QString("List: Delete Items"));
    QCOMPARE(f.warnings[0].text, QString("Please select some items"));

    f.view.selectOnlyRow(0);
    QVERIFY(f.view.deleteSelectedItems());
    QCOMPARE(status.last().at(0).toString(), QString("Files in List:   2"));
    f.view.selectOnlyRow(0);
    QVERIFY(f.view.deleteSelectedItems());
    QCOMPARE(status.last().at(0).toString(), QString("File in List:   1"));
    QCOMPARE(emptied.count(), 0);
    f.view.selectAllRows();
    QVERIFY(f.view.deleteSelectedItems());
    QCOMPARE(emptied.count(), 1);
    QCOMPARE(f.model.rowCount(), 0);
  }

  void headerClickSortsUnlessSearching() {
    Fixture f({"b", "c", "a"});
    f.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.view));
    auto clickHeader = [&](int section) {
      QHeaderView* header = f.view.horizontalHeader();
      const QPoint at(header->sectionViewportPosition(section) + 5, header->height() / 2);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    QSignalSpy pressed(&f.view, &ResultsView::mousePressed);
    QTest::mousePress(f.view.viewport(), Qt::RightButton, {},
                      f.view.visualRect(f.model.index(1, 0)).center());
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed.first().at(1).toInt(), 1);
    f.view.setSearchRunning(true);
    clickHeader(0);
    QCOMPARE(f.model.item(0).name, std::string("b"));
    f.view.setSearchRunning(false);
    clickHeader(0);
    QCOMPARE(f.model.item(0).name, std::string("a"));
    clickHeader(0);
    QCOMPARE(f.model.item(0).name, std::string("c"));
  }

  void rowsStayOnScreenWhileASearchAppends() {
    // Repaints that would show the same rows are skipped during a search; what the screen
    // shows must still be the rows, not an erased list.
    Fixture f({});
    f.view.resize(400, 200);
    f.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.view));
    f.view.setSearchRunning(true);
    for (int batch = 0; batch < 3; ++batch) {
      std::vector<ResultItem> items(40);
      for (ResultItem& it : items) it.name = "listed-file.txt";
      f.model.appendItems(std::move(items));
      QTest::qWait(30);
    }
    const QImage screen = f.view.screen()->grabWindow(f.view.winId()).toImage();
    const QRect firstRows = f.view.viewport()->geometry().adjusted(0, 0, 0, -20);
    int ink = 0;
    for (int y = firstRows.top(); y < firstRows.bottom(); ++y) {
      for (int x = firstRows.left() + 20; x < firstRows.left() + 120; ++x) {
        if (qGray(screen.pixel(x, y)) < 100) ++ink;
      }
    }
    if (screen.isNull()) QSKIP("this platform cannot grab windows");
    QVERIFY2(ink > 100, qPrintable(QString::number(ink)));
    f.view.setSearchRunning(false);
  }

  // A list narrower than the default widths: Path gives up its width so that every column
  // right of it shows whole instead of sitting past the edge.
  void aNarrowListShowsEveryColumnOnTheFirstFill() {
    ShownList list(900);
    ResultsView& view = list.view;
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // More rows than the list shows.
    list.model.appendItems(std::vector<ResultItem>(
        40, typedRow("file_with_a_rather_long_name_13.txt", "/tmp/walk/tree/sub")));
    view.setSearchRunning(true);
    view.setSearchRunning(false);
    QTRY_VERIFY(view.verticalScrollBar()->isVisible());
    QCOMPARE(view.horizontalHeader()->length(), view.viewport()->width());
  }

  void columnsFitTheirContentsOnTheFirstFill() {
    ShownList list(1100);
    ResultsModel& model = list.model;
    ResultsView& view = list.view;
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const ResultItem it = typedRow("a-rather-long-file-name-of-a-report.txt",
                                   "/home/user/projects/" + std::string(150, 'p') + "/deep/folder");
    model.appendItems({it});
    const int pathColumn = model.columnOf(ResultsModel::Column::Path);
    auto* delegate = qobject_cast<kestrix::ui::ResultsDelegate*>(view.itemDelegate());
    QVERIFY(delegate != nullptr);
    const auto cut = [&](int column) {
      QStyleOptionViewItem option;
      option.initFrom(view.viewport());
      option.rect = view.visualRect(model.index(0, column));
      option.widget = &view;
      return delegate->isCut(option, model.index(0, column));
    };
    const int time = model.columnOf(ResultsModel::Column::Time);
    const int type = model.columnOf(ResultsModel::Column::Type);
    QVERIFY(cut(time) && cut(type));  // the default widths cut them
    view.setSearchRunning(true);
    view.setSearchRunning(false);
    for (int c = 0; c < model.columnCount(); ++c)
      QVERIFY2(c == pathColumn || !cut(c), qPrintable(model.caption(c)));
    // Path takes what the others leave, and its too long text is cut in the middle.
    QCOMPARE(view.horizontalHeader()->length(), view.viewport()->width());
    QVERIFY(cut(pathColumn));
    QStyleOptionViewItem option;
    delegate->initStyleOption(&option, model.index(0, pathColumn));
    QCOMPARE(option.textElideMode, Qt::ElideMiddle);
    // Hovering the cut cell shows its whole text.
    const QPoint at = view.visualRect(model.index(0, pathColumn)).center();
    QHelpEvent help(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
    QApplication::sendEvent(view.viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), QString::fromStdString(it.path));
    // Only the first fill sizes the columns: a later one keeps what is there.
    view.setColumnWidth(time, 40);
    view.setSearchRunning(true);
    view.setSearchRunning(false);
    QCOMPARE(view.columnWidth(time), 40);
  }

  // After the first fill, Path alone takes the width the list gains (a maximized window)
  // and gives it back; once the user has set a width himself, the columns stay as he left them.
  void pathTakesTheWidthTheListGains() {
    ShownList list(900);
    ResultsModel& model = list.model;
    ResultsView& view = list.view;
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    model.appendItems({typedRow("report.txt", "/home/user/projects/" + std::string(150, 'p'))});
    view.setSearchRunning(true);
    view.setSearchRunning(false);
    const int path = model.columnOf(ResultsModel::Column::Path);
    const auto widths = [&] {
      QList<int> out;
      for (int c = 0; c < model.columnCount(); ++c) out << view.columnWidth(c);
      return out;
    };
    const QList<int> first = widths();
    for (const int width : {1500, 1000, 900}) {
      view.resize(width, 300);
      QCOMPARE(view.horizontalHeader()->length(), view.viewport()->width());
      for (int c = 0; c < model.columnCount(); ++c)
        QVERIFY2(c == path || view.columnWidth(c) == first[c], qPrintable(model.caption(c)));
    }
    QCOMPARE(widths(), first);
    // A border dragged by the user.
    QWidget* header = view.horizontalHeader()->viewport();
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(2, 2));
    view.setColumnWidth(0, first[0] + 30);
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(2, 2));
    const QList<int> user = widths();
    view.resize(1500, 300);
    QCOMPARE(widths(), user);
  }

  void doubleClickOnVanishedFileWarns() {
    Fixture f({"gone.txt"});
    kestrix::ui::ExternalChangeCheck check;
    kestrix::ui::FileLauncher launcher(check);
    bool opened = false;
    launcher.setOpenUrlHook([&](const QUrl&) { return opened = true; });
    launcher.setWarningHook([&](const QString& c, const QString& t) {
      f.warnings.push_back({c, t});
    });
    f.view.setFileLauncher(&launcher);
    f.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.view));
    const QRect cell = f.view.visualRect(f.model.index(0, 0));
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(!opened);
    QCOMPARE(f.warnings.size(), size_t(1));
    QCOMPARE(f.warnings[0].caption, QString("Information"));
    QCOMPARE(f.warnings[0].text, QString("File /nowhere/kestrix-test/gone.txt not found"));
    QCOMPARE(f.model.rowCount(), 1);
  }

  void maskFormKeepsItsText() {
    kestrix::ui::TMaskForm form;
    QCOMPARE(form.windowTitle(), QString("Mask"));
    QCOMPARE(form.LabelMask->text(), QString("Please specify the mask"));
    QCOMPARE(form.mask(), QString("*.*"));
    QVERIFY(form.OKBtn->isDefault());
    bool okFocused = false;
    QTimer::singleShot(0, &form, [&] {
      okFocused = form.focusWidget() == form.OKBtn;
      form.Edit1->setText("*.log");
      form.CancelBtn->click();
    });
    QCOMPARE(form.exec(), int(QDialog::Rejected));
    QVERIFY(okFocused);
    QCOMPARE(form.mask(), QString("*.log"));  // kept after Cancel, offered next time
    QTimer::singleShot(0, &form, [&] {
      QTest::keyClick(form.OKBtn, Qt::Key_Return);
      if (form.isVisible()) form.done(-1);  // never leave the modal loop running
    });
    QCOMPARE(form.exec(), int(QDialog::Accepted));
    QCOMPARE(form.mask(), QString("*.log"));
  }
};

QTEST_MAIN(ResultsViewTest)
#include "tst_resultsview.moc"
