// Every option switch of a settings record moved away from its default, for round-trip
// tests that must notice a value that is not written or not read back.
#pragma once

#include "app/WindowSettings.h"

namespace kestrix::app::testing {

inline void flipEverySwitch(OptionSwitches& w) {
  for (bool* b : {&w.sensitive,
                  &w.wholeWords,
                  &w.wordsOr,
                  &w.wordsAnd,
                  &w.searchEngine,
                  &w.multiline,
                  &w.regExpFind,
                  &w.regExpSearch,
                  &w.multilineReplace,
                  &w.none,
                  &w.clear,
                  &w.insertBefore,
                  &w.insertAfter,
                  &w.remove,
                  &w.phraseIntervals,
                  &w.searchEachLine,
                  &w.regexIntervals,
                  &w.dotMatchesBreaks,
                  &w.ignoreRegexSpaces,
                  &w.sizeFilter,
                  &w.dateFilter,
                  &w.minimum,
                  &w.newerThan})
    *b = true;
  for (bool* b : {&w.phrase, &w.phraseReplace, &w.replace, &w.createBackups, &w.trimLeft,
                  &w.trimRight, &w.includeSubfolders, &w.maximum, &w.between})
    *b = false;
}

}  // namespace kestrix::app::testing
