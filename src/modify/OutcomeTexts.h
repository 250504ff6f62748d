// The texts that tell how a modification run or an undo ended: the counts for the status
// bar and the list of the files that were left as they were.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "modify/Undo.h"

namespace kestrix::modify {

// A file a run left as it was, and why.
struct FailedFile {
  std::string fullName;
  std::string reason;
  bool operator==(const FailedFile&) const = default;
};

// "11 modified, 3 failed" (", stopped" after a stop).
std::string modifiedSummary(std::size_t modified, std::size_t failed, bool stopped);
// "11 undone, 3 failed" (", stopped" after a stop).
std::string undoneSummary(const UndoSummary& summary);
// "11 restored, 3 failed" (" (stopped)" after a stop).
std::string restoredSummary(const UndoSummary& summary);
// The files an undo could not restore, in the order it worked on them.
std::vector<FailedFile> undoFailures(const UndoSummary& summary);

// A line "name: reason" per failed file, the first `shown` of them, then "... and N more"
// for the rest; joined by "\n".
std::string listedFailures(const std::vector<FailedFile>& failures, std::size_t shown);

// The notice after a run that left files as they were: `text` names the first of them
// after `summary`; `details` lists them all when `text` could not.
struct LeftFilesNotice {
  std::string text;
  std::string details;
};
LeftFilesNotice leftFilesNotice(const std::string& summary,
                                const std::vector<FailedFile>& failures);

}  // namespace kestrix::modify
