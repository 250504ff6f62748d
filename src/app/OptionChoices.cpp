// Resolves the exclusive groups of the stored option switches to one choice each.
#include "app/OptionChoices.h"

#include <initializer_list>
#include <vector>

namespace kestrix::app {

namespace {

using S = OptionSwitches;
using Group = std::vector<bool S::*>;

// Each group in stored order; the query types in search::kQueryTypes order.
const Group kFindTypes = {&S::phrase,       &S::wordsOr,   &S::wordsAnd,
                          &S::searchEngine, &S::multiline, &S::regExpFind};
const Group kSearchTypes = {&S::regExpSearch, &S::phraseReplace, &S::multilineReplace};
const Group kModifications = {&S::none,         &S::replace,     &S::clear,
                              &S::insertBefore, &S::insertAfter, &S::remove};
const Group kSizeKinds = {&S::minimum, &S::maximum};
const Group kDateKinds = {&S::between, &S::newerThan};

// The index in `group` of the last switch set, else of the one set by default.
std::size_t chosen(const OptionSwitches& switches, const Group& group) {
  const OptionSwitches defaults;
  std::size_t last = group.size();
  std::size_t fallback = 0;
  for (std::size_t i = 0; i < group.size(); ++i) {
    if (switches.*group[i]) last = i;
    if (defaults.*group[i]) fallback = i;
  }
  return last < group.size() ? last : fallback;
}

}  // namespace

OptionSwitches withOneChoicePerGroup(const OptionSwitches& switches) {
  OptionSwitches out = switches;
  for (const Group* group :
       {&kFindTypes, &kSearchTypes, &kModifications, &kSizeKinds, &kDateKinds}) {
    const std::size_t choice = chosen(switches, *group);
    for (std::size_t i = 0; i < group->size(); ++i) out.*(*group)[i] = i == choice;
  }
  return out;
}

search::QueryType findQueryType(const OptionSwitches& switches) {
  return search::kQueryTypes[chosen(switches, kFindTypes)].type;
}

search::QueryType replaceSearchType(const OptionSwitches& switches) {
  using search::QueryType;
  constexpr QueryType kTypes[] = {QueryType::RegExpr, QueryType::Phrase, QueryType::Multiline};
  return kTypes[chosen(switches, kSearchTypes)];
}

}  // namespace kestrix::app
