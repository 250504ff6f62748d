// Maps the window's controls to a ModifyRequest.
#include "ui/ModifyRequestReader.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

#include "ui/OptionsTab.h"
#include "ui/QueryEditors.h"
#include "ui/SearchReplaceTab.h"
#include "ui/TFind.h"

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

namespace {

search::QueryType tabSearchType(const SearchReplaceTab& tab) {
  switch (tab.searchType()) {
    case SearchReplaceTab::Multiline:
      return search::QueryType::Multiline;
    case SearchReplaceTab::RegExpr:
      return search::QueryType::RegExpr;
    default:
      return search::QueryType::Phrase;
  }
}

void readOptions(const OptionsTab& options, modify::ModifyRequest& request) {
  request.createBackups = options.CreatBackupCheckBox->isChecked();
  request.ignoreLeadingSpaces = options.TrimLeftCheckBox->isChecked();
  request.ignoreTrailingSpaces = options.TrimRightCheckBox->isChecked();
  request.dotMatchesLineSeparators = options.ExpPointCheckBox->isChecked();
  request.ignoreRegexWhitespace = options.ExpSpaceCheckBox->isChecked();
  request.searchEachLine = options.RegExprXPCheckBox->isChecked();
  request.useIntervalsRegex = options.ModifyXPCheckBox->isChecked();
  request.useIntervalsPhrase = options.PhraseXPCheckBox->isChecked();
}

}  // namespace

modify::ModifyRequest readModifyRequest(const TFind& window, modify::ModifyScope scope,
                                        const ModifyPermissions& permissions) {
  const SearchReplaceTab& tab = *window.replaceTab;
  modify::ModifyRequest request;
  request.searchType = tabSearchType(tab);
  request.searchText = tab.SearchEdit->currentText().toStdString();
  request.searchLines = memoLines(tab.SearchMemo);
  request.modificationType = chosenModificationType(tab);
  request.replacementText = tab.Edit2->currentText().toStdString();
  request.replacementLines = memoLines(tab.Memo2);
  request.caseSensitive = window.SensitiveCheckBox->isChecked();
  request.wholeWords = window.WholeWordsCheckBox->isChecked();
  readOptions(*window.optionsTab, request);
  request.modifyReadOnly = permissions.modifyReadOnly;
  request.modifyHidden = permissions.modifyHidden;
  if (permissions.lineSeparator) request.lineSeparator = *permissions.lineSeparator;
  request.scope = scope;
  return request;
}

bool intervalsInForceNow(const TFind& window) {
  const OptionsTab& options = *window.optionsTab;
  switch (window.replaceTab->searchType()) {
    case SearchReplaceTab::Phrase:
      return options.PhraseXPCheckBox->isChecked();
    case SearchReplaceTab::RegExpr:
      return options.RegExprXPCheckBox->isChecked() && options.ModifyXPCheckBox->isChecked();
    default:
      return false;
  }
}

}  // namespace kestrix::ui
