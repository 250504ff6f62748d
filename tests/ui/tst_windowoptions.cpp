// The main window's option handlers and rules: query-type switching, filter groups, the
// idle limit rule, histories, "Invalid time limits", validation messages, the Enter key,
// the tab layouts and the menus.
#include <functional>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBrowser>
#include <QtTest>

#include "WindowTestUtil.h"
#include "ui/find/FindTab.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/settings/OptionsTab.h"
#include "ui/viewer/LinesViewer.h"
#include "ui/window/HelpWindow.h"
#include "ui/window/MainMenus.h"
#include "ui/window/Mnemonics.h"
#include "ui/window/ScreenScale.h"
#include "ui/window/TFind.h"

using namespace kestrix::ui;
using kestrix::search::QueryType;
using namespace kestrix::ui::testing;

class WindowOptionsTest : public QObject {
  Q_OBJECT

 private slots:
  // Every menu title, button, check box, radio button and field label in view carries an
  // Alt+letter. Letters are unique, except that an option box whose caption offers no letter
  // free in its view shares one with an option box or a label (never with a command);
  // the shared key then visits them in turn.
  void everyControlInViewHasAMnemonic() {
    TFind window;
    window.show();
    QApplication::setActiveWindow(&window);
    const struct {
      int tab;
      QueryType type;
    } views[] = {{TFind::FindPage, QueryType::Phrase},
                 {TFind::FindPage, QueryType::Multiline},
                 {TFind::SearchReplacePage, QueryType::Phrase},
                 {TFind::SearchReplacePage, QueryType::RegExpr},
                 {TFind::OptionsPage, QueryType::Phrase}};
    QList<QAbstractButton*> shared;
    for (const auto& view : views) {
      window.PageControl1->setCurrentIndex(view.tab);
      window.findTab->setQueryType(view.type);
      window.replaceTab->setSearchType(view.type);
      QMap<QChar, QList<QObject*>> owners;
      QMap<QObject*, QString> captions;
      for (QAction* menu : window.menuBar()->actions()) captions[menu] = menu->text();
      for (QAbstractButton* b : window.centralWidget()->findChildren<QAbstractButton*>())
        if (b->isVisibleTo(&window) && !b->text().isEmpty() && !b->parent()->inherits("QTabBar"))
          captions[b] = b->text();
      for (QLabel* label : window.centralWidget()->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&window) || label->objectName() == "BackupsNoteLabel") continue;
        QVERIFY2(label->buddy() != nullptr && label->buddy()->isVisibleTo(&window),
                 qPrintable(label->text() + " names no field in view"));
        captions[label] = label->text();
      }
      for (auto it = captions.cbegin(); it != captions.cend(); ++it) {
        const QChar letter = mnemonicOf(*it);
        QVERIFY2(!letter.isNull(), qPrintable(*it + " has no mnemonic"));
        owners[letter].append(it.key());
      }
      for (auto it = owners.cbegin(); it != owners.cend(); ++it) {
        if (it->size() == 1) continue;
        for (QObject* o : *it) {
          auto* w = qobject_cast<QWidget*>(o);
          QVERIFY2(w != nullptr && !w->inherits("QPushButton"),
                   qPrintable(captions[o] + " shares its letter"));
          auto* box = qobject_cast<QAbstractButton*>(w);
          if (box != nullptr && !shared.contains(box)) shared.append(box);
        }
        // Only a caption without a free letter takes a shared one (letters of controls that
        // the tab hides for another query type are not free).
        QString held;
        for (QWidget* scope : {window.TopPanel, window.PageControl1->currentWidget()})
          for (const QAbstractButton* b : scope->findChildren<QAbstractButton*>())
            held += mnemonicOf(b->text());
        const QString caption = captions[it->back()];
        for (const QChar c : caption)
          QVERIFY2(
              !c.isLetterOrNumber() || owners.contains(c.toLower()) || held.contains(c.toLower()),
              qPrintable(caption + " shares a letter but could have its own"));
      }
    }
    // The shared key moves the focus to each of its holders in turn, clicking none.
    QVERIFY(!shared.isEmpty());
    window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
    for (QAbstractButton* box : shared) {
      if (!box->isVisible() || !box->isEnabled()) continue;
      const QChar letter = mnemonicOf(box->text());
      const bool checked = box->isChecked();
      for (int press = 0; press < 6 && !box->hasFocus(); ++press)
        QTest::keyClick(&window, Qt::Key(letter.toUpper().unicode()), Qt::AltModifier);
      QVERIFY2(box->hasFocus(), qPrintable(box->objectName()));
      QCOMPARE(box->isChecked(), checked);
    }
    // A label's key reaches the editor in view.
    window.replaceTab->setSearchType(QueryType::Multiline);
    const QChar toSearch = mnemonicOf(window.replaceTab->SearchLabel->text());
    for (int press = 0; press < 4 && !window.replaceTab->SearchMemo->hasFocus(); ++press)
      QTest::keyClick(&window, Qt::Key(toSearch.toUpper().unicode()), Qt::AltModifier);
    QVERIFY(window.replaceTab->SearchMemo->hasFocus());
    // An Alt+letter that no control takes does not type into the field.
    window.PageControl1->setCurrentIndex(TFind::FindPage);
    window.ComboBoxPath->setEditText("abc");
    window.ComboBoxPath->setFocus();
    QTest::keyClick(window.ComboBoxPath->lineEdit(), Qt::Key_Q, Qt::AltModifier);
    QCOMPARE(window.ComboBoxPath->currentText(), QString("abc"));
    QTest::keyClick(window.ComboBoxPath->lineEdit(), Qt::Key_Q);
    QCOMPARE(window.ComboBoxPath->currentText(), QString("abcq"));
  }

  void queryTypeSwitchingKeepsTextsAndLayout() {
    TFind window;
    window.show();
    FindTab& tab = *window.findTab;
    tab.FindEditComboBox->setEditText("one line");
    const struct {
      QueryType type;
      bool memo;
      LineMode lineMode;
      int tabHeight;
    } cases[] = {{QueryType::Multiline, true, LineMode::Ranges, 162},
                 {QueryType::Phrase, false, LineMode::Lines, 126},
                 {QueryType::RegExpr, true, LineMode::Lines, 162},
                 {QueryType::WordsOr, false, LineMode::Lines, 126},
                 {QueryType::SearchEngine, false, LineMode::Lines, 126},
                 {QueryType::WordsAnd, false, LineMode::Lines, 126}};
    for (const auto& c : cases) {
      tab.setQueryType(c.type);
      if (c.memo && tab.FindMemo->toPlainText().isEmpty()) tab.FindMemo->setPlainText("block");
      const QByteArray label(kestrix::search::queryTypeInfo(c.type).caption.data());
      QVERIFY2(tab.FindMemo->isVisible() == c.memo, label);
      QVERIFY2(tab.FindEditComboBox->isVisible() == !c.memo, label);
      QVERIFY2(window.WholeWordsCheckBox->isVisible() == !c.memo, label);
      QVERIFY2(window.state().lineMode == c.lineMode, label);
      QVERIFY2(window.PageControl1->height() == scaled(c.tabHeight), label);
    }
    QCOMPARE(tab.FindEditComboBox->currentText(), QString("one line"));
    QCOMPARE(tab.FindMemo->toPlainText(), QString("block"));
  }

  void filterGroupsEnableTheirControls() {
    TFind window;
    OptionsTab& o = *window.optionsTab;
    QVERIFY(!o.SizeSpinEdit->isEnabled());
    o.AllSizeCheckBox->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{o.SizeSpinEdit, o.KBComboBox,
                                                      o.AllLeastRadioButton, o.SizeLabel})
      QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(!o.MinDateTimePicker->isEnabled());
    o.AllDateCheckBox->setChecked(true);
    QVERIFY(o.MinDateTimePicker->isEnabled());
    QVERIFY(!o.DaysAgoSpinEdit->isEnabled());
    o.NewestRadioButton->setChecked(true);
    QVERIFY(!o.MinDateTimePicker->isEnabled() && !o.MaxDateTimePicker->isEnabled());
    QVERIFY(o.DaysAgoSpinEdit->isEnabled());
    QVERIFY(o.AllMostRadioButton->isChecked());  // the two radio pairs are independent
    o.AllDateCheckBox->setChecked(false);
    QVERIFY(!o.DaysAgoSpinEdit->isEnabled() && !o.NewestRadioButton->isEnabled());
    // A limit typed as 0 becomes 1 once the change has been taken.
    o.SizeSpinEdit->setValue(0);
    o.DaysAgoSpinEdit->setValue(0);
    QTRY_COMPARE(o.SizeSpinEdit->value(), 1);
    QTRY_COMPARE(o.DaysAgoSpinEdit->value(), 1);
  }

  void invalidTimeLimitsKeepTheOptionsTab() {
    WarningRecorder recorder;
    TFind window;
    window.show();
    window.PageControl1->setCurrentIndex(TFind::OptionsPage);
    QCOMPARE(window.height(), scaled(423));
    OptionsTab& o = *window.optionsTab;
    o.AllDateCheckBox->setChecked(true);
    o.MaxDateTimePicker->setDateTime(o.MinDateTimePicker->dateTime().addDays(-1));
    window.PageControl1->setCurrentIndex(TFind::FindPage);
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(recorder.warnings[0].first, QString("Kestrix Search & Replace"));
    QCOMPARE(recorder.warnings[0].second, QString("Invalid time limits"));
    QCOMPARE(window.PageControl1->currentIndex(), int(TFind::OptionsPage));
    o.AllDateCheckBox->setChecked(false);
    window.PageControl1->setCurrentIndex(TFind::SearchReplacePage);
    QCOMPARE(recorder.warnings.size(), 1);
    QCOMPARE(window.PageControl1->height(), scaled(201));
    QCOMPARE(window.statusText(2), QString("Search Backup Files: Cannot"));
  }

  void validationMessagesComeWithTheirCaptions() {
    QTemporaryDir dir;
    writeFile(dir.path(), "x.txt", "x\n");
    const struct {
      const char* path;
      const char* masks;
      QueryType type;
      const char* query;
      bool fromReplaceTab;
      const char* caption;
      const char* text;
    } cases[] = {
        {"  ", "*.*", QueryType::Phrase, "x", false, "Find", "Please specify the Path"},
        {"  ", "*.*", QueryType::Phrase, "x", true, "Search", "Please specify the Path"},
        {"@", " ", QueryType::Phrase, "x", false, "Find", "Please specify the Mask"},
        {"@", "*.*", QueryType::WordsOr, "   ", false, "Find", "Please specify the word or words"},
        {"@", "*.*", QueryType::SearchEngine, "\"open", false, "Find", "Missing   \""},
    };
    for (const auto& c : cases) {
      WarningRecorder recorder;
      TFind window;
      window.ComboBoxPath->setEditText(QString(c.path) == "@" ? dir.path() : QString(c.path));
      window.MasksComboBox->setEditText(c.masks);
      window.findTab->setQueryType(c.type);
      window.findTab->FindEditComboBox->setEditText(c.query);
      window.replaceTab->SearchEdit->setEditText(c.query);
      window.find(c.fromReplaceTab ? kestrix::search::Origin::SearchAndReplace
                                   : kestrix::search::Origin::Find);
      QVERIFY2(recorder.warnings.size() == 1, c.text);
      QCOMPARE(recorder.warnings[0].first, QString(c.caption));
      QCOMPARE(recorder.warnings[0].second, QString(c.text));
      QVERIFY2(window.findTab->FindButton->isEnabled(), c.text);
      QVERIFY2(!window.state().busy, c.text);
    }
  }

  void historiesAreDistinctNewestFirst() {
    QTemporaryDir dir;
    writeFile(dir.path(), "x.txt", "abc\n");
    TFind window;
    window.ComboBoxPath->setEditText(dir.path());
    QComboBox* query = window.findTab->FindEditComboBox;
    for (const char* text : {"abc", "b", "abc", "   "}) {
      query->setEditText(text);
      window.find(kestrix::search::Origin::Find);
    }
    QStringList items;
    for (int i = 0; i < query->count(); ++i) items << query->itemText(i);
    QCOMPARE(items, (QStringList{"abc", "b"}));  // the blank query is not recorded
    QCOMPARE(window.ComboBoxPath->count(), 1);
    QCOMPARE(window.MasksComboBox->itemText(0), QString("*.*"));
    QCOMPARE(window.MasksComboBox->itemText(1), QString("*.html; *.htm"));
  }

  void enterRunsFindExceptInTheMemo() {
    QTemporaryDir dir;
    writeFile(dir.path(), "x.txt", "abc\n");
    TFind window;
    window.show();
    QApplication::setActiveWindow(&window);
    window.ComboBoxPath->setEditText(dir.path());
    window.findTab->FindEditComboBox->setEditText("abc");
    window.findTab->FindEditComboBox->setFocus();
    QTest::keyClick(window.findTab->FindEditComboBox, Qt::Key_Return);
    QCOMPARE(window.results->rowCount(), 1);
    QTest::mouseClick(window.findTab->HideListButton, Qt::LeftButton);
    QCOMPARE(window.results->rowCount(), 0);
    QVERIFY(!window.ListView1->isVisible() && !window.ListBox1->isVisible());
    QCOMPARE(window.height(), scaled(248));
    QVERIFY(!window.findTab->HideListButton->isEnabled());
    window.findTab->setQueryType(QueryType::Multiline);
    window.findTab->FindMemo->setFocus();
    QTest::keyClicks(window.findTab->FindMemo, "abc");
    QTest::keyClick(window.findTab->FindMemo, Qt::Key_Return);
    QCOMPARE(window.results->rowCount(), 0);
    QCOMPARE(window.findTab->FindMemo->toPlainText(), QString("abc\n"));
  }

  void menusCarryCaptionsAndShortcuts() {
    TFind window;
    const struct {
      const char* name;
      const char* caption;
      const char* key;
      bool enabled;
    } cases[] = {
        {"ExecuteFile1", "&Execute File ", "F9", false},
        {"EditFile1", "Edit &File ", "F4", false},
        {"BatchReplace1", "Batch Replace", "Shift+F1", true},
        {"EraseBackup1", "Erase &Backups", "", false},  // Search and Replace tab only
        {"SelectAll1", "Select &All", "Ctrl+A", false},
        {"CopyFiles1", "&Copy Files", "F5", false},
        {"RenameFiles1", "&Rename Files", "Ctrl+F6", false},
        {"DeleteFiles1", "D&elete Files", "F8", false},
        {"OpenDirectory1", "Open Directory", "F10", false},
        {"Settings1", "Settin&gs", "F6", true},
        {"CreateReport1", "Create &Report", "F7", false},
        {"BrowseContext1", "Browse &Context", "F3", false},
        {"SaveList1", "&Save List", "F2", false},
        {"SaveLines1", "Save &Lines", "F12", false},
        {"OpenProject1", "&Open Project", "Ctrl+F5", true},
        {"SaveProject1", "&Save Project", "", true},
        {"Undo1", "&Undo", "Ctrl+Z", false},
        {"Contents1", "&Contents", "F1", true},
        {"Exit1", "E&xit", "Ctrl+Q", true},
        {"ExecuteFile4", "&Execute File", "Shift+F9", false},
    };
    for (const auto& c : cases) {
      auto* action = window.findChild<QAction*>(c.name);
      QVERIFY2(action != nullptr, c.name);
      QCOMPARE(action->text(), QString(c.caption));
      QCOMPARE(action->shortcut().toString(), QString(c.key));
      QVERIFY2(action->isEnabled() == c.enabled, c.name);
    }
    // A key reaches one command only: no two actions of the window share one.
    QHash<QString, QString> owners;
    for (const QAction* action : window.findChildren<QAction*>()) {
      const QString key = action->shortcut().toString();
      if (key.isEmpty()) continue;
      QVERIFY2(!owners.contains(key),
               qPrintable(key + ": " + owners.value(key) + ", " + action->objectName()));
      owners.insert(key, action->objectName());
    }
  }

  // Ctrl+F puts the cursor into the shown tab's query, the line or the memo in use, with its
  // text selected; Ctrl+Q closes the window.
  void findAndQuitKeys() {
    TFind window;
    window.show();
    QApplication::setActiveWindow(&window);
    window.findTab->FindEditComboBox->setEditText("abc");
    const struct {
      int tab;
      bool memo;
      std::function<QWidget*()> query;
    } cases[] = {
        {TFind::FindPage, false, [&] { return window.findTab->FindEditComboBox; }},
        {TFind::FindPage, true, [&] { return window.findTab->FindMemo; }},
        {TFind::SearchReplacePage, false, [&] { return window.replaceTab->SearchEdit; }},
    };
    for (const auto& c : cases) {
      window.PageControl1->setCurrentIndex(c.tab);
      if (c.tab == TFind::FindPage)
        window.findTab->setQueryType(c.memo ? QueryType::Multiline : QueryType::Phrase);
      window.MasksComboBox->setFocus();
      QTRY_VERIFY(window.MasksComboBox->hasFocus());
      QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
      QWidget* query = c.query();
      QTRY_VERIFY2(query->hasFocus(), qPrintable(QString::number(c.tab)));
      if (query == window.findTab->FindEditComboBox)
        QCOMPARE(window.findTab->FindEditComboBox->lineEdit()->selectedText(), QString("abc"));
    }
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    QTRY_VERIFY(!window.isVisible());
  }

  // Every item of the menu bar's menus and every command button shows an icon, from the icon
  // theme or the style's stand-in.
  void menusAndButtonsCarryIcons() {
    TFind window;
    for (const QAction* menu : window.menuBar()->actions())
      for (const QAction* item : menu->menu()->actions())
        if (!item->isSeparator())
          QVERIFY2(!item->icon().isNull(), qPrintable(item->text() + " has no icon"));
    for (QWidget* scope : {window.TopPanel, static_cast<QWidget*>(window.PageControl1)})
      for (const QPushButton* b : scope->findChildren<QPushButton*>())
        QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName() + " has no icon"));
  }

  // A dark palette set on the application reaches the whole window, the lists included (their
  // kept-visible selection too), and the lists paint with it.
  void windowFollowsADarkPalette() {
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    const QColor window(0x2d, 0x2d, 0x2d), base(0x1e, 0x1e, 0x1e), text(0xee, 0xee, 0xee),
        highlight(0x35, 0x84, 0xe4);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::Highlight, highlight);
    QTemporaryDir dir;
    writeFile(dir.path(), "a.txt", "abc\n");
    TFind w;
    w.show();
    w.ComboBoxPath->setEditText(dir.path());
    w.findTab->FindEditComboBox->setEditText("abc");
    w.find(kestrix::search::Origin::Find);
    QTRY_VERIFY(w.ListBox1->hasLines());
    QApplication::setPalette(dark);
    QCoreApplication::processEvents();
    for (QWidget* widget : std::initializer_list<QWidget*>{
             &w, w.ListView1, w.ListBox1, w.PageControl1, w.findTab->FindEditComboBox})
      QVERIFY2(widget->palette().color(QPalette::Base) == base, qPrintable(widget->objectName()));
    QCOMPARE(w.palette().color(QPalette::Window), window);
    QCOMPARE(w.ListView1->palette().color(QPalette::Inactive, QPalette::Highlight), highlight);
    // Below the last row both lists show the dark base.
    for (QAbstractScrollArea* list :
         std::initializer_list<QAbstractScrollArea*>{w.ListView1, w.ListBox1}) {
      const QImage shot = list->viewport()->grab().toImage();
      QCOMPARE(shot.pixelColor(shot.width() / 2, shot.height() - 2), base);
    }
    QApplication::setPalette(light);
  }

  void helpOpensTheTopicOfTheTab() {
    TFind window;
    window.show();
    window.menus->contentsAction->trigger();
    QCOMPARE(window.helpWindow()->currentTopic(), QString("Intro.htm"));
    QVERIFY(window.helpWindow()->browser()->toPlainText().contains("Search in Results"));
    const struct {
      TFind::Tab tab;
      const char* topic;
    } cases[] = {{TFind::FindPage, "Manual/FindTab.htm"},
                 {TFind::SearchReplacePage, "Manual/SearchReplaceTab.htm"},
                 {TFind::OptionsPage, "Manual/Options.htm"}};
    for (const auto& c : cases) {
      window.PageControl1->setCurrentIndex(c.tab);
      window.menus->tabHelpAction->trigger();
      QCOMPARE(window.helpWindow()->currentTopic(), QString(c.topic));
      QVERIFY2(!window.helpWindow()->browser()->toPlainText().isEmpty(), c.topic);
    }
  }
};

QTEST_MAIN(WindowOptionsTest)
#include "tst_windowoptions.moc"
