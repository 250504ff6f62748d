// What Batch Replace asks of the window it runs in: its tab, its search and its list.
#pragma once

#include <QString>

#include "search/SearchRequest.h"

namespace kestrix::ui {

class BatchHost {
 public:
  // Brings the Search and Replace tab to the front.
  virtual void showSearchReplaceTab() = 0;
  // The Search and Replace tab's search as its Search would read it now (no term table).
  virtual search::SearchRequest replaceTabSearch() = 0;
  // Runs the tab's Search with `request`; the list shows what it found.
  virtual void runSearch(const search::SearchRequest& request) = 0;
  // Empties the lines viewer.
  virtual void clearViewer() = 0;
  // Empties the viewer, deselects every row and disables the commands that need a row.
  virtual void invalidateFoundLines() = 0;
  virtual void showHelpTopic(const QString& topicPath) = 0;

 protected:
  ~BatchHost() = default;
};

}  // namespace kestrix::ui
