// The enable rules of the modification commands and the Result column heading.
#include "ui/modify/ModifyEnableRules.h"

#include <QHeaderView>
#include <QPushButton>

#include "modify/Interval.h"
#include "ui/modify/ModifyRequestReader.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/window/MainMenus.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

ModifyEnableRules::ModifyEnableRules(const ModifyContext& context, QObject* owner)
    : QObject(owner), context_(context) {
  connectSearchInputs();
  connectModificationTypes();
}

void ModifyEnableRules::pageChanged() {
  if (context_.host.replacePageShown()) refreshHeading();
  apply();
}

void ModifyEnableRules::regexOptionChanged() {
  if (regexListShown()) searchChanged();
}

void ModifyEnableRules::connectSearchInputs() {
  SearchReplaceTab* tab = &context_.tab;
  connect(tab, &SearchReplaceTab::searchTextChanged, this, &ModifyEnableRules::searchChanged);
  connect(tab, &SearchReplaceTab::searchMemoChanged, this, &ModifyEnableRules::searchChanged);
  connect(tab, &SearchReplaceTab::searchTypeChanged, this, &ModifyEnableRules::searchChanged);
}

void ModifyEnableRules::connectModificationTypes() {
  connect(&context_.tab, &SearchReplaceTab::modificationTypeClicked, this, [this] {
    state_.modificationTypeChosen(context_.tab.modificationType(),
                                  context_.results.rowCount() == 0);
    apply();
  });
}

bool ModifyEnableRules::regexListShown() const {
  const search::SearchRequest* last = context_.host.lastSearch();
  return last != nullptr && last->queryType == search::QueryType::RegExpr &&
         context_.state.listOrigin == ListOrigin::SearchAndReplace;
}

void ModifyEnableRules::searchChanged() {
  if (context_.state.busy) return;  // the inputs are disabled: the change is not the user's
  state_.searchChanged();
  refreshHeading();
  apply();
}

void ModifyEnableRules::searchFinished() {
  const search::SearchRequest* last = context_.host.lastSearch();
  const bool fromThisTab = last != nullptr && last->origin == search::Origin::SearchAndReplace;
  if (fromThisTab && context_.results.foundColumnShown()) {
    state_.searchStarted();
    state_.searchEnded(context_.tab.modificationType(), true, context_.results.rowCount() == 0);
  } else {
    state_.markOutdated();  // a Find-tab list or a listing without content test
  }
  fitIntervalColumn();
  apply();
}

void ModifyEnableRules::markListOutdated() {
  state_.markOutdated();
  apply();
}

void ModifyEnableRules::fitIntervalColumn() {
  if (!intervalHeadingShown()) return;
  // The interval texts need the room of their long heading.
  const int column = context_.results.columnOf(ResultsModel::Column::Result);
  const QHeaderView* header = context_.list.horizontalHeader();
  const int wanted =
      header->fontMetrics().horizontalAdvance(ResultsModel::kResultIntervalCaption) + 24;
  if (context_.list.columnWidth(column) < wanted) context_.list.setColumnWidth(column, wanted);
}

void ModifyEnableRules::apply() {
  const bool idle = !context_.state.busy;
  const bool rows = context_.results.rowCount() > 0 && context_.host.resultsShown();
  const bool selected = rows && !context_.list.selectedRows().empty();
  const bool all = idle && rows && state_.modifyAllEnabled();
  SearchReplaceTab* tab = &context_.tab;
  tab->ModifyAllButton->setEnabled(all);
  tab->ModifySelectedButton->setEnabled(all && selected);
  tab->PreviewButton->setEnabled(all);
  context_.menus.modifyAll.setEnabled(all);
  context_.menus.modifySelected.setEnabled(all && selected);
  context_.menus.preview.setEnabled(all);
  const bool replacePage = context_.host.replacePageShown();
  context_.menus.eraseBackups.setEnabled(idle && replacePage &&
                                         !context_.host.searchInResultsChecked());
  context_.menus.batchReplace.setEnabled(idle);
}

bool ModifyEnableRules::intervalHeadingShown() const {
  const int column = context_.results.columnOf(ResultsModel::Column::Result);
  return column >= 0 && context_.results.caption(column) == ResultsModel::kResultIntervalCaption;
}

void ModifyEnableRules::refreshHeading() {
  ResultsModel& model = context_.results;
  if (model.rowCount() == 0 || !model.resultColumnShown() ||
      context_.state.listOrigin != ListOrigin::SearchAndReplace)
    return;
  const modify::ModifyRequest request =
      readModifyRequest(context_.host, context_.tab, modify::ModifyScope::All);
  const std::optional<std::string> heading = modify::refreshResultHeading(2, request, state_);
  if (!heading) return;
  model.setResultColumn(true, QString::fromStdString(*heading));
  fitIntervalColumn();
}

}  // namespace kestrix::ui
