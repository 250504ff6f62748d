// Maps the window's controls to a ModifyRequest.
#include "ui/modify/ModifyRequestReader.h"

#include <QComboBox>

#include "ui/find/QueryEditors.h"
#include "ui/modify/ModifyHost.h"
#include "ui/modify/SearchReplaceTab.h"

namespace kestrix::ui {

modify::ModifyRequest readModifyRequest(ModifyHost& host, const SearchReplaceTab& tab,
                                        modify::ModifyScope scope) {
  // The search half is exactly what the tab's Search reads.
  modify::ModifyRequest request = modify::fromSearchRequest(host.replaceTabSearch());
  request.modificationType = tab.modificationType();
  request.replacementText = tab.Edit2->currentText().toStdString();
  request.replacementLines = memoLines(tab.Memo2);
  const IntervalSwitches switches = host.intervalSwitches();
  request.useIntervalsRegex = switches.regexIntervals;
  request.useIntervalsPhrase = switches.phraseIntervals;
  host.applySettings(request);
  request.scope = scope;
  return request;
}

bool intervalsInForceNow(const ModifyHost& host, const SearchReplaceTab& tab) {
  // Only what the rule reads; the rule itself is the pass's own.
  const IntervalSwitches switches = host.intervalSwitches();
  modify::ModifyRequest request;
  request.searchType = tab.searchType();
  request.searchEachLine = switches.searchEachLine;
  request.useIntervalsRegex = switches.regexIntervals;
  request.useIntervalsPhrase = switches.phraseIntervals;
  return modify::intervalsInForce(request);
}

}  // namespace kestrix::ui
