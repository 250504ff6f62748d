// When "Modify All" and "Modify Selected" are usable: the searchOutdated and commandsParked
// flags and their transitions, as plain state the window queries after each event.
#pragma once

#include "modify/ModificationType.h"

namespace kestrix::modify {

class ModifyCommandState {
 public:
  // A search from the Search and Replace tab starts: the search is current again and the
  // commands are parked until it ends.
  void searchStarted();
  // The search ended. Enables "Modify All" when the type is not None, the search is still
  // current and the list shows search results (has a Found column and is not empty).
  void searchEnded(ModificationType type, bool listShowsFoundColumn, bool listEmpty);
  // The search text, search type or a relevant option changed: both commands are disabled
  // until the next search, and nothing stays parked.
  void searchChanged();
  // A modification type was chosen. None disables the commands (parking them when "Modify
  // All" was enabled); another type brings parked commands back when the list is not empty
  // and the search is current.
  void modificationTypeChosen(ModificationType type, bool listEmpty);
  // A search from the Find tab (or one without a content test) leaves nothing to modify.
  void markOutdated() { searchChanged(); }

  bool searchOutdated() const { return outdated_; }
  bool commandsParked() const { return parked_; }
  bool modifyAllEnabled() const { return allEnabled_; }
  // Enabled, or parked after a search that is still valid: a later type choice can run it.
  bool commandsUsable() const { return allEnabled_ || (parked_ && !outdated_); }

 private:
  bool outdated_ = true;
  bool parked_ = false;
  bool allEnabled_ = false;
};

}  // namespace kestrix::modify
