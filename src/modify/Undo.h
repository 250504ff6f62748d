// Undo of the latest run of an in-memory journal: each journal file is put back from its
// ".bak" backup by one rename, keeping the file's attributes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "modify/ModifyObserver.h"
#include "modify/UndoJournal.h"
#include "platform/AtomicWrite.h"
#include "search/ResultItem.h"
#include "search/SearchRequest.h"

namespace kestrix::modify {

struct UndoOptions {
  // When set, each restored row's hits are recounted with this request.
  std::optional<search::SearchRequest> refreshWith;
  // The renames (and, for the history's undo, the writes and flushes) go through these
  // calls; tests make them fail (platform::FaultInjector).
  platform::AtomicWriteOps writeOps;
};

struct UndoOutcome {
  std::string fullName;
  bool undone = false;
  std::string reason;  // why it failed ("changed since the run", ...); empty when undone
};

struct UndoSummary {
  std::vector<UndoOutcome> outcomes;  // one per journal entry worked on, in journal order
  bool stopped = false;
};

// Restores every journal entry F: F + ".bak" becomes F again (renamed over F after it got
// the mode, owner and group F had before the run). Only a file that is still what the run left is
// restored: one that changed since (size, time or content) gets "Failed Undo" and keeps both the
// file and its backup; so does a backup that changed. A file the run never replaced (it was stopped
// first) is left as it is and counts as undone. A missing F or backup, or a failed step,
// gives "Failed Undo" for that entry only, with its reason to observer.fileFailed; the
// modified file then stays in place. Rows
// whose file is F get "Undid" or "Failed Undo" (observer.rowChanged). The journal is
// emptied after a complete walk; a stop leaves the entries not yet worked on. Throws
// nothing.
UndoSummary undoLastRun(UndoJournal& journal, std::vector<search::ResultItem>& rows,
                        ModifyObserver& observer, const UndoOptions& options = {});

}  // namespace kestrix::modify
