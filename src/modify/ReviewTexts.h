// The texts a review of a modification is shown with: its counts and summary, the files
// that would fail, each file's caption and each change's line numbers and excerpts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "modify/ChangeSet.h"
#include "modify/Review.h"
#include "modify/ReviewChecks.h"

namespace kestrix::modify {

// "412 of 415 changes in 37 files".
std::string reviewCounts(const ReviewChecks& checks);
// The counts (or "Nothing would change") and that nothing is written yet; a stopped
// review says it is incomplete.
std::string reviewSummary(const ReviewChecks& checks, bool stopped);
// "Would fail (N files):" and a line "  ! name: reason" each; empty without failures.
std::string reviewFailures(const std::vector<FileFailurePreview>& failures);
// "/tree/a.txt  (3 of 4)": a file with its checked and all changes.
std::string fileCaption(const std::string& fullName, std::size_t checked, std::size_t total);
// The line of a change, "12", or its lines, "12-15".
std::string changeLineLabel(const Change& change);

// A line (or lines) of a change as shown in one row, in three pieces: the text before the
// changed bytes, the changed bytes and the text after them. Every break shows as "↵"; long
// lines are cut to some context around the change, a cut shown as "…".
struct ChangeExcerpt {
  std::string head;
  std::string mark;
  std::string tail;
};
// The excerpt of UTF-8 `line` whose bytes [from, from + length) changed.
ChangeExcerpt changeExcerpt(std::string_view line, std::size_t from, std::size_t length);

}  // namespace kestrix::modify
