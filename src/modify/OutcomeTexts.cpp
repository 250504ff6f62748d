// Makes the summaries of modification runs and undos and their lists of failed files.
#include "modify/OutcomeTexts.h"

#include <algorithm>

namespace kestrix::modify {

namespace {
// Files named in the notice after a run; the rest go to its details.
constexpr std::size_t kNoticeListed = 15;

std::size_t undoneCount(const UndoSummary& summary) {
  return static_cast<std::size_t>(
      std::count_if(summary.outcomes.begin(), summary.outcomes.end(),
                    [](const UndoOutcome& outcome) { return outcome.undone; }));
}

std::string counts(std::size_t done, const char* verb, std::size_t failed) {
  return std::to_string(done) + " " + verb + ", " + std::to_string(failed) + " failed";
}
}  // namespace

std::string modifiedSummary(std::size_t modified, std::size_t failed, bool stopped) {
  return counts(modified, "modified", failed) + (stopped ? ", stopped" : "");
}

std::string undoneSummary(const UndoSummary& summary) {
  const std::size_t undone = undoneCount(summary);
  return counts(undone, "undone", summary.outcomes.size() - undone) +
         (summary.stopped ? ", stopped" : "");
}

std::string restoredSummary(const UndoSummary& summary) {
  const std::size_t undone = undoneCount(summary);
  return counts(undone, "restored", summary.outcomes.size() - undone) +
         (summary.stopped ? " (stopped)" : "");
}

std::vector<FailedFile> undoFailures(const UndoSummary& summary) {
  std::vector<FailedFile> failures;
  for (const UndoOutcome& outcome : summary.outcomes)
    if (!outcome.undone) failures.push_back({outcome.fullName, outcome.reason});
  return failures;
}

std::string listedFailures(const std::vector<FailedFile>& failures, std::size_t shown) {
  std::string text;
  for (std::size_t i = 0; i < failures.size() && i < shown; ++i) {
    if (i > 0) text += '\n';
    text += failures[i].fullName + ": " + failures[i].reason;
  }
  if (failures.size() > shown)
    text +=
        (shown > 0 ? "\n... and " : "... and ") + std::to_string(failures.size() - shown) + " more";
  return text;
}

LeftFilesNotice leftFilesNotice(const std::string& summary,
                                const std::vector<FailedFile>& failures) {
  LeftFilesNotice notice;
  notice.text = summary + ". These files were left as they were:\n\n" +
                listedFailures(failures, kNoticeListed);
  if (failures.size() > kNoticeListed) notice.details = listedFailures(failures, failures.size());
  return notice;
}

}  // namespace kestrix::modify
