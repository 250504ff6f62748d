// What a search run reports back to its caller while it works. All calls happen on the
// calling thread, in walk order.
#pragma once

#include <string>

#include "search/ResultItem.h"

namespace kestrix::search {

class SearchObserver {
 public:
  virtual ~SearchObserver() = default;
  // A folder is about to be listed (status bar: its path).
  virtual void folderEntered(const std::string& /*path*/) {}
  // A file passed the filters and is about to be tested (status bar: its full name).
  virtual void fileTested(const std::string& /*fullName*/) {}
  // A file was listed; `item` is only valid during the call (copy it to keep it).
  virtual void resultAdded(const ResultItem& /*item*/) {}
  // A message that does not end the run (e.g. "Search Error: File ... is too large ...").
  virtual void warning(const std::string& /*caption*/, const std::string& /*text*/) {}
  // Called when more than 15 ms of work have passed since the last call. The window pumps
  // its events here. Returns true to stop the run (the stop flag).
  virtual bool poll() { return false; }
  // The desktop's type name of a file ("Plain text document"); empty to fall back to the
  // upper-cased extension + " File".
  virtual std::string typeName(const std::string& /*fullName*/) { return {}; }
};

}  // namespace kestrix::search
