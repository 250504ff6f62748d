// The texts the undo history is shown with: a run's row in the list of runs, its state,
// the counts of runs and the question before the whole history is cleared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "modify/History.h"

namespace kestrix::modify {

// "1 run", "3 runs".
std::string runsText(std::size_t count);
// "3 runs removed from the undo history."
std::string removedRuns(std::size_t count);
// The question before every run of the history (`count` runs) is removed.
std::string clearHistoryQuestion(std::size_t count);

// The state of a run as the list shows it ("Not undone", "Undone", ...).
std::string runStateText(RunState state);
// True when a run in `state` may be undone from the list (again, after an undo, for the
// files that failed then).
bool runUndoable(RunState state);
// `seconds` since the epoch as local time "2026-12-09 23:14:12".
std::string localTimeText(std::int64_t seconds);

// The cells of a run's row in the list of runs.
struct RunRow {
  std::string time;
  std::string folder;
  std::string what;  // the run's summary; for a damaged run why it cannot be read
  std::string files;
  std::string state;
};
RunRow runRow(const RunInfo& run);

}  // namespace kestrix::modify
