// Reads the modification settings from the window's controls into a ModifyRequest, the
// way a modification run sees them when it starts.
#pragma once

#include "modify/ModificationType.h"
#include "modify/ModifyRequest.h"

namespace kestrix::ui {

class ModifyHost;
class SearchReplaceTab;

// Everything the pass reads: the search settings of the tab's Search, the modification type
// and replacement, the interval switches and the Settings dialog's line separator and
// read-only / hidden permissions.
modify::ModifyRequest readModifyRequest(ModifyHost& host, const SearchReplaceTab& tab,
                                        modify::ModifyScope scope);

// True when modification intervals limit the current search type, by the pass's rule
// (modify::intervalsInForce) over the tab's type and the Options tab's switches.
bool intervalsInForceNow(const ModifyHost& host, const SearchReplaceTab& tab);

}  // namespace kestrix::ui
