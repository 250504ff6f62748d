// The names inside a run's folder of the undo history, and the undo log's format: shared by
// the history's folder code and the undo of a run.
#pragma once

#include <string>
#include <string_view>

#include "modify/History.h"

namespace kestrix::modify {

inline constexpr const char* kRunRecordFile = "Run";
inline constexpr const char* kUndoLogFile = "Undo";

// Format of the undo log "Undo", version 1: the line "KSR-UNDO-LOG 1"; then, written
// ahead of the renames of each group of files, one line "R " + the name of the file's
// copy of the original; and the line "DONE" once the undo walked every file. A log without
// "DONE" is an undo that was interrupted: the next undo of the run goes on with it.
inline constexpr std::string_view kUndoLogLine = "KSR-UNDO-LOG 1\n";
inline constexpr std::string_view kUndoDoneLine = "DONE\n";

// The state the undo log of the run folder `runFolder` gives: Done without a log, Undone
// with "DONE" at its end, UndoInterrupted otherwise. Throws HistoryError for a log of
// another format.
RunState undoLogState(const std::string& runFolder);

}  // namespace kestrix::modify
