// What the project commands ask of the window: its batch table, its lists and its tabs.
#pragma once

#include "modify/BatchTable.h"

namespace kestrix::ui {

class ProjectHost {
 public:
  // The Batch Replace table as its dialog holds it (read from its state file while hidden).
  virtual modify::BatchState batchState() = 0;
  // Gives the dialog `state` and writes its state file.
  virtual void setBatchState(const modify::BatchState& state) = 0;
  // Hide List on both tabs that list files.
  virtual void clearBothLists() = 0;
  // Shows the tab a project stores (1 Find, 2 Search and Replace, else Options) with its
  // layout.
  virtual void showStoredTab(int tab) = 0;
  // Shows the Find tab.
  virtual void showFindTab() = 0;

 protected:
  ~ProjectHost() = default;
};

}  // namespace kestrix::ui
