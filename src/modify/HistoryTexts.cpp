// Makes the texts of the list of runs and of clearing the undo history.
#include "modify/HistoryTexts.h"

#include <ctime>

namespace kestrix::modify {

std::string runsText(std::size_t count) {
  return count == 1 ? std::string("1 run") : std::to_string(count) + " runs";
}

std::string removedRuns(std::size_t count) {
  return runsText(count) + " removed from the undo history.";
}

std::string clearHistoryQuestion(std::size_t count) {
  return "Remove all " + runsText(count) +
         " from the undo history? They can no longer be undone; the \".bak\" files beside "
         "your files stay.";
}

std::string runStateText(RunState state) {
  switch (state) {
    case RunState::Done:
      return "Not undone";
    case RunState::Undone:
      return "Undone";
    case RunState::UndoInterrupted:
      return "Undo interrupted";
    case RunState::Running:
      return "Running";
    case RunState::Damaged:
      return "Damaged";
  }
  return {};
}

bool runUndoable(RunState state) {
  return state == RunState::Done || state == RunState::UndoInterrupted || state == RunState::Undone;
}

std::string localTimeText(std::int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  ::localtime_r(&t, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  return text;
}

RunRow runRow(const RunInfo& run) {
  RunRow row;
  row.time = localTimeText(run.header.timeSec);
  row.folder = run.header.folder;
  row.what = run.state == RunState::Damaged ? run.problem : run.header.summary;
  row.files = std::to_string(run.files);
  row.state = runStateText(run.state);
  return row;
}

}  // namespace kestrix::modify
