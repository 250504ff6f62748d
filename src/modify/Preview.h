// Previews of a modification: the same pass as Modify All or Modify Selected run as a dry
// run, collected per file as unified diffs, with the files that would fail and why.
#pragma once

#include <string>
#include <vector>

#include "modify/ModifyObserver.h"
#include "modify/ModifyRequest.h"
#include "search/ResultItem.h"

namespace kestrix::modify {

struct FileChangePreview {
  std::string fullName;
  std::string diff;  // unifiedDiff(fullName, before, after), never empty
};

struct FileFailurePreview {
  std::string fullName;
  std::string reason;
};

struct PreviewSummary {
  std::vector<FileChangePreview> changes;  // files whose bytes would change, in list order
  std::vector<FileFailurePreview> failures;
  bool stopped = false;
};

// Runs the pass of `request` over a copy of `rows` as a dry run (nothing on disk changes:
// no backup, no write, no attribute change) and returns what each file would become and
// why each failing file would fail. `searchedFolder` as in PassOptions. observer.poll()
// and observer.warning() are forwarded. Throws ModifyError like runModifyPass
// (validation, empty selection, replacement limits).
PreviewSummary previewModifyPass(const ModifyRequest& request, std::vector<search::ResultItem> rows,
                                 const std::vector<std::size_t>& selected,
                                 ModifyObserver& observer, const std::string& searchedFolder = {});

}  // namespace kestrix::modify
