// Applies the query-type switches and clears stale found lines when options change.
#include "ui/window/OptionHandlers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTableView>

#include "search/SearchRequest.h"
#include "ui/find/FindRunController.h"
#include "ui/find/FindTab.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/settings/OptionsTab.h"
#include "ui/window/TFind.h"
#include "ui/window/WindowGeometry.h"

namespace kestrix::ui {

using search::QueryType;

OptionHandlers::OptionHandlers(TFind& window) : QObject(&window), window_(window) {
  FindTab* find = window_.findTab;
  SearchReplaceTab* replace = window_.replaceTab;
  OptionsTab* options = window_.optionsTab;
  connect(find, &FindTab::queryTypeChanged, this, &OptionHandlers::onFindTypeChanged);
  connect(find, &FindTab::queryTextChanged, this, [this] { invalidateIf(ListOrigin::Find); });
  connect(replace, &SearchReplaceTab::searchTypeChanged, this,
          &OptionHandlers::onReplaceTypeChanged);
  connect(replace, &SearchReplaceTab::searchTextChanged, this,
          [this] { invalidateIf(ListOrigin::SearchAndReplace); });
  connect(window_.SensitiveCheckBox, &QCheckBox::toggled, this,
          [this] { invalidateIf(ListOrigin::None); });
  connect(window_.WholeWordsCheckBox, &QCheckBox::toggled, this, [this] {
    // Whole words only matter while the single-line editor of the last run's tab shows.
    const ListOrigin origin = window_.state().listOrigin;
    const bool singleLine = origin == ListOrigin::Find ? !window_.findTab->usesMemo()
                            : origin == ListOrigin::SearchAndReplace
                                ? !window_.replaceTab->usesMemo()
                                : false;
    if (singleLine) invalidateIf(ListOrigin::None);
  });
  connect(options, &OptionsTab::multilineOptionChanged, this, [this] {
    if (lastRunUsed(QueryType::Multiline)) invalidateIf(ListOrigin::None);
  });
  connect(options, &OptionsTab::regexOptionChanged, this, [this] {
    if (lastRunUsed(QueryType::RegExpr)) invalidateIf(ListOrigin::None);
  });
  connect(options, &OptionsTab::backupsChanged, this,
          [this] { window_.geometryController().applyTabLayout(); });
}

void OptionHandlers::onFindTypeChanged() {
  const QueryType type = window_.findTab->queryType();
  window_.state().lineMode = lineModeOf(type);
  window_.geometryController().applyTabLayout();
  invalidateIf(ListOrigin::Find);
}

void OptionHandlers::onReplaceTypeChanged() {
  const QueryType type = window_.replaceTab->searchType();
  window_.state().lineMode = lineModeOf(type);
  window_.geometryController().applyTabLayout();
  invalidateIf(ListOrigin::SearchAndReplace);
}

LineMode OptionHandlers::lineModeOf(QueryType type) {
  return search::queryTypeInfo(type).blockEntries ? LineMode::Ranges : LineMode::Lines;
}

bool OptionHandlers::lastRunUsed(QueryType type) const {
  const FindRunController& run = window_.findRun();
  return run.hasRun() && run.lastRequest().queryType == type;
}

void OptionHandlers::invalidateIf(ListOrigin sameTab) {
  const WindowState& state = window_.state();
  if (state.busy || window_.results->rowCount() == 0) return;
  if (!window_.results->foundColumnShown()) return;
  if (window_.ListView1->selectionModel()->selectedRows().isEmpty()) return;
  if (sameTab != ListOrigin::None && state.listOrigin != sameTab) return;
  window_.invalidateFoundLines();
}

}  // namespace kestrix::ui
