// Maps the window's controls to a ModifyRequest.
#include "ui/modify/ModifyRequestReader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

#include "ui/find/FindRunController.h"
#include "ui/find/QueryEditors.h"
#include "ui/modify/SearchReplaceTab.h"
#include "ui/settings/OptionsTab.h"
#include "ui/settings/SettingsController.h"
#include "ui/window/TFind.h"

namespace kestrix::ui {

using modify::ModificationType;

modify::ModificationType chosenModificationType(const SearchReplaceTab& tab) {
  if (tab.ReplaceButton->isChecked()) return ModificationType::Replace;
  if (tab.InsertBeforeButton->isChecked()) return ModificationType::InsertBefore;
  if (tab.InsertAfterButton->isChecked()) return ModificationType::InsertAfter;
  if (tab.DeleteButton->isChecked()) return ModificationType::Delete;
  if (tab.ClearButton->isChecked()) return ModificationType::Clear;
  return ModificationType::None;
}

modify::ModifyRequest readModifyRequest(TFind& window, modify::ModifyScope scope) {
  // The search half is exactly what the tab's Search reads.
  const search::SearchRequest search =
      window.findRun().buildRequest(search::Origin::SearchAndReplace);
  const SearchReplaceTab& tab = *window.replaceTab;
  modify::ModifyRequest request = modify::fromSearchRequest(search);
  request.modificationType = chosenModificationType(tab);
  request.replacementText = tab.Edit2->currentText().toStdString();
  request.replacementLines = memoLines(tab.Memo2);
  request.useIntervalsRegex = window.optionsTab->ModifyXPCheckBox->isChecked();
  request.useIntervalsPhrase = window.optionsTab->PhraseXPCheckBox->isChecked();
  window.settings().applyTo(request);
  request.scope = scope;
  return request;
}

bool intervalsInForceNow(const TFind& window) {
  // Only what the rule reads; the rule itself is the pass's own.
  modify::ModifyRequest request;
  request.searchType = window.replaceTab->searchType();
  request.searchEachLine = window.optionsTab->RegExprXPCheckBox->isChecked();
  request.useIntervalsRegex = window.optionsTab->ModifyXPCheckBox->isChecked();
  request.useIntervalsPhrase = window.optionsTab->PhraseXPCheckBox->isChecked();
  return modify::intervalsInForce(request);
}

}  // namespace kestrix::ui
