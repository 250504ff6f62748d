// Reads the modification settings from the window's controls into a ModifyRequest, the
// way a modification run sees them when it starts.
#pragma once

#include "modify/ModificationType.h"
#include "modify/ModifyRequest.h"

namespace kestrix::ui {

class TFind;
class SearchReplaceTab;

// The checked " Modification Type " button.
modify::ModificationType chosenModificationType(const SearchReplaceTab& tab);

// Everything the pass reads: the search settings of the tab's Search, the modification type
// and replacement, the interval switches and the Settings dialog's line separator and
// read-only / hidden permissions.
modify::ModifyRequest readModifyRequest(TFind& window, modify::ModifyScope scope);

// True when modification intervals limit the current search type: Phrase with "Use
// Modification Intervals", or Reg Expr with "Search within Each Single Line" and "Use
// Modification Intervals for the Listed Files".
bool intervalsInForceNow(const TFind& window);

}  // namespace kestrix::ui
