// The window keeps the size and the maximized state the user gives it through searches,
// tab changes and Hide List.
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <functional>

#include "WindowTestUtil.h"
#include "ui/find/FindTab.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/window/ScreenScale.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using namespace kestrix::ui::testing;

class WindowGeometryTest : public QObject {
  Q_OBJECT

 private slots:
  void userHeightSurvivesSearchesAndTabChanges() {
    QTemporaryDir dir;
    writeFile(dir.path(), "a.txt", "abc\n");
    TFind window;
    window.show();
    window.ComboBoxPath->setEditText(dir.path());
    window.find(kestrix::search::Origin::Find);
    QCOMPARE(window.results->rowCount(), 1);
    window.resize(900, 700);
    QCOMPARE(window.height(), 700);
    const struct {
      const char* step;
      std::function<void()> act;
      int height;
    } steps[] = {
        {"find again", [&] { window.find(kestrix::search::Origin::Find); }, 700},
        {"options tab", [&] { window.PageControl1->setCurrentIndex(TFind::OptionsPage); }, 423},
        {"back to find", [&] { window.PageControl1->setCurrentIndex(TFind::FindPage); }, 700},
        {"replace tab", [&] { window.PageControl1->setCurrentIndex(TFind::SearchReplacePage); },
         700},
        {"find tab", [&] { window.PageControl1->setCurrentIndex(TFind::FindPage); }, 700},
        {"hide list", [&] { window.findTab->HideListButton->click(); }, 248},
        {"find after hide", [&] { window.find(kestrix::search::Origin::Find); }, 700},
    };
    for (const auto& s : steps) {
      s.act();
      const int expected = s.height == 700 ? 700 : scaled(s.height);
      QVERIFY2(window.height() == expected,
               qPrintable(QString("%1: %2").arg(s.step).arg(window.height())));
      QVERIFY2(window.width() == 900, s.step);
    }
  }

  void maximizedStateSurvivesSearchesAndTabChanges() {
    QTemporaryDir dir;
    writeFile(dir.path(), "a.txt", "abc\n");
    TFind window;
    window.show();
    window.resize(900, window.height());
    window.showMaximized();
    QTRY_VERIFY(window.isMaximized());
    window.ComboBoxPath->setEditText(dir.path());
    window.find(kestrix::search::Origin::Find);
    window.PageControl1->setCurrentIndex(TFind::OptionsPage);
    window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
    window.find(kestrix::search::Origin::SearchAndReplace);
    window.replaceTab->HideListReplaceButton->click();
    QVERIFY(window.isMaximized());
    QCOMPARE(window.maximumHeight(), QWIDGETSIZE_MAX);
    // Restored, the window takes the limits of the active tab again.
    window.showNormal();
    QTRY_VERIFY(!window.isMaximized());
    QTRY_COMPARE(window.height(), scaled(323));
    QCOMPARE(window.width(), 900);
  }
};

QTEST_MAIN(WindowGeometryTest)
#include "tst_windowgeometry.moc"
