// Undo of a run of the undo history: each file the run changed gets its original back from
// the history's copy, with its mode, owner, group, extended attributes and times, written
// to a fresh temporary and renamed over the file; journaled ahead and resumable.
#pragma once

#include <string>
#include <vector>

#include "modify/History.h"
#include "modify/ModifyObserver.h"
#include "modify/Undo.h"
#include "search/ResultItem.h"

namespace kestrix::modify {

struct HistoryUndoOptions {
  UndoOptions rows;  // how the listed rows are marked; writeOps: the seam of every write,
                     // flush and rename
  // The log of temporaries (TemporaryLog.h); empty: none.
  std::string temporaryLog;
  // Files restored together with one flush, this many at most.
  std::size_t groupFiles = 256;
};

// Undoes the run `id` of the history in `historyFolder`. A file is restored only while it
// is still what the run left (content and modification time); one changed since gets
// "Failed Undo" ("changed since the run") and is left alone, as is one whose copy of the
// original fails its check. A file that already holds its original (an undo interrupted
// after it, or a run stopped before it) counts as undone. The ".bak" the run left beside a
// restored file is removed; any other ".bak" stays. The undo log is written ahead of each
// group of renames, and marks the run undone once every file was walked; a stop or a kill
// leaves each file either as the run left it or restored, and the next undo of the run
// finishes the job. A run undone before may be undone again: what is restored already
// counts as undone, what failed is tried again. Rows whose file is restored get "Undid",
// others "Failed Undo". Throws HistoryError before anything changes: no such run, a
// damaged record or undo log, a run in progress or being undone.
UndoSummary undoRun(const std::string& historyFolder, const std::string& id,
                    std::vector<search::ResultItem>& rows, ModifyObserver& observer,
                    const HistoryUndoOptions& options = {});

}  // namespace kestrix::modify
