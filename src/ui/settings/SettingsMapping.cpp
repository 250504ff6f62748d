// Maps each persisted value to its control.
#include "ui/settings/SettingsMapping.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "app/OptionChoices.h"
#include "app/StoredDate.h"
#include "ui/find/FindTab.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/settings/OptionsTab.h"
#include "ui/window/TFind.h"

namespace kestrix::ui {

namespace {

using app::OptionSwitches;

// A control and the stored switch it mirrors.
template <typename Button>
struct Field {
  bool OptionSwitches::*field;
  Button* button;
};
using CheckFields = std::vector<Field<QCheckBox>>;
using RadioFields = std::vector<Field<QRadioButton>>;

CheckFields checkFields(const StoredControls& w) {
  const OptionsTab& o = w.optionsTab;
  return {{&OptionSwitches::sensitive, &w.sensitive},
          {&OptionSwitches::wholeWords, &w.wholeWords},
          {&OptionSwitches::createBackups, o.CreatBackupCheckBox},
          {&OptionSwitches::phraseIntervals, o.PhraseXPCheckBox},
          {&OptionSwitches::searchEachLine, o.RegExprXPCheckBox},
          {&OptionSwitches::regexIntervals, o.ModifyXPCheckBox},
          {&OptionSwitches::trimLeft, o.TrimLeftCheckBox},
          {&OptionSwitches::trimRight, o.TrimRightCheckBox},
          {&OptionSwitches::dotMatchesBreaks, o.ExpPointCheckBox},
          {&OptionSwitches::ignoreRegexSpaces, o.ExpSpaceCheckBox},
          {&OptionSwitches::includeSubfolders, o.IncludeSubdirectoriesCheckBox},
          {&OptionSwitches::sizeFilter, o.AllSizeCheckBox},
          {&OptionSwitches::dateFilter, o.AllDateCheckBox}};
}

// The exclusive groups, each in stored order.
RadioFields findTypeFields(const StoredControls& w) {  // in QueryType order
  const FindTab& t = w.findTab;
  return {{&OptionSwitches::phrase, t.PhraseButton},
          {&OptionSwitches::wordsOr, t.WordsorButton},
          {&OptionSwitches::wordsAnd, t.WordsandButton},
          {&OptionSwitches::searchEngine, t.SearchEngineButton},
          {&OptionSwitches::multiline, t.TextButton},
          {&OptionSwitches::regExpFind, t.RegExpFind}};
}
RadioFields searchTypeFields(const StoredControls& w) {
  const SearchReplaceTab& t = w.replaceTab;
  return {{&OptionSwitches::regExpSearch, t.RegExpSearch},
          {&OptionSwitches::phraseReplace, t.PhraseButtonReplace},
          {&OptionSwitches::multilineReplace, t.TextSearchButton}};
}
RadioFields modificationFields(const StoredControls& w) {
  const SearchReplaceTab& t = w.replaceTab;
  return {{&OptionSwitches::none, t.NoneButton},
          {&OptionSwitches::replace, t.ReplaceButton},
          {&OptionSwitches::clear, t.ClearButton},
          {&OptionSwitches::insertBefore, t.InsertBeforeButton},
          {&OptionSwitches::insertAfter, t.InsertAfterButton},
          {&OptionSwitches::remove, t.DeleteButton}};
}
RadioFields sizeFields(const StoredControls& w) {
  return {{&OptionSwitches::minimum, w.optionsTab.AllLeastRadioButton},
          {&OptionSwitches::maximum, w.optionsTab.AllMostRadioButton}};
}
RadioFields dateFields(const StoredControls& w) {
  return {{&OptionSwitches::between, w.optionsTab.BetweenRadioButton},
          {&OptionSwitches::newerThan, w.optionsTab.NewestRadioButton}};
}

using app::WindowSettings;

// The five history boxes and the three multi-line texts with their stored values.
std::array<std::pair<app::History WindowSettings::*, QComboBox*>, 5> histories(
    const StoredControls& w) {
  return {{{&WindowSettings::path, &w.path},
           {&WindowSettings::findQuery, w.findTab.FindEditComboBox},
           {&WindowSettings::searchText, w.replaceTab.SearchEdit},
           {&WindowSettings::replacement, w.replaceTab.Edit2},
           {&WindowSettings::masks, &w.masks}}};
}
std::array<std::pair<std::optional<std::string> WindowSettings::*, QPlainTextEdit*>, 3> memos(
    const StoredControls& w) {
  return {{{&WindowSettings::findMemo, w.findTab.FindMemo},
           {&WindowSettings::searchMemo, w.replaceTab.SearchMemo},
           {&WindowSettings::replaceMemo, w.replaceTab.Memo2}}};
}

QDate dateOf(int dayNumber) {
  const app::CivilDate d = app::dateOfDayNumber(dayNumber);
  return {d.year, d.month, d.day};
}

double dayNumberOf(const QDateTime& time) {
  const QDate date = time.date();
  return app::dayNumber({date.year(), date.month(), date.day()}) +
         time.time().msecsSinceStartOfDay() / 86400000.0;
}

void readHistories(const StoredControls& w, app::WindowSettings& s) {
  for (const auto& [field, box] : histories(w)) {
    app::History& history = s.*field;
    history.text = box->currentText().toStdString();
    history.entries.clear();
    for (int item = 0; item < box->count(); ++item)
      history.entries.push_back(box->itemText(item).toStdString());
  }
  for (const auto& [field, memo] : memos(w)) s.*field = memo->toPlainText().toStdString();
}

void applyHistories(const app::WindowSettings& s, const StoredControls& w) {
  for (const auto& [field, box] : histories(w)) {
    const app::History& history = s.*field;
    box->clear();
    for (const std::string& entry : history.entries) box->addItem(QString::fromStdString(entry));
    box->setEditText(QString::fromStdString(history.text));
  }
  for (const auto& [field, memo] : memos(w))
    if (const auto& text = s.*field) memo->setPlainText(QString::fromStdString(*text));
}

void readSwitches(const StoredControls& w, OptionSwitches& s) {
  for (const auto& f : checkFields(w)) s.*f.field = f.button->isChecked();
  for (const RadioFields& group : {findTypeFields(w), searchTypeFields(w), modificationFields(w),
                                   sizeFields(w), dateFields(w)})
    for (const auto& f : group) s.*f.field = f.button->isChecked();
}

void applySwitches(const OptionSwitches& stored, const StoredControls& w) {
  const OptionSwitches s = app::withOneChoicePerGroup(stored);
  for (const auto& f : checkFields(w)) f.button->setChecked(s.*f.field);
  // Intervals for regular expressions need the line-by-line search.
  w.optionsTab.ModifyXPCheckBox->setEnabled(w.optionsTab.RegExprXPCheckBox->isChecked());
  for (const RadioFields& group : {modificationFields(w), sizeFields(w), dateFields(w)})
    for (const auto& f : group)
      if (s.*f.field) f.button->setChecked(true);
  w.findTab.setQueryType(app::findQueryType(s));
  w.replaceTab.setSearchType(app::replaceSearchType(s));
}

// The labels whose enabled states are stored ("Size", "Last", "Andop", "Days").
std::array<std::pair<bool WindowSettings::*, QLabel*>, 4> labels(const StoredControls& w) {
  const OptionsTab& o = w.optionsTab;
  return {{{&WindowSettings::sizeLabel, o.SizeLabel},
           {&WindowSettings::lastModifiedLabel, o.LastModifiedLabel},
           {&WindowSettings::andLabel, o.AndLabel},
           {&WindowSettings::daysLabel, o.DaysAgoLabel}}};
}

}  // namespace

void readControls(const StoredControls& w, app::WindowSettings& s) {
  readHistories(w, s);
  readSwitches(w, s.switches);
  const OptionsTab& o = w.optionsTab;
  s.sizeLimit = o.SizeSpinEdit->value();
  s.sizeUnit = o.KBComboBox->currentIndex();
  const QLocale locale;
  s.lowerDateText =
      locale.toString(o.MinDateTimePicker->date(), QLocale::ShortFormat).toStdString();
  s.upperDateText =
      locale.toString(o.MaxDateTimePicker->date(), QLocale::ShortFormat).toStdString();
  s.lowerDate = static_cast<int>(std::lround(dayNumberOf(o.MinDateTimePicker->dateTime())));
  s.upperDate = static_cast<int>(std::lround(dayNumberOf(o.MaxDateTimePicker->dateTime())));
  s.daysAgo = o.DaysAgoSpinEdit->value();
  for (const auto& [field, label] : labels(w)) s.*field = label->isEnabled();
  const int tab = w.pages.currentIndex();
  s.tab = tab == TFind::FindPage ? 1 : tab == TFind::SearchReplacePage ? 2 : 3;
}

void applyControls(const app::WindowSettings& s, const StoredControls& w) {
  applyHistories(s, w);
  applySwitches(s.switches, w);
  OptionsTab& o = w.optionsTab;
  o.SizeSpinEdit->setValue(s.sizeLimit);
  o.KBComboBox->setCurrentIndex(s.sizeUnit);
  o.MinDateTimePicker->setDate(dateOf(s.lowerDate));
  o.MaxDateTimePicker->setDate(dateOf(s.upperDate));
  o.DaysAgoSpinEdit->setValue(s.daysAgo);
  for (const auto& [field, label] : labels(w)) label->setEnabled(s.*field);
  const int page = s.tab == 1   ? TFind::FindPage
                   : s.tab == 2 ? TFind::SearchReplacePage
                                : TFind::OptionsPage;
  w.pages.setCurrentIndex(page);
}

}  // namespace kestrix::ui
