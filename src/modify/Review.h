// Reviewing a modification before it writes: the pass run without writing records every
// change of every file, and the pass run again writes exactly the changes accepted.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "modify/ChangeSet.h"
#include "modify/FileBytes.h"
#include "modify/ModifyPass.h"
#include "search/ResultItem.h"

namespace kestrix::modify {

struct FileFailurePreview {
  std::string fullName;
  std::string reason;
};

struct Review {
  std::vector<FileChanges> files;  // the files that would change, in list order
  std::vector<FileFailurePreview> failures;
  bool stopped = false;
};

// Runs the pass of `request` over a copy of `rows` as a dry run (nothing on disk changes: no
// backup, no write, no attribute change) and records each file's changes as its engine
// makes them, and why each failing file would fail. `searchedFolder` as in PassOptions;
// observer.poll(), warning() and fileStarted() are forwarded. Throws ModifyError like
// runModifyPass (validation, empty selection, replacement limits).
Review reviewModifyPass(const ModifyRequest& request, std::vector<search::ResultItem> rows,
                        const std::vector<std::size_t>& selected, ModifyObserver& observer,
                        const std::string& searchedFolder = {});

// The new bytes of a file with the accepted changes of its review made, in its encoding
// with its breaks as the request writes them; nothing when no change is accepted. Throws
// FileFailure with kChangedSincePreview when `bytes` are not the bytes reviewed, and
// FileFailure when the text cannot be written back in the file's encoding.
std::optional<std::string> applyAccepted(const ModifyRequest& request, FileBytes& bytes,
                                         const FileChanges& file, const Accepted& accepted);

// Writes the accepted changes (accepted[i] for review.files[i]) through the modify pass,
// with its backups, journal, undo history and checks (`options` as for runModifyPass; its
// `rewrite` is set here): the rows of `rows` whose file has an accepted change are
// modified, every other row stays as it is. A file edited since the review fails with
// kChangedSincePreview. Nothing runs when no change is accepted. Throws ModifyError like
// runModifyPass.
PassSummary applyReview(const ModifyRequest& request, std::vector<search::ResultItem>& rows,
                        const Review& review, const std::vector<Accepted>& accepted,
                        UndoJournal& journal, ModifyObserver& observer, PassOptions options = {});

}  // namespace kestrix::modify
