// Applies the query-type switches and clears stale found lines when options change.
#include "ui/window/OptionHandlers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTableView>

#include "search/SearchRequest.h"
#include "ui/find/FindRunController.h"
#include "ui/find/FindTab.h"
#include "ui/settings/OptionsTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/window/TFind.h"
#include "ui/window/WindowGeometry.h"

namespace kestrix::ui {

using search::QueryType;

OptionHandlers::OptionHandlers(TFind& window) : QObject(&window), window_(window) {
  FindTab* find = window_.findTab;
  SearchReplaceTab* replace = window_.replaceTab;
  OptionsTab* options = window_.optionsTab;
  connect(find, &FindTab::queryTypeChanged, this, &OptionHandlers::onFindTypeChanged);
  connect(find, &FindTab::queryTextChanged, this, [this] { invalidateIf(1); });
  connect(replace, &SearchReplaceTab::searchTypeChanged, this,
          &OptionHandlers::onReplaceTypeChanged);
  connect(replace, &SearchReplaceTab::searchTextChanged, this, [this] {
    window_.state().searchOutdated = true;
    invalidateIf(2);
  });
  connect(replace, &SearchReplaceTab::searchMemoChanged, this,
          [this] { window_.state().searchOutdated = true; });
  connect(window_.SensitiveCheckBox, &QCheckBox::toggled, this, [this] {
    window_.state().searchOutdated = true;
    invalidateIf(0);
  });
  connect(window_.WholeWordsCheckBox, &QCheckBox::toggled, this, [this] {
    window_.state().searchOutdated = true;
    // Whole words only matter while the single-line editor of the last run's tab shows.
    const int origin = window_.state().lastRunOrigin;
    const bool singleLine = origin == 1   ? !window_.findTab->usesMemo()
                            : origin == 2 ? !window_.replaceTab->usesMemo()
                                          : false;
    if (singleLine) invalidateIf(0);
  });
  connect(options, &OptionsTab::multilineOptionChanged, this, [this] {
    if (lastRunUsed(QueryType::Multiline)) invalidateIf(0);
  });
  connect(options, &OptionsTab::regexOptionChanged, this, [this] {
    if (lastRunUsed(QueryType::RegExpr)) invalidateIf(0);
  });
  connect(options, &OptionsTab::backupsChanged, this,
          [this] { window_.geometryController().applyTabLayout(); });
}

void OptionHandlers::onFindTypeChanged() {
  const FindTab::Type type = window_.findTab->queryType();
  window_.state().lineMode = type == FindTab::Multiline ? 2 : 1;
  window_.geometryController().applyTabLayout();
  invalidateIf(1);
}

void OptionHandlers::onReplaceTypeChanged() {
  const SearchReplaceTab::Type type = window_.replaceTab->searchType();
  window_.state().lineMode = type == SearchReplaceTab::Multiline ? 2 : 1;
  window_.state().searchOutdated = true;
  window_.geometryController().applyTabLayout();
  invalidateIf(2);
}

bool OptionHandlers::lastRunUsed(QueryType type) const {
  const FindRunController& run = window_.findRun();
  return run.hasRun() && run.lastRequest().queryType == type;
}

void OptionHandlers::invalidateIf(int sameTab) {
  const RunState& state = window_.state();
  if (state.busy || window_.results->rowCount() == 0) return;
  if (!window_.results->foundColumnShown()) return;
  if (window_.ListView1->selectionModel()->selectedRows().isEmpty()) return;
  if (sameTab != 0 && state.lastRunOrigin != sameTab) return;
  window_.invalidateFoundLines();
}

}  // namespace kestrix::ui
