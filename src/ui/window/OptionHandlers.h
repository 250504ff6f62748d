// The option handlers of the main window: query-type switching on both tabs (lineMode,
// editors, layout), and the invalidation of the lines viewer when an option that changes
// the found lines is altered after a search.
#pragma once

#include <QObject>

#include "search/SearchRequest.h"

namespace kestrix::ui {

class TFind;

class OptionHandlers : public QObject {
  Q_OBJECT
 public:
  explicit OptionHandlers(TFind& window);

 private:
  void onFindTypeChanged();
  void onReplaceTypeChanged();
  // Clears the viewer when the list holds selected search results; `sameTab` (1 or 2)
  // further requires the last run to come from that tab (0 = any tab).
  void invalidateIf(int sameTab);
  // True when the last run searched with `type`.
  bool lastRunUsed(search::QueryType type) const;

  TFind& window_;
};

}  // namespace kestrix::ui
