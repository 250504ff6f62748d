// Transitions of the modify commands' enable state.
#include "modify/ModifyCommandState.h"

namespace kestrix::modify {

void ModifyCommandState::searchStarted() {
  outdated_ = false;
  parked_ = true;
  allEnabled_ = false;
}

void ModifyCommandState::searchEnded(ModificationType type, bool listShowsFoundColumn,
                                     bool listEmpty) {
  if (type != ModificationType::None && !outdated_ && listShowsFoundColumn && !listEmpty) {
    allEnabled_ = true;
  }
}

void ModifyCommandState::searchChanged() {
  outdated_ = true;
  parked_ = false;
  allEnabled_ = false;
}

void ModifyCommandState::modificationTypeChosen(ModificationType type, bool listEmpty) {
  if (type == ModificationType::None) {
    if (allEnabled_) parked_ = true;
    allEnabled_ = false;
    return;
  }
  if (!listEmpty && parked_ && !outdated_) {
    allEnabled_ = true;
    parked_ = false;
  }
}

}  // namespace kestrix::modify
