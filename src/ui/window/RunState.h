// The main window's run state shared by its controllers: counters, stop flags and the
// flags that say what the current list was built with.
#pragma once

namespace kestrix::ui {

struct RunState {
  int foundCount = 0;
  // The three stop flags: [0] is the abort flag of searches; Stop raises all three.
  bool abortRequested = false;
  bool stopRequest2 = false;
  bool stopRequest3 = false;
  // 0 no list, 1 built or touched from the Find tab, 2 from the Search and Replace tab.
  int lastRunOrigin = 0;
  // 2 while the last chosen query type is Multiline (viewer entries are line ranges).
  int lineMode = 1;
  bool nameOnlyListing = false;
  bool resultColumnShown = false;
  bool searchOutdated = false;
  int contextLinesIndex = 3;
  // Undo was enabled when the last search began; Browse Context enables it again. Cleared
  // by whatever makes the backups unusable or runs the pass again.
  bool undoBeforeSearch = false;
  // Set between BeginBusy and EndBusy.
  bool busy = false;
};

}  // namespace kestrix::ui
