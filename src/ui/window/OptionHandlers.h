// The option handlers of the main window: query-type switching on both tabs (lineMode,
// editors, layout), and the invalidation of the lines viewer when an option that changes
// the found lines is altered after a search.
#pragma once

#include <QObject>

#include "search/SearchRequest.h"
#include "ui/window/WindowState.h"

namespace kestrix::ui {

class TFind;

class OptionHandlers : public QObject {
  Q_OBJECT
 public:
  explicit OptionHandlers(TFind& window);

 private:
  void onFindTypeChanged();
  void onReplaceTypeChanged();
  // Clears the viewer when the list holds selected search results; `sameTab` further
  // requires the list to come from that tab (ListOrigin::None = any tab).
  void invalidateIf(ListOrigin sameTab);
  // How the viewer shows the entries of a run with `type`.
  static LineMode lineModeOf(search::QueryType type);
  // True when the last run searched with `type`.
  bool lastRunUsed(search::QueryType type) const;

  TFind& window_;
};

}  // namespace kestrix::ui
