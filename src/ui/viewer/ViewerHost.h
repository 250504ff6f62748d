// What the lines viewer's refresh asks of the window around it: the last search's request,
// messages and the command state. TFind implements it.
#pragma once

#include <QString>

#include "search/SearchRequest.h"

namespace kestrix::ui {

class ViewerHost {
 public:
  virtual ~ViewerHost() = default;

  // The request of the last search (with its term table), or null before the first one.
  virtual const search::SearchRequest* lastRunRequest() const = 0;
  virtual void warnUser(const QString& caption, const QString& text) = 0;
  // The commands that depend on the rows, the selection and the viewer follow them.
  virtual void updateCommands() = 0;
};

}  // namespace kestrix::ui
