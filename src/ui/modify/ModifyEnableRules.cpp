// The enable rules of the modification commands and the Result column heading.
#include "ui/modify/ModifyEnableRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "modify/Interval.h"
#include "ui/find/FindRunController.h"
#include "ui/modify/ModifyRequestReader.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsView.h"
#include "ui/settings/OptionsTab.h"
#include "ui/window/MainMenus.h"
#include "ui/window/TFind.h"
#include "ui/window/WindowGeometry.h"

namespace kestrix::ui {

ModifyEnableRules::ModifyEnableRules(TFind& window, QObject* owner)
    : QObject(owner), window_(window) {
  connectSearchInputs();
  connectModificationTypes();
  connect(&window_.findRun(), &FindRunController::finished, this,
          &ModifyEnableRules::searchFinished);
  connect(window_.PageControl1, &QTabWidget::currentChanged, this, [this](int tab) {
    if (tab == TFind::SearchReplacePage) refreshHeading();
    apply();
  });
  connect(window_.ListXPCheckBox, &QCheckBox::toggled, this, &ModifyEnableRules::apply);
}

void ModifyEnableRules::connectSearchInputs() {
  SearchReplaceTab* tab = window_.replaceTab;
  connect(tab, &SearchReplaceTab::searchTextChanged, this, &ModifyEnableRules::searchChanged);
  connect(tab, &SearchReplaceTab::searchMemoChanged, this, &ModifyEnableRules::searchChanged);
  connect(tab, &SearchReplaceTab::searchTypeChanged, this, &ModifyEnableRules::searchChanged);
  connect(window_.optionsTab, &OptionsTab::regexOptionChanged, this, [this] {
    if (regexListShown()) searchChanged();
  });
}

void ModifyEnableRules::connectModificationTypes() {
  SearchReplaceTab* tab = window_.replaceTab;
  for (QRadioButton* button : {tab->NoneButton, tab->ReplaceButton, tab->InsertBeforeButton,
                               tab->InsertAfterButton, tab->DeleteButton, tab->ClearButton}) {
    connect(button, &QRadioButton::clicked, this, [this] {
      state_.modificationTypeChosen(chosenModificationType(*window_.replaceTab),
                                    window_.results->rowCount() == 0);
      apply();
    });
  }
}

bool ModifyEnableRules::regexListShown() const {
  const FindRunController& run = window_.findRun();
  return run.hasRun() && run.lastRequest().queryType == search::QueryType::RegExpr &&
         window_.state().listOrigin == ListOrigin::SearchAndReplace;
}

void ModifyEnableRules::searchChanged() {
  if (window_.state().busy) return;  // a batch pair sets the texts for its own search
  state_.searchChanged();
  refreshHeading();
  apply();
}

void ModifyEnableRules::searchFinished() {
  const FindRunController& run = window_.findRun();
  const bool fromThisTab = run.lastRequest().origin == search::Origin::SearchAndReplace;
  if (fromThisTab && window_.results->foundColumnShown()) {
    state_.searchStarted();
    state_.searchEnded(chosenModificationType(*window_.replaceTab), true,
                       window_.results->rowCount() == 0);
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
  const int column = window_.results->columnOf(ResultsModel::Column::Result);
  const QHeaderView* header = window_.ListView1->horizontalHeader();
  const int wanted =
      header->fontMetrics().horizontalAdvance(ResultsModel::kResultIntervalCaption) + 24;
  if (window_.ListView1->columnWidth(column) < wanted)
    window_.ListView1->setColumnWidth(column, wanted);
}

void ModifyEnableRules::apply() {
  const bool idle = !window_.state().busy;
  const bool rows = window_.results->rowCount() > 0 && window_.geometryController().resultsShown();
  const bool selected = rows && !window_.ListView1->selectedRows().empty();
  const bool all = idle && rows && state_.modifyAllEnabled();
  SearchReplaceTab* tab = window_.replaceTab;
  tab->ModifyAllButton->setEnabled(all);
  tab->ModifySelectedButton->setEnabled(all && selected);
  tab->PreviewButton->setEnabled(all);
  window_.menus->modifyAll.setEnabled(all);
  window_.menus->modifySelected.setEnabled(all && selected);
  window_.menus->preview.setEnabled(all);
  const bool replacePage = window_.PageControl1->currentIndex() == TFind::SearchReplacePage;
  window_.menus->eraseBackups.setEnabled(idle && replacePage &&
                                         !window_.ListXPCheckBox->isChecked());
  window_.menus->batchReplace.setEnabled(idle);
}

bool ModifyEnableRules::intervalHeadingShown() const {
  const int column = window_.results->columnOf(ResultsModel::Column::Result);
  return column >= 0 && window_.results->caption(column) == ResultsModel::kResultIntervalCaption;
}

void ModifyEnableRules::refreshHeading() {
  ResultsModel& model = *window_.results;
  if (model.rowCount() == 0 || !model.resultColumnShown() ||
      window_.state().listOrigin != ListOrigin::SearchAndReplace)
    return;
  const modify::ModifyRequest request = readModifyRequest(window_, modify::ModifyScope::All);
  const std::optional<std::string> heading = modify::refreshResultHeading(2, request, state_);
  if (!heading) return;
  model.setResultColumn(true, QString::fromStdString(*heading));
  fitIntervalColumn();
}

}  // namespace kestrix::ui
