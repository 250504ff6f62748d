// The exclusive groups among the stored option switches (the Find tab's query type, the
// Search and Replace tab's search type, the modification type, the size limit's kind and
// the date filter's kind) and the one choice each stands for. Stored values may set
// several switches of a group, or none: the last one set in stored order wins, as setting
// the buttons one by one would leave it, and a group with none set takes its default.
#pragma once

#include "app/WindowSettings.h"
#include "search/QueryType.h"

namespace kestrix::app {

// `switches` with exactly one switch set in each exclusive group, by the rule above; the
// other switches as they are.
OptionSwitches withOneChoicePerGroup(const OptionSwitches& switches);

// The Find tab's query type of `switches` (Phrase by default).
search::QueryType findQueryType(const OptionSwitches& switches);
// The Search and Replace tab's search type: Reg Expr, Phrase (the default) or Multiline.
search::QueryType replaceSearchType(const OptionSwitches& switches);

}  // namespace kestrix::app
