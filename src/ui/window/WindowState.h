// The main window's state, owned by TFind and shared by its controllers: where the list
// came from, how the viewer shows its entries, the stop flags, and what the list was built
// with. Widgets show this state; they never hold it.
#pragma once

#include "ui/viewer/LineMode.h"

namespace kestrix::ui {

// The tab whose run built or last touched the list.
enum class ListOrigin { None, Find, SearchAndReplace };

// The stop flags that the Stop buttons raise and the loops poll.
struct StopRequest {
  bool abortRequested = false;  // ends searches, batches and the command-line run
  bool run = false;             // ends a modification, an undo or a report
  bool viewer = false;          // holds the lines viewer: it does not follow the current row
  void raiseAll() { abortRequested = run = viewer = true; }
  void clearAll() { abortRequested = run = viewer = false; }
};

struct WindowState {
  StopRequest stop;
  ListOrigin listOrigin = ListOrigin::None;
  // Line ranges while the last chosen query type is Multiline.
  LineMode lineMode = LineMode::Lines;
  bool resultColumnShown = false;
  int contextLinesIndex = 3;
  // Undo could run when the last search began; Browse Context offers it again. Cleared by
  // whatever makes the backups unusable or runs the pass again.
  bool undoBeforeSearch = false;
  // Set between BeginBusy and EndBusy.
  bool busy = false;
};

}  // namespace kestrix::ui
